#include "palette/keyboardfocus.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QToolTip>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace Sprelio {

namespace {

bool reachable(const QWidget *widget)
{
    return widget != nullptr && widget->isVisible() && widget->isEnabled();
}

} // namespace

KeyboardFocus::KeyboardFocus(QWidget *field, QObject *parent)
    : QObject(parent)
    , m_field(field)
{
    field->installEventFilter(this);
    // The tooltip hides itself at every focus change and key release, and a tip shown while the
    // hidden one is still being deleted is lost with it: the hint comes a moment later.
    m_hintTimer.setSingleShot(true);
    m_hintTimer.setInterval(100);
    connect(&m_hintTimer, &QTimer::timeout, this, [this] {
        if (m_hintTarget != nullptr && m_hintTarget->hasFocus()) {
            showHint(m_hintTarget);
        }
    });
}

void KeyboardFocus::showHintSoon(QWidget *widget)
{
    m_hintTarget = widget;
    m_hintTimer.start();
}

void KeyboardFocus::addGroup(const QList<QWidget *> &widgets)
{
    for (QWidget *widget : widgets) {
        // Tab focus only: a click must leave the focus, and with it the caret, in the field.
        widget->setFocusPolicy(Qt::TabFocus);
        widget->installEventFilter(this);
    }
    m_groups.append(widgets);
    m_lastFocused.append(nullptr);
}

int KeyboardFocus::groupOf(const QWidget *widget) const
{
    for (int group = 0; group < m_groups.size(); ++group) {
        if (m_groups.at(group).contains(widget)) {
            return group;
        }
    }
    return -1;
}

bool KeyboardFocus::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (widget == nullptr) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        return handleKey(widget, *static_cast<QKeyEvent *>(event));
    }
    if (event->type() == QEvent::KeyRelease && widget != m_field && widget->hasFocus()) {
        // A hint hides at the release of the key that moved the focus; it is shown again after it.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_F6 || key == Qt::Key_Left ||
            key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
            showHintSoon(widget);
        }
    }
    if (event->type() == QEvent::FocusIn && widget != m_field) {
        const int group = groupOf(widget);
        if (group >= 0) {
            m_lastFocused[group] = widget;
        }
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason) {
            showHintSoon(widget);
        }
    }
    if (event->type() == QEvent::FocusOut && widget == m_hintTarget) {
        m_hintTimer.stop();
    }
    return false;
}

bool KeyboardFocus::handleKey(QWidget *widget, const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const int group = widget == m_field ? -1 : groupOf(widget);
    const bool backwards = key.key() == Qt::Key_Backtab || modifiers == Qt::ShiftModifier;
    const bool tabKey =
        (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab || key.key() == Qt::Key_F6) &&
        (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier);
    if (tabKey) {
        enterGroup(group, backwards ? -1 : 1);
        return true;
    }
    if (widget == m_field || modifiers != Qt::NoModifier) {
        return false;
    }
    switch (key.key()) {
    case Qt::Key_Escape:
        m_field->setFocus(Qt::ShortcutFocusReason);
        return true;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            // A click types into the field and hands it the focus, which the keyboard user needs
            // to keep on the button to go on from there.
            const QPointer<QWidget> focused = widget;
            button->click();
            if (focused != nullptr && reachable(focused)) {
                focused->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
        return false;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        moveWithin(widget, group, key.key());
        return true;
    default:
        return false;
    }
}

void KeyboardFocus::enterGroup(int group, int step)
{
    // The field is the stop between the last group and the first.
    const int stops = int(m_groups.size()) + 1;
    int stop = group + 1;
    for (int tried = 0; tried < stops; ++tried) {
        stop = (stop + step + stops) % stops;
        if (stop == 0) {
            m_field->setFocus(Qt::TabFocusReason);
            return;
        }
        const int next = stop - 1;
        QWidget *target = m_lastFocused.at(next);
        if (!reachable(target)) {
            const QList<QWidget *> &widgets = m_groups.at(next);
            const auto first = std::find_if(widgets.begin(), widgets.end(), reachable);
            target = first != widgets.end() ? *first : nullptr;
        }
        if (target != nullptr) {
            target->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void KeyboardFocus::moveWithin(QWidget *from, int group, int key)
{
    if (group < 0) {
        return;
    }
    // The nearest button in the direction of the key, keeping to the row or column where it can.
    const QPoint origin = from->mapToGlobal(from->rect().center());
    QWidget *best = nullptr;
    int bestScore = std::numeric_limits<int>::max();
    for (QWidget *candidate : m_groups.at(group)) {
        if (candidate == from || !reachable(candidate)) {
            continue;
        }
        const QPoint delta = candidate->mapToGlobal(candidate->rect().center()) - origin;
        const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
        const int along = horizontal ? delta.x() : delta.y();
        const int across = horizontal ? delta.y() : delta.x();
        const bool ahead = key == Qt::Key_Left || key == Qt::Key_Up ? along < 0 : along > 0;
        if (!ahead) {
            continue;
        }
        const int score = std::abs(along) + 4 * std::abs(across);
        if (score < bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    if (best != nullptr) {
        best->setFocus(Qt::TabFocusReason);
    }
}

void KeyboardFocus::showHint(QWidget *widget)
{
    // The hint of the button that the keyboard moved onto, as the mouse would show it; an empty
    // tooltip (explanations off) shows nothing.
    const QString hint = widget->toolTip();
    if (hint.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), hint, widget);
}

} // namespace Sprelio
