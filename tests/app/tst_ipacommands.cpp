#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/symbolsearchwindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTest>

using namespace Sprelio;

namespace {

// The button as drawn with the mouse elsewhere, so that only the symbol and its preview count.
QImage drawn(QWidget *button)
{
    button->setAttribute(Qt::WA_UnderMouse, false);
    return button->grab().toImage();
}

} // namespace

class TestIpaCommands final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerPhoneticFonts(); }

    void init()
    {
        m_pad = std::make_unique<TSprelioPad>();
        m_pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    }

    void cleanup()
    {
        m_pad.reset();
        LangOffset = GermanOffset;
    }

    void previewShowsWhatAClickAdds_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<int>("special");
        QTest::addColumn<int>("palette");
        QTest::addColumn<QByteArray>("marks");
        QTest::addColumn<QByteArray>("typed");

        QTest::newRow("voiceless on t, narrow") << 3 << 0 << 2 << bytes({182}) << bytes({116, 182});
        QTest::newRow("voiceless on eng, descender") << 3 << 0 << 21 << bytes({183}) << bytes({78, 183});
        QTest::newRow("rising on l, narrow and tall") << 2 << 5 << 18 << bytes({177}) << bytes({108, 177});
        QTest::newRow("nasal on i, dotless base") << 5 << 3 << 39 << bytes({158}) << bytes({238, 158});
        QTest::newRow("nasal after the long mark") << 5 << 3 << 35 << bytes({123}) << bytes({228, 58, 123});
        QTest::newRow("empty button shows nothing") << 3 << 0 << 29 << QByteArray() << QByteArray();
    }

    void previewShowsWhatAClickAdds()
    {
        QFETCH(int, set);
        QFETCH(int, special);
        QFETCH(int, palette);
        QFETCH(QByteArray, marks);
        QFETCH(QByteArray, typed);

        m_pad->SpezialClick(set);
        TKWSpeedButton *button = m_pad->PaletteButtons().at(palette);
        const QByteArray symbol = button->Symbol();
        const QString hint = button->hint();
        const QImage before = drawn(button);

        QTest::mouseClick(m_pad->SpecialButtons().at(special), Qt::LeftButton);
        QCOMPARE(button->previewedMarks(), marks);
        QCOMPARE(drawn(button) != before, !marks.isEmpty());
        QCOMPARE(button->Symbol(), symbol);
        QCOMPARE(button->hint(), hint);

        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(findNamed<GlyphEdit>(m_pad.get(), "EditField")->glyphs(), typed);
        // The click released the mark, and with it the preview.
        QCOMPARE(button->previewedMarks(), QByteArray());
        QCOMPARE(drawn(button), before);
    }

    void searchTypesThroughTheComposition()
    {
        m_pad->SpezialClick(3);
        QTest::mouseClick(m_pad->SpecialButtons().at(0), Qt::LeftButton); // voiceless, pending
        findNamed<QAction>(m_pad.get(), "SucheBtn")->trigger();
        TSymbolSearch *search = m_pad->SymbolSearch();
        QVERIFY(search->isVisible());
        search->setQuery(QStringLiteral("velar nasal"));
        QCOMPARE(search->Matches().size(), 1);
        QTest::mouseClick(search->Matches().first(), Qt::LeftButton);
        QCOMPARE(findNamed<GlyphEdit>(m_pad.get(), "EditField")->glyphs(), bytes({78, 183}));
        QVERIFY(!m_pad->SpecialButtons().at(0)->isChecked());

        // A letter from the search counts as the base before a linking mark, as a palette letter does.
        QTest::mouseClick(m_pad->ToolButtons().at(3), Qt::LeftButton);
        QTest::mouseClick(m_pad->PaletteButtons().at(30), Qt::LeftButton);
        QCOMPARE(findNamed<GlyphEdit>(m_pad.get(), "EditField")->glyphs(), bytes({78, 183, 34, 97}));
    }

    void searchResultsNamed_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("firstName");
        QTest::newRow("German, by its usual name") << QByteArray("Deutsch1") << "Knacklaut"
                                                   << "Glottal Plosivlaut";
        QTest::newRow("English, by its usual name") << QByteArray("Englisch1") << "glottal stop"
                                                    << "Glottal Plosive";
        QTest::newRow("English, by its code point") << QByteArray("Englisch1") << "0283"
                                                    << "Voiceless Postalveolar Fricative";
    }

    void searchResultsNamed()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, query);
        QFETCH(QString, firstName);
        findNamed<QAction>(m_pad.get(), language.constData())->trigger();
        findNamed<QAction>(m_pad.get(), "SucheBtn")->trigger();
        TSymbolSearch *search = m_pad->SymbolSearch();
        search->setQuery(query);
        QVERIFY(!search->Matches().isEmpty());
        QCOMPARE(search->MatchNames().size(), search->Matches().size());
        // Each name stands beside its glyph, on the same row.
        QLabel *name = search->MatchNames().constFirst();
        TKWSpeedButton *glyph = search->Matches().constFirst();
        QTRY_VERIFY_WITH_TIMEOUT(name->isVisible(), 10000);
        QCOMPARE(name->text(), firstName);
        QVERIFY(name->geometry().left() >= glyph->geometry().right());
        QVERIFY(name->geometry().top() < glyph->geometry().bottom());
    }

    void explanationFollowsShowExplanations()
    {
        LangOffset = EnglishOffset;
        m_pad->ApplyLanguage();
        auto *field = findNamed<GlyphEdit>(m_pad.get(), "EditField");
        QAction *showH = findNamed<QAction>(m_pad.get(), "ShowH");
        showH->setChecked(true);
        field->setGlyphs(bytes({110, 36}));
        const QString explanation = QStringLiteral("n̥: Alveolar Nasal + Voiceless");
        QCOMPARE(field->toolTip(), explanation);
        QCOMPARE(field->accessibleDescription(), explanation);

        showH->trigger();
        QCOMPARE(field->toolTip(), QString());
        QCOMPARE(field->accessibleDescription(), explanation);

        findNamed<QAction>(m_pad.get(), "Deutsch1")->trigger();
        QCOMPARE(field->accessibleDescription(), QStringLiteral("n̥: Alveolarer Nasal + Stimmlos"));
    }

    void copyAsUnicodeOffersOnlyText()
    {
        findNamed<GlyphEdit>(m_pad.get(), "EditField")->setGlyphs(bytes({110, 36, 116, 212, 83}));
        QAction *copy = findNamed<QAction>(m_pad.get(), "AlsUnicode1");
        m_pad->ApplyLanguage();
        QCOMPARE(copy->text(), QStringLiteral("Unicode-IPA"));
        copy->trigger();
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->text(), QStringLiteral("n\u0325t\u0361\u0283"));

        findNamed<QAction>(m_pad.get(), "Englisch1")->trigger();
        QCOMPARE(copy->text(), QStringLiteral("Unicode IPA"));
        QCOMPARE(findNamed<QAction>(m_pad.get(), "SucheBtn")->toolTip(), QStringLiteral("Find symbol"));
        QCOMPARE(findNamed<QAction>(m_pad.get(), "SucheBtn")->shortcut(), QKeySequence(QKeySequence::Find));
    }

private:
    std::unique_ptr<TSprelioPad> m_pad;
};

QTEST_MAIN(TestIpaCommands)
#include "tst_ipacommands.moc"
