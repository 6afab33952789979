#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QKeyEvent;
class QWidget;

namespace Sprelio {

/// Keyboard use of a window of buttons around a text field. Tab and F6 move the focus from the
/// field to the first group of buttons, from group to group and back to the field (with Shift the
/// other way); the arrow keys move within a group, Space, Return and Enter click the focused button
/// and leave the focus on it, and Escape goes back to the field. A button that takes the focus shows its
/// hint. A mouse click on a button never takes the focus from the field.
class KeyboardFocus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyboardFocus)

public:
    explicit KeyboardFocus(QWidget *field, QObject *parent = nullptr);
    ~KeyboardFocus() override = default;

    /// Adds the next group in the order that Tab goes through.
    void addGroup(const QList<QWidget *> &widgets);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(QWidget *widget, const QKeyEvent &key);
    int groupOf(const QWidget *widget) const;
    void enterGroup(int group, int step);
    void moveWithin(QWidget *from, int group, int key);
    void showHintSoon(QWidget *widget);
    static void showHint(QWidget *widget);

    QPointer<QWidget> m_field;
    QList<QList<QWidget *>> m_groups;
    QList<QPointer<QWidget>> m_lastFocused;
    QTimer m_hintTimer;
    QPointer<QWidget> m_hintTarget;
};

} // namespace Sprelio
