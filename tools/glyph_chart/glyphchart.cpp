// Draws codes 32 to 255 of a phonetic font in a 16 x 14 grid, each mark over
// a base of the class its variant is meant for, with the code in small print.
// Usage: glyph_chart <font.ttf> <chart.png>

#include "palette/glyphclasses.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextStream>

#include <vector>

using namespace Sprelio;

namespace {

constexpr int Columns = 16;
constexpr int Rows = 14;
constexpr int CellWidth = 96;
constexpr int CellHeight = 110;
constexpr qreal PixelSize = 44;

constexpr Glyph BaseN = 110;        // n: an ordinary base
constexpr Glyph BaseDotlessI = 238; // narrow, no ascender
constexpr Glyph BaseD = 100;        // ascender, not narrow
constexpr Glyph BaseL = 108;        // narrow with ascender
constexpr Glyph BaseT = 116;        // narrow, no descender
constexpr Glyph BaseEng = 78;       // descender
constexpr Glyph BaseDotlessJ = 206; // narrow with descender

struct Piece
{
    Glyph code;
    bool highlighted;
};

// What a cell shows for a code: the code alone, or a mark with the bases it
// belongs to, chosen the way the composition picks the variant.
std::vector<Piece> cellText(Glyph code)
{
    for (const ToneVariantRow &row : ToneVariantTable) {
        if (row.mark == Codes::Voiceless) {
            if (code == row.mark) return {{BaseN, false}, {code, true}};
            if (code == row.narrow) return {{BaseT, false}, {code, true}};
            if (code == row.tall) return {{BaseEng, false}, {code, true}};
            if (code == row.narrowTall) return {{BaseDotlessJ, false}, {code, true}};
            continue;
        }
        if (code == row.mark) return {{BaseN, false}, {code, true}};
        if (code == row.narrow) return {{BaseDotlessI, false}, {code, true}};
        if (code == row.tall) return {{BaseD, false}, {code, true}};
        if (code == row.narrowTall) return {{BaseL, false}, {code, true}};
    }
    for (const NarrowVariantRow &row : NarrowVariantTable) {
        const bool above = AboveMarkSet.contains(row.mark);
        if (code == row.mark) return {{BaseN, false}, {code, true}};
        if (code == row.narrow) return {{above ? BaseDotlessI : BaseL, false}, {code, true}};
    }
    switch (code) {
    case Codes::Linking:
        return {{BaseN, false}, {code, true}, {97, false}};
    case Codes::AltLinking:
        return {{103, false}, {code, true}, {106, false}};
    case Codes::Tie:
        return {{116, false}, {code, true}, {83, false}};
    case 126: // drawn through the base
        return {{BaseL, false}, {code, true}};
    default:
        return {{code, false}};
    }
}

quint32 glyphIndex(const QRawFont &font, Glyph code)
{
    const QList<quint32> indexes = font.glyphIndexesForString(QString(QChar(0xF000 + code)));
    return indexes.isEmpty() ? 0 : indexes.first();
}

void drawCell(QPainter &painter, const QRawFont &font, Glyph code, const QRect &cell)
{
    const std::vector<Piece> pieces = cellText(code);

    qreal width = 0;
    for (const Piece &piece : pieces) {
        const quint32 index = glyphIndex(font, piece.code);
        width += font.advancesForGlyphIndexes({index}).first().x();
    }
    const qreal baseline = cell.top() + cell.height() * 0.62;
    qreal x = cell.left() + (cell.width() - width) / 2;

    for (const Piece &piece : pieces) {
        const quint32 index = glyphIndex(font, piece.code);
        if (index == 0) {
            painter.fillRect(QRectF(x, baseline - 30, 20, 30), QColor(255, 0, 0, 120));
        }
        const QPainterPath path = font.pathForGlyph(index).translated(x, baseline);
        painter.fillPath(path, piece.highlighted ? QColor(0, 60, 200) : QColor(0, 0, 0));
        x += font.advancesForGlyphIndexes({index}).first().x();
    }

    painter.setPen(QColor(200, 120, 120));
    painter.drawLine(QPointF(cell.left() + 4, baseline), QPointF(cell.right() - 4, baseline));
}

// Words as the composition types them, to judge spacing and marks in running text.
const std::vector<QByteArray> SampleLines{
    QByteArray("\x60\x53\x74\x86\x61\x3a\x73\x45\x20\x60\x72\x61\x74\x20\x60\x54\xc0\x20\x62\xc1\x4e\x20\x70\xd2\x20\x50\x5a\x54"),
    QByteArray("\x6e\x24\x61\x20\x72\x24\x61\x20\x6c\xb1\x20\xee\x9e\x20\x4e\xb7\x20\xce\xb8\x20\x61\x7b\x20\x6c\x7e\x20\x7c\x24\x20\x6e\x23\x61\x20\x67\x22\x6a\x20\x74\xd4\x53"),
    QByteArray("\x60\x72\x55\x6e\x64\x45\x20\x60\x72\x49\x4e\x20\x53\x72\x49\x66\x74\x20\x46\x61\x20\xa9\x61\x20\x6d\x24\x20\x6d\x7b"),
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "usage: glyph_chart <font.ttf> <chart.png>\n";
        return 2;
    }

    const QRawFont font(args.at(1), PixelSize);
    if (!font.isValid()) {
        err << "cannot load " << args.at(1) << '\n';
        return 1;
    }

    constexpr int SampleHeight = 80;
    QImage image(Columns * CellWidth, Rows * CellHeight + 30 + SampleHeight * int(SampleLines.size()),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QFont label;
    label.setPixelSize(11);
    painter.setFont(label);
    painter.drawText(QRect(0, 0, image.width(), 30), Qt::AlignCenter,
                     font.familyName() + QStringLiteral("  (") + args.at(1) + QStringLiteral(")"));

    for (int code = 32; code < 256; ++code) {
        const int cellNumber = code - 32;
        const QRect cell((cellNumber % Columns) * CellWidth, 30 + (cellNumber / Columns) * CellHeight,
                         CellWidth, CellHeight);
        painter.setPen(QColor(190, 190, 190));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(cell.adjusted(3, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::number(code));
        drawCell(painter, font, static_cast<Glyph>(code), cell);
    }
    qreal baseline = 30 + Rows * CellHeight + SampleHeight * 0.65;
    for (const QByteArray &line : SampleLines) {
        qreal x = 20;
        for (const char byte : line) {
            const quint32 index = glyphIndex(font, static_cast<Glyph>(byte));
            painter.fillPath(font.pathForGlyph(index).translated(x, baseline), Qt::black);
            x += font.advancesForGlyphIndexes({index}).first().x();
        }
        baseline += SampleHeight;
    }
    painter.end();

    if (!image.save(args.at(2))) {
        err << "cannot write " << args.at(2) << '\n';
        return 1;
    }
    return 0;
}
