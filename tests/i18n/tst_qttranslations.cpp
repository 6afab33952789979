#include "app/spreliopad.h"
#include "i18n/langstr.h"
#include "i18n/qttranslations.h"
#include "modalwatch.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Sprelio;
using ModalWatch::whenModal;

namespace {

QStringList buttonTexts(QDialogButtonBox *buttons)
{
    QStringList texts;
    for (QAbstractButton *button : buttons->buttons()) {
        texts << button->text().remove(QLatin1Char('&'));
    }
    texts.sort();
    return texts;
}

} // namespace

// Qt's own texts speak the interface language: the buttons of the program's questions and the
// labels and buttons of the file dialogs.
class TestQtTranslations final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerPhoneticFonts();
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void cleanup()
    {
        ModalWatch::cancelAll();
        LangOffset = GermanOffset;
        installQtTranslations(GermanOffset);
    }

    void dialogsSpeakTheLanguage_data();
    void dialogsSpeakTheLanguage();
    void missingCatalogueKeepsEnglish();
};

void TestQtTranslations::dialogsSpeakTheLanguage_data()
{
    QTest::addColumn<int>("startLanguage");
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QStringList>("questionButtons");
    QTest::addColumn<QStringList>("fileDialogTexts");

    const QStringList german{QStringLiteral("Ja"), QStringLiteral("Nein")};
    const QStringList english{QStringLiteral("No"), QStringLiteral("Yes")};
    const QStringList germanFile{QStringLiteral("Abbrechen"), QStringLiteral("Dateiname:"),
                                 QStringLiteral("Suchen in:"), QStringLiteral("Öffnen")};
    const QStringList englishFile{QStringLiteral("Cancel"), QStringLiteral("File name:"),
                                  QStringLiteral("Look in:"), QStringLiteral("Open")};
    QTest::newRow("German") << GermanOffset << QString() << german << germanFile;
    QTest::newRow("English") << EnglishOffset << QString() << english << englishFile;
    QTest::newRow("German, then English from the menu")
        << GermanOffset << QStringLiteral("Englisch1") << english << englishFile;
    QTest::newRow("English, then German from the menu")
        << EnglishOffset << QStringLiteral("Deutsch1") << german << germanFile;
}

void TestQtTranslations::dialogsSpeakTheLanguage()
{
    QFETCH(int, startLanguage);
    QFETCH(QString, menuItem);
    QFETCH(QStringList, questionButtons);
    QFETCH(QStringList, fileDialogTexts);

    LangOffset = startLanguage;
    auto pad = std::make_unique<TSprelioPad>();
    pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(pad.get()));
    if (!menuItem.isEmpty()) {
        pad->findChild<QAction *>(menuItem)->trigger();
    }

    QStringList seenFileTexts;
    whenModal<QFileDialog>([&seenFileTexts](QFileDialog *dialog) {
        seenFileTexts = buttonTexts(dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox")));
        for (const char *label : {"lookInLabel", "fileNameLabel"}) {
            seenFileTexts
                << dialog->findChild<QLabel *>(QLatin1String(label))->text().remove(QLatin1Char('&'));
        }
        seenFileTexts.sort();
        dialog->reject();
    });
    pad->Laden1Click();
    QCOMPARE(seenFileTexts, fileDialogTexts);

    // A changed assignment makes closing ask whether to save it.
    pad->Bearbeiten1Click();
    pad->CharGridDragDrop(pad->PaletteButtons().at(0), "a", false);
    QVERIFY(pad->AssignmentChanged());
    QStringList seenButtons;
    whenModal<QMessageBox>([&seenButtons](QMessageBox *box) {
        seenButtons = buttonTexts(box->findChild<QDialogButtonBox *>());
        box->button(QMessageBox::No)->click();
    });
    QVERIFY(pad->close());
    QCOMPARE(seenButtons, questionButtons);
}

void TestQtTranslations::missingCatalogueKeepsEnglish()
{
    const QTemporaryDir empty;
    QVERIFY(!installQtTranslations(GermanOffset, empty.path()));
    QStringList seenButtons;
    whenModal<QMessageBox>([&seenButtons](QMessageBox *box) {
        seenButtons = buttonTexts(box->findChild<QDialogButtonBox *>());
        box->close();
    });
    QMessageBox::question(nullptr, QString(), QStringLiteral("?"));
    QCOMPARE(seenButtons, (QStringList{QStringLiteral("No"), QStringLiteral("Yes")}));
}

QTEST_MAIN(TestQtTranslations)
#include "tst_qttranslations.moc"
