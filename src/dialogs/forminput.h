#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Sprelio {

/// The one-line input dialog behind InputDialog; it can insist on a whole number.
class TformInput final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TformInput)

public:
    explicit TformInput(QWidget *parent = nullptr);
    ~TformInput() override = default;

    void setPrompt(const QString &prompt);
    void setText(const QString &text);
    QString text() const;
    /// The message shown when OK is pressed on input that is not accepted.
    void setErrorText(const QString &errorText) { m_errorText = errorText; }
    /// With the check on, OK accepts only what isAcceptedNumber accepts.
    void setCheckNumber(bool checkNumber) { m_checkNumber = checkNumber; }

    /// Closes with OK when the input is accepted, else tells why and stays open.
    void BtnOkClick();

    /// Whether text is a plain decimal whole number, with an optional sign, from 1 to
    /// MaxClipboardFontSize: larger sizes cannot be carried by the clipboard's rich text.
    static bool isAcceptedNumber(const QString &text);

private:
    QLabel *m_lb = nullptr;
    QLineEdit *m_ed = nullptr;
    QPushButton *m_btnOk = nullptr;
    QPushButton *m_btnCancel = nullptr;
    QString m_errorText;
    bool m_checkNumber = false;
};

} // namespace Sprelio
