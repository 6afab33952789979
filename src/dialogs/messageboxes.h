#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace Sprelio {

/// Button codes that the message boxes return.
enum MessageResult { MessageOk = 1, MessageCancel = 2, MessageYes = 6, MessageNo = 7 };

/// Message box styles: one button set combined with one icon.
enum MessageStyle {
    StyleOk = 0x00,
    StyleOkCancel = 0x01,
    StyleYesNoCancel = 0x03,
    StyleYesNo = 0x04,
    StyleError = 0x10,
    StyleQuestion = 0x20,
    StyleWarning = 0x30,
    StyleInformation = 0x40
};

/// The program's main window, or nullptr while there is none.
QWidget *programMainWindow();

/// The title of every message box: the program title of the current language once it is applied.
QString applicationTitle();

/// An information box with OK, modal for the whole program; owner may be null.
int MessageInfo(QWidget *owner, const QString &text);

/// A question box; an empty caption means the program title, style 0 an information box with OK,
/// and a null owner the main window. Returns the MessageResult of the button pressed; Escape and
/// closing the box give MessageCancel, also where the box has Yes and No only.
int MessageQuestion(QWidget *owner, const QString &caption, const QString &text, int style);

/// A one-line input dialog; with checkNumber only a whole number from 1 to MaxClipboardFontSize is accepted.
/// Returns true on OK and then sets value; leaves value alone otherwise.
bool InputDialog(const QString &prompt, const QString &errorText, bool checkNumber, QString &value);

/// The program's display of an error that ended a user action: title, error icon, OK; a full stop is
/// added when the message ends in a character that sorts after it.
void showError(const QString &message);

} // namespace Sprelio
