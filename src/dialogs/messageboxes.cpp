#include "dialogs/messageboxes.h"

#include <QApplication>
#include <QKeyEvent>

namespace Sprelio {

namespace {

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0xF0) {
    case StyleError:
        return QMessageBox::Critical;
    case StyleQuestion:
        return QMessageBox::Question;
    case StyleWarning:
        return QMessageBox::Warning;
    case StyleInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons buttonsOf(int style)
{
    switch (style & 0x0F) {
    case StyleOkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case StyleYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case StyleYesNo:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int resultOf(const QMessageBox &box)
{
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return MessageYes;
    case QMessageBox::No:
        return MessageNo;
    case QMessageBox::Cancel:
        return MessageCancel;
    case QMessageBox::Ok:
        return MessageOk;
    default:
        // Closed without a button: the answer that backs out.
        if (box.standardButtons().testFlag(QMessageBox::Cancel)) {
            return MessageCancel;
        }
        return box.standardButtons().testFlag(QMessageBox::No) ? MessageNo : MessageOk;
    }
}

// Escape and closing a box with Yes and No back out of the question, where the box would take them
// for No, which may throw work away.
class BackingOut final : public QObject
{
public:
    explicit BackingOut(QMessageBox &box)
        : m_box(box)
    {}

    bool happened = false;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
                            static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier;
        if (watched != &m_box || happened || (!escape && event->type() != QEvent::Close)) {
            return false;
        }
        happened = true;
        m_box.reject();
        return true;
    }

private:
    QMessageBox &m_box;
};

int showBox(QWidget *owner, const QString &caption, const QString &text, int style)
{
    QMessageBox box(iconOf(style), caption, text, buttonsOf(style), owner);
    // The texts carry file names, which must not be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    BackingOut backingOut(box);
    if ((style & 0x0F) == StyleYesNo) {
        box.installEventFilter(&backingOut);
    }
    box.exec();
    return backingOut.happened ? MessageCancel : resultOf(box);
}

} // namespace

QWidget *programMainWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->inherits("Sprelio::TSprelioPad")) {
            return window;
        }
    }
    return nullptr;
}

QString applicationTitle()
{
    return QGuiApplication::applicationDisplayName();
}

int MessageInfo(QWidget *owner, const QString &text)
{
    return showBox(owner, applicationTitle(), text, StyleInformation | StyleOk);
}

int MessageQuestion(QWidget *owner, const QString &caption, const QString &text, int style)
{
    QString title = caption;
    if (title.isEmpty()) {
        title = applicationTitle();
        const qsizetype separator =
            std::max(title.lastIndexOf(QLatin1Char('\\')), title.lastIndexOf(QLatin1Char(':')));
        title = title.mid(separator + 1);
    }
    return showBox(owner != nullptr ? owner : programMainWindow(), title, text,
                   style == 0 ? int(StyleInformation | StyleOk) : style);
}

void showError(const QString &message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) {
        text += QLatin1Char('.');
    }
    QWidget *owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : programMainWindow();
    }
    showBox(owner, applicationTitle(), text, StyleError | StyleOk);
}

} // namespace Sprelio
