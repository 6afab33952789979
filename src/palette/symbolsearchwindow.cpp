#include "palette/symbolsearchwindow.h"

#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsearch.h"
#include "palette/symbolsets.h"
#include "palette/unicodeipa.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace Sprelio {

namespace {

constexpr int MatchNameWidth = 260;
constexpr int MatchButtonSize = 40;
constexpr int MatchFontPixels = 22;
// The cells of the chart from the first vowel to the last click are letters, which count as bases.
constexpr int LetterCellCount = 106;

bool isLetterGlyph(Glyph code)
{
    for (int cell = 0; cell < LetterCellCount; ++cell) {
        if (CharGridCodes[cell] == code) {
            return true;
        }
    }
    return false;
}

QString matchHint(Glyph code)
{
    const QString unicode = unicodeForGlyph(code);
    QStringList codePoints;
    for (const char32_t ch : unicode.toUcs4()) {
        codePoints.append(QStringLiteral("U+%1").arg(uint(ch), 4, 16, QLatin1Char('0')).toUpper());
    }
    return CharDescription(QByteArray(1, static_cast<char>(code))) + QStringLiteral(" \u2014 ") + unicode +
           QLatin1Char(' ') + codePoints.join(QLatin1Char(' '));
}

} // namespace

TSymbolSearch::TSymbolSearch(QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_faceName(phoneticFamily(false))
{
    setObjectName(QStringLiteral("SymbolSuche"));
    auto *layout = new QVBoxLayout(this);

    m_query = new QLineEdit(this);
    m_query->setObjectName(QStringLiteral("SucheEdit"));
    m_query->setClearButtonEnabled(true);
    layout->addWidget(m_query);
    connect(m_query, &QLineEdit::textChanged, this, &TSymbolSearch::showMatches);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("SucheStatus"));
    m_status->setVisible(false);
    layout->addWidget(m_status);

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_matchArea = new QWidget(scroll);
    m_matchGrid = new QGridLayout(m_matchArea);
    m_matchGrid->setVerticalSpacing(0);
    m_matchGrid->setHorizontalSpacing(8);
    m_matchGrid->setColumnStretch(1, 1);
    m_matchGrid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setWidget(m_matchArea);
    layout->addWidget(scroll, 1);

    setAttribute(Qt::WA_AlwaysShowToolTips);
    resize(MatchButtonSize + MatchNameWidth + 48, 6 * MatchButtonSize + 80);
    ApplyLanguage();
}

void TSymbolSearch::setQuery(const QString &query)
{
    m_query->setText(query);
    showMatches();
}

void TSymbolSearch::ApplyLanguage()
{
    setWindowTitle(LangStr(201));
    m_query->setPlaceholderText(LangStr(202));
    m_query->setAccessibleName(LangStr(201));
    m_status->setText(LangStr(203));
    for (TKWSpeedButton *button : std::as_const(m_matches)) {
        const auto code = static_cast<Glyph>(button->Symbol().front());
        button->setHint(matchHint(code));
        button->setAccessibleName(CharDescription(button->Symbol()));
    }
    for (int k = 0; k < m_names.size(); ++k) {
        m_names.at(k)->setText(CharDescription(m_matches.at(k)->Symbol()));
    }
}

void TSymbolSearch::setFaceName(const QString &family)
{
    m_faceName = family;
    for (TKWSpeedButton *button : std::as_const(m_matches)) {
        fitSymbol(button);
    }
}

void TSymbolSearch::showForTyping()
{
    show();
    raise();
    activateWindow();
    m_query->setFocus();
    m_query->selectAll();
}

void TSymbolSearch::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !m_matches.isEmpty()) {
        emit symbolClicked(m_matches.constFirst());
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSymbolSearch::showMatches()
{
    qDeleteAll(m_matches);
    m_matches.clear();
    qDeleteAll(m_names);
    m_names.clear();

    const QList<Glyph> found = findSymbols(m_query->text());
    for (const Glyph code : found) {
        auto *button = new TKWSpeedButton(m_matchArea);
        button->setObjectName(QStringLiteral("SucheTreffer%1").arg(m_matches.size()));
        button->setFixedSize(MatchButtonSize, MatchButtonSize);
        button->SetSymbol(QByteArray(1, static_cast<char>(code)));
        // A letter found here is typed like one from the palettes, so a linking mark after it
        // sees its descender.
        button->setProperty("PaletteBase", isLetterGlyph(code));
        button->setShowHint(true);
        fitSymbol(button);
        connect(button, &SpeedButton::clicked, this, [this, button] { emit symbolClicked(button); });
        auto *name = new QLabel(m_matchArea);
        name->setObjectName(QStringLiteral("SucheName%1").arg(m_matches.size()));
        name->setWordWrap(true);
        name->setBuddy(button);
        const int row = int(m_matches.size());
        m_matchGrid->addWidget(button, row, 0);
        m_matchGrid->addWidget(name, row, 1);
        m_matches.append(button);
        m_names.append(name);
    }
    ApplyLanguage();
    m_status->setVisible(found.isEmpty() && !m_query->text().trimmed().isEmpty());
}

void TSymbolSearch::fitSymbol(TKWSpeedButton *button) const
{
    QFont font(m_faceName);
    font.setPixelSize(MatchFontPixels);
    button->setFont(font);
    // A mark alone is drawn where it would sit over a base, as on the special bar.
    const QPoint offsets = symbolOffsets(QFontMetrics(font), button->Symbol());
    button->setOffsetX(offsets.x());
    button->setOffsetY(offsets.y());
}

} // namespace Sprelio
