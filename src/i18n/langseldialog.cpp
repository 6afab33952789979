#include "i18n/langseldialog.h"

#include "palette/accessiblebutton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace Sprelio {

TformLangSel::TformLangSel(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    installClickingButtonAccessibility();
    setObjectName(QStringLiteral("formLangSel"));
    setWindowTitle(QString());
    setModal(true);

    auto *lbDesc = new QLabel(
        QStringLiteral(
            "Bitte wählen Sie die gewünschte Sprache für die Benutzeroberfläche von 'Sprelio' für den "
            "ersten Start. Sie können die Sprache später im Menü 'Optionen' ändern. \n\n"
            "Please select the language of the user interface of 'Sprelio' for the first start. "
            "It can be changed later agin using the 'Options' menu."),
        this);
    lbDesc->setObjectName(QStringLiteral("lbDesc"));
    lbDesc->setWordWrap(true);

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    m_rbEng = new QRadioButton(QStringLiteral("&English"), this);
    m_rbEng->setObjectName(QStringLiteral("rbEng"));
    m_rbGer = new QRadioButton(QStringLiteral("&German"), this);
    m_rbGer->setObjectName(QStringLiteral("rbGer"));
    // Either choice closes the dialog at once.
    connect(m_rbEng, &QRadioButton::clicked, this, &QDialog::accept);
    connect(m_rbGer, &QRadioButton::clicked, this, &QDialog::accept);

    auto *choices = new QHBoxLayout;
    choices->addStretch(1);
    choices->addWidget(m_rbEng);
    choices->addStretch(2);
    choices->addWidget(m_rbGer);
    choices->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 20, 8, 12);
    layout->addWidget(lbDesc);
    layout->addSpacing(12);
    layout->addWidget(bevel);
    layout->addLayout(choices);
    // The dialog's small design font; where it sets wider than designed, the dialog grows in height
    // rather than clipping the text.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    setFont(font);
    constexpr int DesignWidth = 406;
    constexpr int DesignHeight = 169;
    setFixedSize(DesignWidth, std::max(DesignHeight, layout->heightForWidth(DesignWidth)));
}

bool TformLangSel::englishChosen() const
{
    return m_rbEng->isChecked();
}

} // namespace Sprelio
