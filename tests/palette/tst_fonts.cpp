#include "compose/composer.h"
#include "palette/chartable.h"
#include "palette/glyphclasses.h"
#include "palette/glyphtext.h"
#include "palette/phoneticfonts.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QtEndian>

#include <set>

using namespace Sprelio;

namespace {

constexpr qreal RawPixelSize = 200;

// Cells 0 to 105 of the chart are the letters: vowels through clicks.
constexpr int LetterCellCount = 106;

QRawFont rawFont(bool sansSerif)
{
    return QRawFont(phoneticFontFile(sansSerif), RawPixelSize);
}

quint32 glyphIndex(const QRawFont &font, Glyph code)
{
    const QList<quint32> indexes =
        font.glyphIndexesForString(glyphsToDisplay(QByteArray(1, static_cast<char>(code))));
    return indexes.size() == 1 ? indexes.first() : 0;
}

qreal advance(const QRawFont &font, Glyph code)
{
    return font.advancesForGlyphIndexes({glyphIndex(font, code)}).first().x();
}

// Ink of a glyph with its pen at the origin; y grows downwards.
QRectF ink(const QRawFont &font, Glyph code)
{
    return font.pathForGlyph(glyphIndex(font, code)).boundingRect();
}

// Ink of each glyph of a string, placed where its pen stands.
QList<QRectF> inkAlong(const QRawFont &font, const QByteArray &glyphs)
{
    QList<QRectF> boxes;
    qreal pen = 0;
    for (const char byte : glyphs) {
        const auto code = static_cast<Glyph>(byte);
        boxes.append(ink(font, code).translated(pen, 0));
        pen += advance(font, code);
    }
    return boxes;
}

bool isSpace(Glyph code)
{
    return code == Codes::Space || code == Codes::HalfSpaceButton || code == Codes::HalfSpace;
}

// Everything that the text places over a neighbour instead of beside it.
std::set<Glyph> zeroWidthCodes()
{
    std::set<Glyph> codes{Codes::AltLinking, Codes::Linking, Codes::Tie, 126};
    for (int code = 0; code < 256; ++code) {
        if (CombiningSet.contains(static_cast<Glyph>(code))) {
            codes.insert(static_cast<Glyph>(code));
        }
    }
    for (const ToneVariantRow &row : ToneVariantTable) {
        codes.insert({row.mark, row.narrow, row.tall, row.narrowTall});
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        codes.insert({row.mark, row.narrow});
    }
    return codes;
}

QString codeList(const QList<int> &codes)
{
    QStringList parts;
    for (const int code : codes) {
        parts << QString::number(code);
    }
    return parts.join(QLatin1Char(' '));
}

void addFaceRows()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::newRow("serif") << false;
    QTest::newRow("sans serif") << true;
}

// Horizontal extent of the dark pixels in an image; empty if there are none.
QPair<int, int> inkColumns(const QImage &image)
{
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = qMin(left, x);
                right = qMax(right, x);
            }
        }
    }
    return {left, right};
}

QImage render(const QFont &font, const QByteArray &glyphs)
{
    QImage image(480, 360, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(120, 220), glyphsToDisplay(glyphs));
    return image;
}

// Every letter of the chart with every diacritic of the special bar, as the rules compose them.
QList<QByteArray> composedLetters()
{
    QList<QByteArray> texts;
    for (int cell = 0; cell < LetterCellCount; ++cell) {
        for (int mark = 0; mark < 256; ++mark) {
            if (CombiningSet.contains(static_cast<Glyph>(mark))) {
                texts << Composer()
                             .compose(QByteArray(1, static_cast<char>(CharGridCodes[cell])), true,
                                      PendingMarks{{static_cast<Glyph>(mark)}, false, false})
                             .typed;
            }
        }
    }
    return texts;
}

constexpr int ShapedPixelSize = 100;

QFont shapingFont(bool sansSerif)
{
    QFont font(phoneticFamily(sansSerif));
    font.setPixelSize(ShapedPixelSize);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Outlines of the glyphs of a text where a HarfBuzz shaping puts them, GPOS included.
QList<QPainterPath> shapedOutlines(const QFont &font, const QByteArray &glyphs)
{
    QTextLayout layout(glyphsToDisplay(glyphs), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    // Runs are placed from the top of the line; the other outlines here stand on the baseline.
    const QPointF baseline(0, line.ascent());
    QList<QPainterPath> paths;
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            paths << raw.pathForGlyph(indexes.at(i)).translated(positions.at(i) - baseline);
        }
    }
    return paths;
}

// Outlines where a renderer without mark positioning puts them: each glyph at the pen.
QList<QPainterPath> unshapedOutlines(const QRawFont &font, const QByteArray &glyphs)
{
    QList<QPainterPath> paths;
    qreal pen = 0;
    for (const char byte : glyphs) {
        const auto code = static_cast<Glyph>(byte);
        paths << font.pathForGlyph(glyphIndex(font, code)).translated(pen, 0);
        pen += advance(font, code);
    }
    return paths;
}

// The pixels that a filled outline darkens, in a frame shared with other outlines.
QImage inkPixels(const QPainterPath &path, const QRectF &frame)
{
    QImage image(frame.size().toSize() + QSize(4, 4), QImage::Format_Grayscale8);
    image.fill(0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(QPointF(2, 2) - frame.topLeft());
    painter.fillPath(path, Qt::white);
    return image;
}

// True if some ink pixel of one image lies on or next to an ink pixel of the other.
bool inkTouches(const QImage &one, const QImage &other)
{
    constexpr int Faint = 128;
    for (int y = 1; y < one.height() - 1; ++y) {
        for (int x = 1; x < one.width() - 1; ++x) {
            if (one.constScanLine(y)[x] < Faint) {
                continue;
            }
            for (int dy = -1; dy <= 1; ++dy) {
                const uchar *row = other.constScanLine(y + dy);
                if (row[x - 1] >= Faint || row[x] >= Faint || row[x + 1] >= Faint) {
                    return true;
                }
            }
        }
    }
    return false;
}

// Tone marks drawn at the x-height: the composition picks them for the bases that it does not
// count as tall, and only mark positioning lifts them over a click or a dotted letter.
bool toneAtXHeight(Glyph mark)
{
    for (const ToneVariantRow &row : ToneVariantTable) {
        if (row.mark != Codes::Voiceless && (mark == row.mark || mark == row.narrow)) {
            return true;
        }
    }
    return false;
}

QString pairName(const QByteArray &typed)
{
    return QStringLiteral("%1+%2")
        .arg(int{static_cast<Glyph>(typed.at(0))})
        .arg(int{static_cast<Glyph>(typed.at(1))});
}

} // namespace

class TestFonts final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void familyNames_data();
    void familyNames();
    void symbolCmapOnly_data();
    void symbolCmapOnly();
    void everyCodeHasAGlyph_data();
    void everyCodeHasAGlyph();
    void onlyMarksHaveZeroAdvance_data();
    void onlyMarksHaveZeroAdvance();
    void variantsMoveAwayFromTheirMarks_data();
    void variantsMoveAwayFromTheirMarks();
    void composedMarksSitOverTheirBase_data();
    void composedMarksSitOverTheirBase();
    void marksClearTheirBase_data();
    void marksClearTheirBase();
    void composedMarksKeepOffTheirBase_data();
    void composedMarksKeepOffTheirBase();
    void stackedMarksKeepApart_data();
    void stackedMarksKeepApart();
    void lineHoldsEveryGlyph_data();
    void lineHoldsEveryGlyph();
    void painterDrawsMarkOverBase_data();
    void painterDrawsMarkOverBase();
};

void TestFonts::initTestCase()
{
    QVERIFY2(!phoneticFontFile(false).isEmpty(), qPrintable(phoneticFontDirs().join(QLatin1Char(' '))));
    QVERIFY(!phoneticFontFile(true).isEmpty());
    QVERIFY(registerPhoneticFonts());
    // Registering again must not fail now that both families exist.
    QVERIFY(registerPhoneticFonts());
}

void TestFonts::familyNames_data()
{
    addFaceRows();
}

void TestFonts::familyNames()
{
    QFETCH(bool, sansSerif);
    const QString expected =
        sansSerif ? QStringLiteral("Lautbild Sans Serif") : QStringLiteral("Lautbild Serif");
    QCOMPARE(rawFont(sansSerif).familyName(), expected);
    const QFont font(expected);
    QCOMPARE(QFontInfo(font).family(), expected);
    // Widgets reach the glyphs through the family name, the bytes 0x80 to 0x9F included.
    const QFontMetricsF metrics(font);
    QList<int> uncovered;
    for (int code = 32; code < 256; ++code) {
        if (!metrics.inFontUcs4(GlyphCodeBase + static_cast<uint>(code))) {
            uncovered << code;
        }
    }
    QVERIFY2(uncovered.isEmpty(), qPrintable(codeList(uncovered)));
}

void TestFonts::symbolCmapOnly_data()
{
    addFaceRows();
}

void TestFonts::symbolCmapOnly()
{
    // A Unicode subtable would let fontconfig offer the fonts as a fallback for Latin text.
    QFETCH(bool, sansSerif);
    const QByteArray cmap = rawFont(sansSerif).fontTable("cmap");
    QVERIFY(cmap.size() >= 12);
    const auto *data = reinterpret_cast<const uchar *>(cmap.constData());
    const int tables = qFromBigEndian<quint16>(data + 2);
    QCOMPARE(tables, 1);
    QCOMPARE(qFromBigEndian<quint16>(data + 4), quint16{3});
    QCOMPARE(qFromBigEndian<quint16>(data + 6), quint16{0});
}

void TestFonts::everyCodeHasAGlyph_data()
{
    addFaceRows();
}

void TestFonts::everyCodeHasAGlyph()
{
    // Every code from 32 up is described, a variant or a plain code: all must draw.
    QFETCH(bool, sansSerif);
    const QRawFont font = rawFont(sansSerif);
    QList<int> missing;
    QList<int> inkless;
    QList<int> inkySpaces;
    for (int code = 32; code < 256; ++code) {
        const auto glyph = static_cast<Glyph>(code);
        if (glyphIndex(font, glyph) == 0) {
            missing << code;
        } else if (isSpace(glyph)) {
            if (!font.pathForGlyph(glyphIndex(font, glyph)).isEmpty() || advance(font, glyph) <= 0) {
                inkySpaces << code;
            }
        } else if (font.pathForGlyph(glyphIndex(font, glyph)).isEmpty()) {
            inkless << code;
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no glyph: ") + codeList(missing)));
    QVERIFY2(inkless.isEmpty(), qPrintable(QStringLiteral("no outline: ") + codeList(inkless)));
    QVERIFY2(inkySpaces.isEmpty(),
             qPrintable(QStringLiteral("space with ink or no width: ") + codeList(inkySpaces)));
    QVERIFY(qAbs(advance(font, Codes::HalfSpace) - advance(font, Codes::Space) / 2) < RawPixelSize / 1000);
}

void TestFonts::onlyMarksHaveZeroAdvance_data()
{
    addFaceRows();
}

void TestFonts::onlyMarksHaveZeroAdvance()
{
    QFETCH(bool, sansSerif);
    const QRawFont font = rawFont(sansSerif);
    const std::set<Glyph> marks = zeroWidthCodes();
    QList<int> wideMarks;
    QList<int> flatBases;
    for (int code = 32; code < 256; ++code) {
        const auto glyph = static_cast<Glyph>(code);
        const bool mark = marks.count(glyph) > 0;
        if (mark && advance(font, glyph) != 0) {
            wideMarks << code;
        } else if (!mark && advance(font, glyph) <= 0) {
            flatBases << code;
        }
    }
    QVERIFY2(wideMarks.isEmpty(), qPrintable(QStringLiteral("marks with width: ") + codeList(wideMarks)));
    QVERIFY2(flatBases.isEmpty(), qPrintable(QStringLiteral("bases without width: ") + codeList(flatBases)));
}

void TestFonts::variantsMoveAwayFromTheirMarks_data()
{
    addFaceRows();
}

void TestFonts::variantsMoveAwayFromTheirMarks()
{
    // Narrow variants sit nearer the pen (a narrow base ends closer to it), tall ones higher;
    // the voiceless ring of descender bases goes from below the line to above it.
    QFETCH(bool, sansSerif);
    const QRawFont font = rawFont(sansSerif);
    const qreal step = RawPixelSize / 20;
    for (const ToneVariantRow &row : ToneVariantTable) {
        const QRectF mark = ink(font, row.mark);
        const QRectF narrow = ink(font, row.narrow);
        const QRectF narrowTall = ink(font, row.narrowTall);
        const QByteArray what = QByteArray::number(row.mark);
        QVERIFY2(narrow.center().x() > mark.center().x() + step, what);
        QVERIFY2(narrowTall.center().x() > mark.center().x() + step, what);
        if (row.mark == Codes::Voiceless) {
            const QRectF descender = ink(font, row.tall);
            QVERIFY(mark.top() > 0);
            QVERIFY(descender.bottom() < 0 && narrowTall.bottom() < 0);
            QVERIFY(narrowTall.center().x() > descender.center().x() + step);
        } else {
            const QRectF tall = ink(font, row.tall);
            QVERIFY2(tall.bottom() < mark.bottom() - step, what);
            QVERIFY2(narrowTall.bottom() < narrow.bottom() - step, what);
            QCOMPARE(tall.center().x(), mark.center().x());
        }
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        const QRectF mark = ink(font, row.mark);
        const QRectF narrow = ink(font, row.narrow);
        QVERIFY2(narrow.center().x() > mark.center().x() + step, QByteArray::number(row.mark));
        QCOMPARE(narrow.center().y(), mark.center().y());
    }
}

void TestFonts::composedMarksSitOverTheirBase_data()
{
    addFaceRows();
}

void TestFonts::composedMarksSitOverTheirBase()
{
    // Every letter of the chart with every diacritic of the special bar, composed by the
    // real rules: the mark the rules pick must centre on the base, not drift to a side.
    QFETCH(bool, sansSerif);
    const QRawFont font = rawFont(sansSerif);
    const qreal narrowest = ink(font, 238).width();
    // Acute and grave lean to one side by design; allow them a 25th of an em.
    const auto slack = [narrowest](const QRectF &box) {
        return qMax(0.0, (narrowest - box.width()) / 2) + RawPixelSize / 25;
    };
    QStringList offCentre;
    for (int cell = 0; cell < LetterCellCount; ++cell) {
        for (int mark = 0; mark < 256; ++mark) {
            if (!CombiningSet.contains(static_cast<Glyph>(mark))) {
                continue;
            }
            const QByteArray typed = Composer()
                                         .compose(QByteArray(1, static_cast<char>(CharGridCodes[cell])), true,
                                                  PendingMarks{{static_cast<Glyph>(mark)}, false, false})
                                         .typed;
            QCOMPARE(typed.size(), 2);
            const QList<QRectF> boxes = inkAlong(font, typed);
            // A stem as thin as l still counts as wide as dotless i.
            const QRectF base = boxes.at(0).adjusted(-slack(boxes.at(0)), 0, slack(boxes.at(0)), 0);
            const qreal centre = boxes.at(1).center().x();
            if (centre < base.left() || centre > base.right()) {
                offCentre << QStringLiteral("%1+%2")
                                 .arg(int{static_cast<Glyph>(typed.at(0))})
                                 .arg(int{static_cast<Glyph>(typed.at(1))});
            }
        }
    }
    QVERIFY2(offCentre.isEmpty(), qPrintable(offCentre.join(QLatin1Char(' '))));
}

void TestFonts::marksClearTheirBase_data()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<QByteArray>("glyphs");
    QTest::addColumn<int>("markAt");
    QTest::addColumn<bool>("above");

    const struct
    {
        const char *name;
        QByteArray glyphs;
        int markAt;
        bool above;
    } cases[] = {
        {"rising over l clears the ascender", QByteArray("\x6c\xb1"), 1, true},
        {"high over d clears the ascender", QByteArray("\x64\x8f"), 1, true},
        {"extra high over dotless i clears it", QByteArray("\xee\x88"), 1, true},
        {"nasal over a", QByteArray("\x61\x7b"), 1, true},
        {"voiceless ring above eng", QByteArray("\x4e\xb7"), 1, true},
        {"voiceless ring above dotless j", QByteArray("\xce\xb8"), 1, true},
        {"voiceless ring under n", QByteArray("\x6e\x24"), 1, false},
        {"syllabic under narrow l", QByteArray("\x6c\xac"), 1, false},
        {"linking between n and a", QByteArray("\x6e\x23\x61"), 1, false},
        {"deep linking between p and j", QByteArray("\x70\x22\x6a"), 1, false},
        {"tie over t and esh clears both", QByteArray("\x74\xd4\x53"), 1, true},
    };
    for (const bool sansSerif : {false, true}) {
        for (const auto &c : cases) {
            QTest::addRow("%s, %s", c.name, sansSerif ? "sans serif" : "serif")
                << sansSerif << c.glyphs << c.markAt << c.above;
        }
    }
}

void TestFonts::marksClearTheirBase()
{
    QFETCH(bool, sansSerif);
    QFETCH(QByteArray, glyphs);
    QFETCH(int, markAt);
    QFETCH(bool, above);
    const QList<QRectF> boxes = inkAlong(rawFont(sansSerif), glyphs);
    const QRectF mark = boxes.at(markAt);
    for (int i = 0; i < boxes.size(); ++i) {
        if (i == markAt) {
            continue;
        }
        if (above) {
            QVERIFY2(mark.bottom() < boxes.at(i).top(), qPrintable(QString::number(i)));
        } else {
            QVERIFY2(mark.top() > boxes.at(i).bottom(), qPrintable(QString::number(i)));
        }
    }
}

void TestFonts::composedMarksKeepOffTheirBase_data()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<bool>("shaped");
    for (const bool sansSerif : {false, true}) {
        const char *face = sansSerif ? "sans serif" : "serif";
        QTest::addRow("%s, shaped with mark positioning", face) << sansSerif << true;
        QTest::addRow("%s, each glyph at the pen", face) << sansSerif << false;
    }
}

void TestFonts::composedMarksKeepOffTheirBase()
{
    // A mark that runs into its letter makes another letter: l with a tilde reads as the
    // velarized l, b with it as barred b. Checked on the ink, as HarfBuzz places it (the way
    // Qt, office suites and browsers draw) and as a renderer without mark positioning does.
    QFETCH(bool, sansSerif);
    QFETCH(bool, shaped);
    const QFont font = shapingFont(sansSerif);
    const QRawFont fromFile(phoneticFontFile(sansSerif), ShapedPixelSize, QFont::PreferNoHinting);
    // An installed copy of another build would answer for the family name instead of this one.
    QVERIFY2(QRawFont::fromFont(font).fontTable("head") == fromFile.fontTable("head"),
             "the family resolves to another copy of the font than the one built with the program");

    QStringList touching;
    QStringList floating;
    QStringList clipped;
    for (const QByteArray &typed : composedLetters()) {
        const QList<QPainterPath> paths =
            shaped ? shapedOutlines(font, typed) : unshapedOutlines(fromFile, typed);
        QCOMPARE(paths.size(), 2);
        const QRectF base = paths.at(0).boundingRect();
        const QRectF mark = paths.at(1).boundingRect();
        const QRectF frame = base.united(mark);
        const bool above = mark.center().y() < base.center().y();
        // Edit fields and table cells cut off what lies beyond the line.
        if (mark.top() < -fromFile.ascent() || mark.bottom() > fromFile.descent()) {
            clipped << pairName(typed);
        }
        // Without mark positioning the marks below stay at the baseline, under a descender too,
        // and so do the tone marks at the x-height.
        if (!shaped && (!above || toneAtXHeight(static_cast<Glyph>(typed.at(1))))) {
            continue;
        }
        if (inkTouches(inkPixels(paths.at(1), frame), inkPixels(paths.at(0), frame))) {
            touching << pairName(typed);
        }
        // Mark positioning brings a mark down onto a short letter instead of leaving it at
        // the height that clears the tallest.
        if (shaped && above && base.top() - mark.bottom() > ShapedPixelSize / 6.0) {
            floating << pairName(typed);
        }
    }
    QVERIFY2(
        touching.isEmpty(),
        qPrintable(QStringLiteral("%1 touch: %2").arg(touching.size()).arg(touching.join(QLatin1Char(' ')))));
    QVERIFY2(
        floating.isEmpty(),
        qPrintable(QStringLiteral("%1 float: %2").arg(floating.size()).arg(floating.join(QLatin1Char(' ')))));
    QVERIFY2(clipped.isEmpty(),
             qPrintable(QStringLiteral("beyond the line: ") + clipped.join(QLatin1Char(' '))));
}

void TestFonts::stackedMarksKeepApart_data()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<int>("base");
    QTest::addColumn<QList<int>>("marks");

    const struct
    {
        const char *name;
        int base;
        QList<int> marks;
    } cases[] = {
        {"nasal and high over a", 97, {123, 127}},
        {"nasal and rising over l", 108, {123, 94}},
        {"centralized and extra short over o", 111, {51, 48}},
        {"nasal and low over esh", 83, {123, 128}},
        {"voiceless and syllabic under n", 110, {36, 52}},
        {"voiced and creaky under p", 112, {54, 125}},
        {"nasal above and syllabic below m", 109, {123, 52}},
    };
    for (const bool sansSerif : {false, true}) {
        for (const auto &c : cases) {
            QTest::addRow("%s, %s", c.name, sansSerif ? "sans serif" : "serif")
                << sansSerif << c.base << c.marks;
        }
    }
}

void TestFonts::stackedMarksKeepApart()
{
    // Tone and nasality on one vowel are everyday in tone languages: the second mark stacks on
    // the first instead of being drawn into it.
    QFETCH(bool, sansSerif);
    QFETCH(int, base);
    QFETCH(QList<int>, marks);
    PendingMarks pending;
    for (const int mark : marks) {
        pending.diacritics << static_cast<Glyph>(mark);
    }
    const QByteArray typed = Composer().compose(QByteArray(1, static_cast<char>(base)), true, pending).typed;
    const QList<QPainterPath> paths = shapedOutlines(shapingFont(sansSerif), typed);
    QCOMPARE(paths.size(), 3);
    QRectF frame;
    for (const QPainterPath &path : paths) {
        frame |= path.boundingRect();
    }
    for (int one = 0; one < paths.size(); ++one) {
        for (int other = one + 1; other < paths.size(); ++other) {
            QVERIFY2(!inkTouches(inkPixels(paths.at(one), frame), inkPixels(paths.at(other), frame)),
                     qPrintable(QStringLiteral("glyphs %1 and %2 of %3")
                                    .arg(one)
                                    .arg(other)
                                    .arg(QString::fromLatin1(typed.toHex(' ')))));
        }
    }
}

void TestFonts::lineHoldsEveryGlyph_data()
{
    addFaceRows();
}

void TestFonts::lineHoldsEveryGlyph()
{
    // Ink beyond the line's ascent or descent is cut off in edit fields and table cells.
    QFETCH(bool, sansSerif);
    const QRawFont font = rawFont(sansSerif);
    QList<int> clipped;
    for (int code = 32; code < 256; ++code) {
        const QRectF box = ink(font, static_cast<Glyph>(code));
        if (box.top() < -font.ascent() || box.bottom() > font.descent()) {
            clipped << code;
        }
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(codeList(clipped)));
}

void TestFonts::painterDrawsMarkOverBase_data()
{
    QTest::addColumn<bool>("sansSerif");
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("mark");

    const struct
    {
        const char *name;
        int base;
        int mark;
    } cases[] = {
        {"voiceless under n", 110, 36},
        {"rising over l", 108, 177},
        {"nasal over n", 110, 123},
        {"nasal over dotless i", 238, 158},
        {"voiceless ring above eng", 78, 183},
        {"voiceless under t", 116, 182},
        {"velarized through l", 108, 126},
    };
    for (const bool sansSerif : {false, true}) {
        for (const auto &c : cases) {
            QTest::addRow("%s, %s", c.name, sansSerif ? "sans serif" : "serif")
                << sansSerif << c.base << c.mark;
        }
    }
}

void TestFonts::painterDrawsMarkOverBase()
{
    // The whole road the widgets take: family name, U+F000 text, QPainter.
    QFETCH(bool, sansSerif);
    QFETCH(int, base);
    QFETCH(int, mark);
    QFont font(phoneticFamily(sansSerif));
    font.setPixelSize(96);
    const QByteArray baseOnly(1, static_cast<char>(base));
    const QByteArray withMark = baseOnly + QByteArray(1, static_cast<char>(mark));

    const QFontMetricsF metrics(font);
    QCOMPARE(metrics.horizontalAdvance(glyphsToDisplay(withMark)),
             metrics.horizontalAdvance(glyphsToDisplay(baseOnly)));

    const QImage plain = render(font, baseOnly);
    QImage marked = render(font, withMark);
    const auto [baseLeft, baseRight] = inkColumns(plain);
    QVERIFY(baseRight > baseLeft);
    // Keep only what the mark added.
    for (int y = 0; y < marked.height(); ++y) {
        for (int x = 0; x < marked.width(); ++x) {
            if (qGray(plain.pixel(x, y)) < 128) {
                marked.setPixel(x, y, qRgb(255, 255, 255));
            }
        }
    }
    const auto [markLeft, markRight] = inkColumns(marked);
    QVERIFY2(markRight >= markLeft, "the mark drew nothing");
    const int markCentre = (markLeft + markRight) / 2;
    QVERIFY2(markCentre > baseLeft && markCentre < baseRight,
             qPrintable(QStringLiteral("base %1..%2, mark %3..%4")
                            .arg(baseLeft)
                            .arg(baseRight)
                            .arg(markLeft)
                            .arg(markRight)));
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
