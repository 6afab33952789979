#include "palette/accessiblebutton.h"

#include "palette/speedbutton.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QRadioButton>
#include <QToolButton>

namespace Sprelio {

namespace {

QAccessible::Role roleOf(const QAbstractButton *button)
{
    if (qobject_cast<const QRadioButton *>(button) != nullptr) {
        return QAccessible::RadioButton;
    }
    if (qobject_cast<const QCheckBox *>(button) != nullptr) {
        return QAccessible::CheckBox;
    }
    // A checkable button is told apart by its checkable state: a toggle button.
    return QAccessible::Button;
}

class ClickingButton final : public QAccessibleWidget
{
public:
    explicit ClickingButton(QAbstractButton *button)
        : QAccessibleWidget(button, roleOf(button))
    {}

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty()) {
            text = button()->text();
            text.remove(QLatin1Char('&'));
        }
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled()) {
            names << pressAction();
            if (button()->isCheckable()) {
                names << toggleAction();
            }
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (!widget()->isEnabled()) {
            return;
        }
        if (action == pressAction() || action == toggleAction()) {
            button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

QAccessibleInterface *clickingButtonFactory(const QString &, QObject *object)
{
    auto *button = qobject_cast<QAbstractButton *>(object);
    if (button == nullptr || !(button->isCheckable() || qobject_cast<SpeedButton *>(button) != nullptr)) {
        return nullptr;
    }
    // A tool button with a menu keeps Qt's interface, which opens the menu.
    if (const auto *tool = qobject_cast<QToolButton *>(button); tool != nullptr && tool->menu() != nullptr) {
        return nullptr;
    }
    return new ClickingButton(button);
}

} // namespace

void installClickingButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(clickingButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace Sprelio
