#include "compose/composer.h"
#include "compose/keyboardbytes.h"
#include "glyphbytes.h"
#include "palette/glyphtext.h"

#include <QTest>

using namespace Sprelio;

namespace {

// One click on a character button, with what is pending at that moment.
struct Click
{
    QByteArray symbol;
    bool onPalette = true;
    Glyph diacritic = 0; // 0: none pending
    bool linking = false;
    bool tie = false;
};

Click palette(std::initializer_list<int> codes, Glyph diacritic = 0)
{
    return Click{bytes(codes), true, diacritic, false, false};
}

Click linked(std::initializer_list<int> codes)
{
    return Click{bytes(codes), true, 0, true, false};
}

Click tied(std::initializer_list<int> codes)
{
    return Click{bytes(codes), true, 0, false, true};
}

Click tool(int code, Glyph diacritic = 0)
{
    return Click{bytes({code}), false, diacritic, false, false};
}

} // namespace

Q_DECLARE_METATYPE(QList<Click>)

class TestComposer final : public QObject
{
    Q_OBJECT

private slots:
    void typedBytes_data();
    void typedBytes();
    void consumedStates();
    void lastBaseCharFollowsPaletteOnly();
    void typedCharacters_data();
    void typedCharacters();
};

void TestComposer::typedBytes_data()
{
    QTest::addColumn<QList<Click>>("clicks");
    QTest::addColumn<QByteArray>("typed");

    QTest::newRow("rising over narrow tall base") << QList{palette({108}, 94)} << bytes({108, 177});
    QTest::newRow("extra high over i: dotless and narrow") << QList{palette({105}, 40)} << bytes({238, 136});
    QTest::newRow("extra high over tall base") << QList{palette({100}, 40)} << bytes({100, 137});
    QTest::newRow("low over ordinary base") << QList{palette({97}, 128)} << bytes({97, 128});
    QTest::newRow("nasal over a") << QList{palette({97}, 123)} << bytes({97, 123});
    QTest::newRow("nasal over i") << QList{palette({105}, 123)} << bytes({238, 158});
    QTest::newRow("nasal over close central vowel") << QList{palette({237}, 123)} << bytes({239, 158});
    QTest::newRow("voiceless over velar nasal") << QList{palette({78}, 36)} << bytes({78, 183});
    QTest::newRow("voiceless over j") << QList{palette({106}, 36)} << bytes({206, 184});
    QTest::newRow("voiceless over retroflex fricative") << QList{palette({74}, 36)} << bytes({207, 184});
    QTest::newRow("voiceless over t") << QList{palette({116}, 36)} << bytes({116, 182});
    QTest::newRow("voiceless over n") << QList{palette({110}, 36)} << bytes({110, 36});
    QTest::newRow("voiceless over i keeps the dot") << QList{palette({105}, 36)} << bytes({105, 182});
    QTest::newRow("voiced below narrow") << QList{palette({108}, 54)} << bytes({108, 171});
    QTest::newRow("voiced below ordinary") << QList{palette({115}, 54)} << bytes({115, 54});
    QTest::newRow("mid-centralized over ordinary") << QList{palette({97}, 174)} << bytes({97, 38});
    QTest::newRow("mid-centralized over i") << QList{palette({105}, 174)} << bytes({238, 174});
    QTest::newRow("non-combining pending code appends nothing") << QList{palette({97}, 59)} << bytes({97});

    QTest::newRow("g, linking, a") << QList{palette({103}), linked({97})} << bytes({103, 34, 97});
    QTest::newRow("a, linking, p") << QList{palette({97}), linked({112})} << bytes({97, 34, 112});
    QTest::newRow("a, linking, q") << QList{palette({97}), linked({113})} << bytes({97, 35, 113});
    QTest::newRow("q, linking, a") << QList{palette({113}), linked({97})} << bytes({113, 34, 97});
    QTest::newRow("a, linking, a") << QList{palette({97}), linked({97})} << bytes({97, 35, 97});

    QTest::newRow("tie, then s") << QList{tied({115})} << bytes({212, 115});
    QTest::newRow("tie and linking together")
        << QList{palette({116}), Click{bytes({83}), true, 0, true, true}} << bytes({116, 212, 34, 83});
    QTest::newRow("tie over empty symbol types the tie only") << QList{tied({})} << bytes({212});
    QTest::newRow("half space button types 189") << QList{tool(152)} << bytes({189});
    QTest::newRow("empty symbol types nothing") << QList{palette({})} << QByteArray();

    QTest::newRow("mark over a tool symbol") << QList{tool(58, 40)} << bytes({58, 40});
    QTest::newRow("long vowel entry under a mark") << QList{palette({228, 58}, 94)} << bytes({228, 58, 94});
    QTest::newRow("long vowel entry under voiceless")
        << QList{palette({228, 58}, 36)} << bytes({228, 58, 36});
    QTest::newRow("long vowel then linking: last byte decides")
        << QList{palette({228, 58}), linked({97})} << bytes({228, 58, 35, 97});
}

void TestComposer::typedBytes()
{
    QFETCH(QList<Click>, clicks);
    QFETCH(QByteArray, typed);

    Composer composer;
    QByteArray field;
    for (const Click &click : clicks) {
        PendingMarks pending;
        if (click.diacritic != 0) {
            pending.diacritics.append(click.diacritic);
        }
        pending.linking = click.linking;
        pending.tie = click.tie;
        field += composer.compose(click.symbol, click.onPalette, pending).typed;
    }
    QCOMPARE(field, typed);
}

void TestComposer::consumedStates()
{
    Composer composer;
    PendingMarks all;
    all.diacritics = {123};
    all.linking = true;
    all.tie = true;

    // An empty symbol uses up the tie only; the mark and the linking stay pending.
    const Composition empty = composer.compose({}, true, all);
    QCOMPARE(empty, (Composition{bytes({212}), true, false, false}));

    const Composition full = composer.compose("a", true, all);
    QCOMPARE(full, (Composition{bytes({212, 35, 97, 123}), true, true, true}));

    const Composition none = composer.compose("a", true, PendingMarks{});
    QCOMPARE(none, (Composition{"a", false, false, false}));
}

void TestComposer::lastBaseCharFollowsPaletteOnly()
{
    Composer composer;
    composer.compose(bytes({228, 58}), true, {});
    QCOMPARE(composer.LastBaseChar(), Glyph{58});
    composer.compose(bytes({103}), false, {});
    QCOMPARE(composer.LastBaseChar(), Glyph{58});
    composer.compose(bytes({105}), true, PendingMarks{{40}, false, false});
    QCOMPARE(composer.LastBaseChar(), Glyph{105}); // before the base substitution

    // A descender before the linking mark decides even when nothing follows yet.
    composer.compose(bytes({103}), true, {});
    composer.compose({}, true, PendingMarks{{}, true, false});
    QVERIFY(composer.UseAltLink());
}

void TestComposer::typedCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("glyphs");

    // The five positions that Windows-1252 leaves undefined go through unchanged.
    QTest::newRow("U+0081") << QStringLiteral("\u0081") << bytes({0x81});
    QTest::newRow("U+008D") << QStringLiteral("\u008D") << bytes({0x8D});
    QTest::newRow("U+008F") << QStringLiteral("\u008F") << bytes({0x8F});
    QTest::newRow("U+0090") << QStringLiteral("\u0090") << bytes({0x90});
    QTest::newRow("U+009D") << QStringLiteral("\u009D") << bytes({0x9D});
    QTest::newRow("all five between letters") << QStringLiteral("a\u0081\u008D\u008F\u0090\u009Db")
                                              << bytes({'a', 0x81, 0x8D, 0x8F, 0x90, 0x9D, 'b'});
    // The other C1 controls have a character of their own in the code page and stay out.
    QTest::newRow("U+0080 is no byte") << QStringLiteral("\u0080") << QByteArray();
    QTest::newRow("U+009F is no byte") << QStringLiteral("\u009F") << QByteArray();
    QTest::newRow("euro sign") << QStringLiteral("\u20AC") << bytes({0x80});
    QTest::newRow("Y with diaeresis") << QStringLiteral("\u0178") << bytes({0x9F});
    QTest::newRow("glyph characters keep their code")
        << glyphsToDisplay(bytes({0x81, 0x9D})) << bytes({0x81, 0x9D});
}

void TestComposer::typedCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, glyphs);
    QCOMPARE(typedTextToGlyphs(text), glyphs);
}

QTEST_GUILESS_MAIN(TestComposer)
#include "tst_composer.moc"
