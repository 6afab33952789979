#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace Sprelio {

/// Button codes that the message boxes return.
enum MessageResult { MessageOk = 1, MessageYes = 6, MessageNo = 7 };

/// Message box styles, as combinations of an icon and a button set.
enum MessageStyle { StyleOk = 0x00, StyleYesNo = 0x04, StyleQuestion = 0x20, StyleInformation = 0x40 };

/// The title of every message box: the program title of the current language.
QString applicationTitle();

/// An information box with OK, modal for the whole program; owner may be null.
int MessageInfo(QWidget *owner, const QString &text);

/// A question box; an empty caption means the program title, style 0 an information box with OK,
/// and a null owner the main window. Returns MessageYes, MessageNo or MessageOk.
int MessageQuestion(QWidget *owner, const QString &caption, const QString &text, int style);

/// A one-line input dialog; with checkNumber only a whole number in range is accepted.
/// Returns true on OK and then sets value; leaves value alone otherwise.
bool InputDialog(const QString &prompt, const QString &errorText, bool checkNumber, QString &value);

/// The program's display of an error that ended a user action: title, error icon, OK.
void showError(const QString &message);

} // namespace Sprelio
