#pragma once

#include "app/frameplacer.h"
#include "app/windowactions.h"
#include "palette/notations.h"
#include "storage/profilefile.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>

#include <memory>

class QAction;
class QFrame;
class QMenu;
class QToolBar;
class QWidget;

namespace Sprelio {

class AssignmentEditor;
class AutomationTargets;
class ComposeCommands;
class ConvertCommand;
class GlyphEdit;
class SendCommands;
struct SendInputs;
class SpeedButton;
class TKWSpeedButton;
class TSplash;
class TSymbolSearch;

/// The main window: palettes, composition field, brackets, tool bars and menus. It creates the
/// controls and hands them to the subsystems that own the commands: composition, sending, the
/// assignment editor and the frame placement. Every named handler forwards to one of them.
class TSprelioPad final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSprelioPad)

public:
    /// A window without a settings file: it starts with the default settings and the built-in
    /// assignment in the current language, reads no file and stores nothing when it closes.
    explicit TSprelioPad(QWidget *parent = nullptr);
    /// A window that keeps its settings in the profile file at iniPath; at the first start (no known
    /// "Language" there) it asks for the language before it is built further.
    explicit TSprelioPad(const QString &iniPath, QWidget *parent = nullptr);
    ~TSprelioPad() override;

    /// The 50 palette buttons: 0 to 29 consonants, 30 to 49 vowels.
    const QList<TKWSpeedButton *> &PaletteButtons() const { return m_paletteButtons; }
    const QList<TKWSpeedButton *> &ToolButtons() const { return m_toolButtons; }
    const QList<TKWSpeedButton *> &SpecialButtons() const { return m_specialButtons; }
    int UnitSize() const { return m_unitSize; }

    // The palettes and the composition line.
    /// A click on a character button or a single bracket: composes and types its text.
    void KnoppClick(SpeedButton *sender);
    /// Types a glyph string at the caret of the composition field.
    void StringToMemo(const QByteArray &text);
    /// Shows the special set with the given tag (1 suprasegmentals, 2 tones, 3-5 diacritics).
    void SpezialClick(int tag);
    /// Sets every caption and hint of the window in the current language.
    void ApplyLanguage();
    /// Places everything from the client width and fixes the client size.
    void FormResize();
    /// Sizes the glyph of a special button and moves a mark to where it shows.
    void CaptionSizing(TKWSpeedButton *button);
    /// Chooses the face of the given menu item (Serif or Sans).
    void CheckFont(QAction *item);
    /// Applies bold and italic from the two style tool buttons.
    void StyleClick();
    /// The phonetic face in use; empty until a face is chosen.
    QString CurrentFontName() const;

    // Button assignment files and the editing mode.
    /// Loads an assignment file into the palette buttons; reports a file that is none.
    void ReadButtonSettingFile(const QString &path);
    /// Asks for a file name and saves the current assignment.
    void Speichern1Click();
    /// Asks whether to save a changed assignment, then for a file to load.
    void Laden1Click();
    /// The path of the current assignment file; empty when none is current.
    QString ButtonSettingPath() const;
    /// Whether the assignment was edited since it was last loaded or saved.
    bool AssignmentChanged() const;
    /// Enters the editing mode: the chart shows and the window grows by its height.
    void Bearbeiten1Click();
    /// Leaves the editing mode: the chart hides and the window shrinks again.
    void CloseBtnClick();
    /// Switches the window's controls into (true) or out of (false) the editing mode.
    void EnableButtonEdit(bool value);
    /// Clears the character button on which the popup menu was opened.
    void miDeleteClick();
    /// Whether target takes glyphs dragged from the chart now; append: Ctrl was held when the drag began.
    bool CharGridDragOver(QWidget *target, const QByteArray &glyphs, bool append) const;
    /// Glyphs from the chart dropped on target: a character button takes them, the composition field
    /// their first byte.
    void CharGridDragDrop(QWidget *target, const QByteArray &glyphs, bool append);

    // Sending.
    /// Checks the given target menu item.
    void ZielClick(QAction *item);
    /// Sends the composition field to the checked target.
    void EnterBtnClick();
    /// Puts the whole composition field on the clipboard at the given point size.
    void CopyEditToClipboard(int size);
    /// Puts glyphs selected in the field on the clipboard in the forms of a send to the clipboard.
    void CopySelectionToClipboard(const QByteArray &glyphs);
    /// The point size of the clipboard target.
    int ClipboardFontSize() const;
    /// Checks the clicked size item and sets the clipboard size, asking for it for User1.
    void ClipboardFontSizeClick(QAction *item);
    /// Replaces the programs that receive sent text; the window keeps the object.
    void setAutomationTargets(std::unique_ptr<AutomationTargets> automation);
    /// Puts only the composition field's Unicode IPA on the clipboard.
    void CopyAsUnicodeClick();
    /// Puts only the composition field in the given notation on the clipboard.
    void CopyAsNotationClick(Notation notation);

    // Settings.
    /// Applies the stored settings; runs once, at the window's first showing.
    void LiesIni();
    /// Writes every setting into the settings file in one replacement; a failure is ignored.
    void SchreibIni();
    /// The settings file; empty when the window keeps no settings.
    QString iniPath() const { return m_iniPath; }

    // Window and help commands.
    /// Stay on top: Vorne has toggled its check; the window follows it without moving.
    void VorneClick();
    /// Explanations: ShowH has toggled its check; the character buttons' hints follow it.
    void ShowHClick();
    /// Opens the documentation of the current language.
    void HilfeClick();
    /// Opens the keyboard layout document of the current language.
    void Tastaturbelegung1Click();
    /// Opens the maker's web site.
    void KestrelWareHomepage1Click();
    /// Closes the window, which ends the program.
    void Beenden1Click();
    /// Shows the information window modally.
    void Info1Click();
    /// Opens the symbol search, or brings it forward.
    void SucheClick();
    /// The symbol search window; none until it is first asked for.
    TSymbolSearch *SymbolSearch() const;

    /// The splash window, which also serves as the information window; the window makes its own when
    /// it is first needed, unless it was given one.
    TSplash *Splash();
    /// Takes splash, which the caller keeps and which outlives the window, as the window's splash.
    void setSplash(TSplash *splash) { m_splash = splash; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window.
    void createMenus();
    void createToolBarBtn();
    void createEditField();
    void createPanels();
    void ButtonsCreate();
    void createSysPanel();
    void createCloseButton();
    void createSubsystems();
    void connectCommands();
    void createKeyboardUse();
    QAction *addMenuItem(QMenu *menu, const char *name, int tag, const QString &caption);
    QMenu *addSubMenu(QMenu *parent, const char *name, int tag, const QString &caption);
    TKWSpeedButton *createCharacterButton(QWidget *parent);
    void SetupBarButton(TKWSpeedButton *button, bool bold);
    SpeedButton *createSysButton(const char *name, const QString &caption);
    SpeedButton *sysButton(int index) const;

    // Commands of the window itself.
    void ToolBar2Click(TKWSpeedButton *button);
    void LanguageClick(QAction *item);
    void followEditing(bool editing);
    void setHintsShown(bool shown);
    SendInputs sendInputs() const;
    void sendField(bool keepText);

    // Settings.
    void openIniFile();
    void chooseLanguageAtFirstStart();
    void placeWindow(int left, int top, int width);
    void openProgramDocument(std::uint16_t nameId);

    // The controls.
    QWidget *m_client = nullptr;
    QFrame *m_bevel = nullptr;
    QToolBar *m_toolBarBtn = nullptr;
    GlyphEdit *m_editField = nullptr;
    QWidget *m_toolBar = nullptr;
    QWidget *m_toolBar2 = nullptr;
    QWidget *m_vokalPanel = nullptr;
    QWidget *m_konsPanel = nullptr;
    QWidget *m_sysPanel = nullptr;
    SpeedButton *m_closeBtn = nullptr;
    QList<SpeedButton *> m_sysButtons;
    QList<TKWSpeedButton *> m_paletteButtons;
    QList<TKWSpeedButton *> m_toolButtons;
    QList<TKWSpeedButton *> m_specialButtons;
    WindowActions m_actions;
    // Menu items with a caption text: caption = text (Tag + 100), in menu order.
    QList<QAction *> m_taggedItems;

    // The subsystems, children of the window.
    ComposeCommands *m_compose = nullptr;
    SendCommands *m_send = nullptr;
    AssignmentEditor *m_assignments = nullptr;
    ConvertCommand *m_convert = nullptr;
    FramePlacer m_placer{this};

    QString m_iniPath;
    ProfileDocument m_iniDocument;
    TSplash *m_splash = nullptr;
    bool m_shiftHeld = false;
    bool m_firstShow = true;
    bool m_inResize = false;
    int m_unitSize = 0;
};

} // namespace Sprelio
