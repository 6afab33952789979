#include "dialogs/forminput.h"

#include "dialogs/messageboxes.h"
#include "i18n/langstr.h"
#include "storage/profilefile.h"
#include "targets/clipboardpayload.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Sprelio {

TformInput::TformInput(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("formInput"));
    setWindowTitle(QString());
    QFont dialogFont(QStringLiteral("Tahoma"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    m_lb = new QLabel(QStringLiteral("lb"), this);
    m_lb->setObjectName(QStringLiteral("lb"));
    m_lb->setTextFormat(Qt::PlainText);
    m_lb->setWordWrap(true);
    m_ed = new QLineEdit(this);
    m_ed->setObjectName(QStringLiteral("ed"));
    m_lb->setBuddy(m_ed);

    m_btnOk = new QPushButton(QStringLiteral("Ok"), this);
    m_btnOk->setObjectName(QStringLiteral("BtnOk"));
    m_btnOk->setDefault(true);
    connect(m_btnOk, &QPushButton::clicked, this, &TformInput::BtnOkClick);
    m_btnCancel = new QPushButton(LangStr(78), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton *button : {m_btnOk, m_btnCancel}) {
        button->setMinimumSize(75, 25);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnOk);
    buttons->addSpacing(29);
    buttons->addWidget(m_btnCancel);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(m_lb);
    layout->addWidget(m_ed);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // As wide as the designed dialog, whose edit box was 425 pixels across.
    m_ed->setMinimumWidth(428);
    m_ed->setFocus();
}

void TformInput::setPrompt(const QString &prompt)
{
    m_lb->setText(prompt);
}

void TformInput::setText(const QString &text)
{
    m_ed->setText(text);
    m_ed->selectAll();
}

QString TformInput::text() const
{
    return m_ed->text();
}

void TformInput::BtnOkClick()
{
    if (!m_checkNumber || isAcceptedNumber(m_ed->text())) {
        accept();
        return;
    }
    MessageInfo(this, m_errorText);
    m_ed->setFocus();
}

bool TformInput::isAcceptedNumber(const QString &text)
{
    // Anything outside ASCII becomes '?' here and is refused with the rest.
    const std::optional<int> number = ProfileDocument::parseInteger(text.toLatin1());
    return number.has_value() && *number > 0 && *number <= MaxClipboardFontSize;
}

bool InputDialog(const QString &prompt, const QString &errorText, bool checkNumber, QString &value)
{
    // Owned by the main window, so that it opens centred on it.
    TformInput form(programMainWindow());
    form.setPrompt(prompt);
    form.setText(value);
    form.setErrorText(errorText);
    form.setCheckNumber(checkNumber);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    value = form.text();
    return true;
}

} // namespace Sprelio
