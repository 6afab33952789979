#pragma once

#include "palette/glyphclasses.h"

#include <QList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QLineEdit;

namespace Sprelio {

class TKWSpeedButton;

/// A small tool window that finds symbols by name, look-alike letter or Unicode character and shows
/// the matches as character buttons, each with its name beside it. It types nothing itself: a click is handed
/// on, so that the main window composes it like any other character button.
class TSymbolSearch final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSymbolSearch)

public:
    explicit TSymbolSearch(QWidget *parent = nullptr);
    ~TSymbolSearch() override = default;

    /// Runs a query as if it had been typed into the search field.
    void setQuery(const QString &query);
    /// The buttons of the current matches, best first.
    const QList<TKWSpeedButton *> &Matches() const { return m_matches; }
    /// The names beside the matches, in the same order.
    const QList<QLabel *> &MatchNames() const { return m_names; }
    /// Sets the title, the field's prompt and the hints of the matches in the current language.
    void ApplyLanguage();
    /// Draws the matches in the given phonetic face.
    void setFaceName(const QString &family);
    /// Shows the window, or brings it forward, with the query selected for typing over.
    void showForTyping();

signals:
    /// A match was clicked; the button carries its glyph string as its symbol.
    void symbolClicked(TKWSpeedButton *button);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showMatches();
    void fitSymbol(TKWSpeedButton *button) const;

    QLineEdit *m_query = nullptr;
    QLabel *m_status = nullptr;
    QWidget *m_matchArea = nullptr;
    QGridLayout *m_matchGrid = nullptr;
    QList<TKWSpeedButton *> m_matches;
    QList<QLabel *> m_names;
    QString m_faceName;
};

} // namespace Sprelio
