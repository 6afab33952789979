#pragma once

#include <QByteArray>
#include <QFont>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace Sprelio {

class CharGridView;
class GlyphDropFilter;
class GlyphEdit;
class SpeedButton;
class TKWSpeedButton;

/// The controls that the assignment commands drive; the window creates them.
struct AssignmentControls
{
    /// The main window: it owns the dialogs and is the message boxes' usual owner.
    QWidget *window = nullptr;
    /// Where the chart is made when editing first begins.
    QWidget *chartParent = nullptr;
    GlyphEdit *field = nullptr;
    QList<TKWSpeedButton *> paletteButtons;
    SpeedButton *closeButton = nullptr;
    /// The stay-on-top option: the window leaves the topmost band while a file dialog is open.
    const QAction *stayOnTop = nullptr;
    /// The window in front of which a message about the assignment file is shown.
    std::function<QWidget *()> messageOwner;
};

/// The button assignment: loading and saving ".vkc" files, and the editing mode with the chart of
/// every known glyph, its drag and drop onto the palette buttons and the field, and the popup menu.
class AssignmentEditor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AssignmentEditor)

public:
    AssignmentEditor(const AssignmentControls &controls, QObject *parent);
    ~AssignmentEditor() override = default;

    /// The path of the current assignment file; empty when none is current.
    QString ButtonSettingPath() const { return m_buttonSettingPath; }
    void setButtonSettingPath(const QString &path) { m_buttonSettingPath = path; }
    /// Whether the assignment was edited since it was last loaded or saved.
    bool AssignmentChanged() const { return m_assignmentChanged; }

    /// Takes the stored "ButtonSetting" bytes as the current file, or defaultPath where they are
    /// empty, and loads that file when it is there.
    void restoreStoredFile(const QByteArray &stored, const QString &defaultPath);
    /// The current file's name as it is to be stored: the stored bytes while they still name it.
    QByteArray storedButtonSetting() const { return assignmentFileName(m_buttonSettingPath); }

    /// Loads an assignment file into the palette buttons; reports a file that is none.
    void ReadButtonSettingFile(const QString &path);
    /// Asks for a file name and saves the current assignment.
    void Speichern1Click();
    /// Asks whether to save a changed assignment, then for a file to load.
    void Laden1Click();
    /// Asks whether to save a changed assignment, and saves it when asked to. False when the user
    /// backed out of the question: whatever asked must not go on.
    bool offerSaving();

    /// Switches the chart, the close button and the popup menus into or out of the editing mode.
    void EnableButtonEdit(bool value);
    /// Whether the chart is open for editing.
    bool editing() const;
    /// The chart's height; it is made when it is first asked for.
    int chartHeight();
    /// Clears the character button on which the popup menu was opened.
    void miDeleteClick();
    /// Whether target takes glyphs dragged from the chart now; append: Ctrl was held when the drag began.
    bool CharGridDragOver(QWidget *target, const QByteArray &glyphs, bool append) const;
    /// Glyphs from the chart dropped on target: a character button takes them, the composition field
    /// their first byte.
    void CharGridDragDrop(QWidget *target, const QByteArray &glyphs, bool append);

    /// The chart's place, cell size and the palette's font size, from the window's layout.
    void layoutCharGrid(const QRect &geometry, int cellSize, int buttonFontSize);
    /// The chart draws its glyphs in family.
    void setFaceFamily(const QString &family);
    /// The popup menu's texts in the current language.
    void applyLanguage();

signals:
    /// The editing mode was entered (true) or left (false).
    void editingChanged(bool editing);
    /// Glyphs dropped on the composition field, to be typed at its caret.
    void glyphsDropped(const QByteArray &glyphs);

private:
    CharGridView *charGrid();
    QByteArray assignmentFileName(const QString &path) const;

    AssignmentControls m_controls;
    QString m_buttonSettingPath;
    // "ButtonSetting" as stored: the name bytes, which need not decode to a QString that names the file.
    QByteArray m_storedButtonSetting;
    bool m_assignmentChanged = false;
    // The chart and the place, cells and font it gets when it is made.
    CharGridView *m_charGridView = nullptr;
    QRect m_charGridGeometry;
    int m_charGridCellSize = 0;
    QFont m_charGridFont;
    QMenu *m_mnuPopup = nullptr;
    QAction *m_miDelete = nullptr;
    TKWSpeedButton *m_popupButton = nullptr;
    GlyphDropFilter *m_glyphDrop = nullptr;
};

} // namespace Sprelio
