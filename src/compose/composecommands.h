#pragma once

#include "compose/composer.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QActionGroup;
class QWidget;

namespace Sprelio {

class GlyphEdit;
class SpeedButton;
class TKWSpeedButton;
class TSymbolSearch;

/// The controls that the composition commands drive; the window creates them.
struct ComposeControls
{
    GlyphEdit *field = nullptr;
    /// The panels of the consonant and vowel buttons: a click there is a base.
    QWidget *konsPanel = nullptr;
    QWidget *vokalPanel = nullptr;
    QList<TKWSpeedButton *> paletteButtons;
    QList<TKWSpeedButton *> toolButtons;
    QList<TKWSpeedButton *> specialButtons;
    /// The bracket and arrow buttons, in SysButton order.
    QList<SpeedButton *> sysButtons;
    /// The face menu items (Serif, Sans) and the face tool buttons, in that order.
    QActionGroup *faceItems = nullptr;
    QActionGroup *faceButtons = nullptr;
    QAction *boldButton = nullptr;
    QAction *italicButton = nullptr;
    QAction *boldItem = nullptr;
    QAction *italicItem = nullptr;
    /// The explanations option: the field's hint follows it.
    QAction *showHints = nullptr;
};

/// The composition line: insertion with the pending marks, brackets and deletion, face and style,
/// the explained line, the preview of a pending mark and the symbol search.
class ComposeCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ComposeCommands)

public:
    ComposeCommands(const ComposeControls &controls, QObject *parent);
    ~ComposeCommands() override = default;

    /// A click on a character button or a single bracket: composes and types its text.
    void KnoppClick(SpeedButton *sender);
    /// Types a glyph string at the caret of the composition field.
    void StringToMemo(const QByteArray &text);
    /// The marks that wait for the next base: the down tie, linking and special buttons.
    PendingMarks pendingMarks() const;
    /// While the assignments are edited, clicks type nothing and no mark is previewed.
    void setTypingBlocked(bool blocked);

    void KlBtnClick();
    void KlammerBtnClick(SpeedButton *sender);
    void BackBtnClick();

    /// Chooses the face of the given menu item (Serif or Sans).
    void CheckFont(QAction *item);
    /// The face tool buttons were pressed: the menu item follows.
    void SerifBtnClick();
    /// Applies bold and italic from the two style tool buttons.
    void StyleClick();
    /// A style menu item has toggled itself: the tool buttons follow it.
    void StyleMenuClick();
    /// Sets bold and italic and applies them.
    void setStyle(bool bold, bool italic);
    /// Presses the face tool buttons again, leaving the current face pressed.
    void pressFaceButtonsAgain();

    /// The phonetic face in use; empty until a face is chosen.
    QString CurrentFontName() const { return m_currentFontName; }
    bool bold() const;
    bool italic() const;

    /// The explanation of the composed line, as the field's hint and accessible description.
    void explainEditField();
    /// Shows on every palette button the marks that a click would add.
    void updateMarkPreview();
    /// The texts of the search and of the explained line in the current language.
    void applyLanguage();

    /// Opens the symbol search at the given place, or brings it forward where it is.
    void showSymbolSearch(QWidget *owner, const QPoint &place);
    /// The symbol search window; none until it is first asked for.
    TSymbolSearch *symbolSearch() const { return m_symbolSearch; }

signals:
    /// The face of the palette and the field changed to family.
    void faceChanged(const QString &family);

private:
    void setPaletteFontFace(const QString &family);

    ComposeControls m_controls;
    Composer m_composer;
    QString m_currentFontName;
    bool m_typingBlocked = false;
    TSymbolSearch *m_symbolSearch = nullptr;
};

} // namespace Sprelio
