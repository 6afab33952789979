#pragma once

class QAction;
class QActionGroup;
class QMenu;

namespace Sprelio {

/// The main window's menus, menu items and tool-bar buttons, each under its own name, so that the
/// window and its subsystems reach them without looking them up.
struct WindowActions
{
    // Menus
    QMenu *optionen = nullptr;
    QMenu *belegung = nullptr;
    QMenu *schrift = nullptr;
    QMenu *hilfe = nullptr;

    // Options: targets, clipboard sizes, language, window options
    QAction *winWord = nullptr;
    QAction *excel = nullptr;
    QAction *powerPoint = nullptr;
    QAction *openOffice = nullptr;
    QAction *letztesFenster = nullptr;
    QMenu *zwischenablage = nullptr;
    QActionGroup *targets = nullptr;
    QActionGroup *clipboardSizes = nullptr;
    /// Copy as: Unicode IPA, X-SAMPA, LaTeX (TIPA) and Praat.
    QMenu *kopierenAls = nullptr;
    QAction *alsUnicode = nullptr;
    QAction *alsXSampa = nullptr;
    QAction *alsTipa = nullptr;
    QAction *alsPraat = nullptr;
    QActionGroup *languages = nullptr;
    QAction *vorne = nullptr;
    QAction *showH = nullptr;
    /// Converts a document in the phonetic faces into Unicode IPA; hidden where there is no converter.
    QAction *unicodeUmwandeln = nullptr;
    QAction *beenden = nullptr;

    // Assignments
    QAction *laden = nullptr;
    QAction *speichern = nullptr;
    QAction *bearbeiten = nullptr;

    // Face and style menu items
    QActionGroup *faces = nullptr;
    QAction *fett = nullptr;
    QAction *kursiv = nullptr;

    // Help
    QAction *dokumentation = nullptr;
    QAction *tastaturbelegung = nullptr;
    QAction *homepage = nullptr;
    QAction *info = nullptr;

    // Tool-bar buttons
    QAction *openBtn = nullptr;
    QAction *saveBtn = nullptr;
    QAction *editBtn = nullptr;
    QAction *serifBtn = nullptr;
    QAction *sansSerifBtn = nullptr;
    QActionGroup *faceButtons = nullptr;
    QAction *fettBtn = nullptr;
    QAction *kursivBtn = nullptr;
    /// Suprasegmentals, tones and the three diacritics sets, in the order of their tags 1 to 5.
    QActionGroup *setButtons = nullptr;
    QAction *sucheBtn = nullptr;
};

} // namespace Sprelio
