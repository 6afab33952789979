#include "app/spreliopad.h"

#include "app/programicons.h"
#include "app/splash.h"
#include "assignments/assignmenteditor.h"
#include "compose/composecommands.h"
#include "compose/glyphedit.h"
#include "convert/convertcommand.h"
#include "i18n/langstr.h"
#include "palette/accessiblebutton.h"
#include "palette/chartable.h"
#include "palette/glyphtext.h"
#include "palette/keyboardfocus.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsets.h"
#include "palette/widgetfonts.h"
#include "palette/windowlayout.h"
#include "targets/sendcommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <utility>

namespace Sprelio {

namespace {

QWidget *createPanel(QWidget *parent, const char *name)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

} // namespace

TSprelioPad::TSprelioPad(QWidget *parent)
    : TSprelioPad(QString(), parent)
{}

TSprelioPad::TSprelioPad(const QString &iniPath, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_iniPath(iniPath)
{
    installClickingButtonAccessibility();
    setObjectName(QStringLiteral("SprelioPad"));
    setWindowTitle(QStringLiteral("Sprelio..."));
    // The user types into another program with this window beside it: the hints show while that
    // program is the active one, not only while this window is.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    createMenus();
    createEditField();
    createToolBarBtn();
    createPanels();
    createSysPanel();
    createCloseButton();
    ButtonsCreate();
    createSubsystems();
    connectCommands();
    createKeyboardUse();
    qApp->installEventFilter(this);

    openIniFile();
    chooseLanguageAtFirstStart();

    m_actions.languages->actions().at(LangOffset == GermanOffset ? 0 : 1)->setChecked(true);
    resize(MinimumClientWidth + 20, 583);
}

TSprelioPad::~TSprelioPad()
{
    qApp->removeEventFilter(this);
}

QAction *TSprelioPad::addMenuItem(QMenu *menu, const char *name, int tag, const QString &caption)
{
    auto *item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setProperty("Tag", tag);
    if (tag != 0) {
        m_taggedItems.append(item);
    }
    return item;
}

QMenu *TSprelioPad::addSubMenu(QMenu *parent, const char *name, int tag, const QString &caption)
{
    QMenu *menu = parent != nullptr ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menu->menuAction()->setProperty("Tag", tag);
    if (tag != 0) {
        m_taggedItems.append(menu->menuAction());
    }
    return menu;
}

void TSprelioPad::createMenus()
{
    const auto radioGroup = [this](std::initializer_list<QAction *> items) {
        auto *group = new QActionGroup(this);
        for (QAction *item : items) {
            item->setCheckable(true);
            group->addAction(item);
        }
        return group;
    };
    WindowActions &a = m_actions;

    a.optionen = addSubMenu(nullptr, "Optionen1", 50, QStringLiteral("&Optionen"));
    QMenu *ziel = addSubMenu(a.optionen, "Zielanwendung1", 51, QStringLiteral("&Zielanwendung"));
    a.winWord = addMenuItem(ziel, "WinWord", 52, QStringLiteral("&Word"));
    a.excel = addMenuItem(ziel, "Excel", 54, QStringLiteral("&Excel"));
    a.powerPoint = addMenuItem(ziel, "PowerPoint", 81, QStringLiteral("P&owerPoint"));
    ziel->addSeparator()->setObjectName(QStringLiteral("N1"));
    a.openOffice = addMenuItem(ziel, "OpenOffice", 0, QStringLiteral("OpenOffice/LibreOffice"));
    ziel->addSeparator()->setObjectName(QStringLiteral("N8"));
    // Tag 104: its caption is string 204.
    a.letztesFenster = addMenuItem(ziel, "LetztesFenster", 104, QStringLiteral("Zuletzt &aktives Fenster"));
    ziel->addSeparator()->setObjectName(QStringLiteral("N2"));
    a.zwischenablage = addSubMenu(ziel, "Zwischenablage", 85, QStringLiteral("&Zwischenablage"));
    a.targets = radioGroup(
        {a.winWord, a.excel, a.powerPoint, a.openOffice, a.letztesFenster, a.zwischenablage->menuAction()});
    a.targets->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    a.clipboardSizes =
        radioGroup({addMenuItem(a.zwischenablage, "N10pt1", 0, QStringLiteral("10pt")),
                    addMenuItem(a.zwischenablage, "N11pt1", 0, QStringLiteral("11pt")),
                    addMenuItem(a.zwischenablage, "N12pt1", 0, QStringLiteral("12pt")),
                    addMenuItem(a.zwischenablage, "User1", 86, QStringLiteral("&Benutzerdefiniert"))});

    // The notations' own names read the same in both languages.
    a.kopierenAls = addSubMenu(a.optionen, "KopierenAls1", 198, QStringLiteral("Kopieren als"));
    a.alsUnicode = addMenuItem(a.kopierenAls, "AlsUnicode1", 199, QStringLiteral("Unicode-IPA"));
    a.alsXSampa = addMenuItem(a.kopierenAls, "AlsXSampa1", 0, QStringLiteral("X-SAMPA"));
    a.alsTipa = addMenuItem(a.kopierenAls, "AlsTipa1", 0, QStringLiteral("LaTeX (TIPA)"));
    a.alsPraat = addMenuItem(a.kopierenAls, "AlsPraat1", 0, QStringLiteral("Praat"));

    QMenu *sprache = addSubMenu(a.optionen, "Sprache1", 82, QStringLiteral("&Sprache"));
    a.languages = radioGroup({addMenuItem(sprache, "Deutsch1", 83, QStringLiteral("&Deutsch")),
                              addMenuItem(sprache, "Englisch1", 84, QStringLiteral("&Englisch"))});
    a.optionen->addSeparator()->setObjectName(QStringLiteral("N7"));
    a.vorne = addMenuItem(a.optionen, "Vorne", 60, QStringLiteral("&Immer im Vordergrund"));
    a.vorne->setCheckable(true);
    a.showH = addMenuItem(a.optionen, "ShowH", 61, QStringLiteral("Zeige &Erklärungen"));
    a.showH->setCheckable(true);
    a.showH->setChecked(true);
    a.optionen->addSeparator()->setObjectName(QStringLiteral("N9"));
    // Tag 150: its caption is string 250.
    a.unicodeUmwandeln = addMenuItem(a.optionen, "UnicodeUmwandeln1", 150,
                                     QStringLiteral("Dokument nach &Unicode umwandeln\u2026"));
    a.optionen->addSeparator()->setObjectName(QStringLiteral("N5"));
    a.beenden = addMenuItem(a.optionen, "Beenden1", 62, QStringLiteral("&Beenden"));

    a.belegung = addSubMenu(nullptr, "Belegung1", 63, QStringLiteral("&Tastenbelegung"));
    a.laden = addMenuItem(a.belegung, "Laden1", 64, QStringLiteral("&Laden"));
    a.speichern = addMenuItem(a.belegung, "Speichern1", 65, QStringLiteral("&Speichern"));
    a.belegung->addSeparator()->setObjectName(QStringLiteral("N3"));
    a.bearbeiten = addMenuItem(a.belegung, "Bearbeiten1", 66, QStringLiteral("&Bearbeiten"));

    a.schrift = addSubMenu(nullptr, "Schrift1", 67, QStringLiteral("&Schrift"));
    QMenu *schriftart = addSubMenu(a.schrift, "Schriftart1", 68, QStringLiteral("&Schriftart"));
    QAction *serif = addMenuItem(schriftart, "Serif", 69, QStringLiteral("&Mit Serifen"));
    QAction *sans = addMenuItem(schriftart, "Sans", 70, QStringLiteral("&Ohne Serifen"));
    a.faces = radioGroup({serif, sans});
    serif->setChecked(true);
    a.schrift->addSeparator()->setObjectName(QStringLiteral("N6"));
    a.fett = addMenuItem(a.schrift, "Fett1", 71, QStringLiteral("&Fett"));
    a.kursiv = addMenuItem(a.schrift, "Kursiv1", 72, QStringLiteral("&Kursiv"));
    a.fett->setCheckable(true);
    a.kursiv->setCheckable(true);

    a.hilfe = addSubMenu(nullptr, "Hilfe1", 73, QStringLiteral("&Hilfe"));
    a.dokumentation = addMenuItem(a.hilfe, "Hilfe", 74, QStringLiteral("&Dokumentation"));
    a.tastaturbelegung = addMenuItem(a.hilfe, "Tastaturbelegung1", 75, QStringLiteral("&Tastaturbelegung"));
    a.tastaturbelegung->setVisible(false);
    a.hilfe->addSeparator()->setObjectName(QStringLiteral("N4"));
    a.homepage = addMenuItem(a.hilfe, "KestrelWareHomepage1", 80, QStringLiteral("&Kestrel Ware Homepage"));
    a.info = addMenuItem(a.hilfe, "Info1", 77, QStringLiteral("&Info"));
}

void TSprelioPad::createToolBarBtn()
{
    m_bevel = new QFrame(m_client);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameShape(QFrame::HLine);
    m_bevel->setFrameShadow(QFrame::Sunken);

    m_toolBarBtn = new QToolBar(m_client);
    m_toolBarBtn->setObjectName(QStringLiteral("ToolBarBtn"));
    m_toolBarBtn->setIconSize(QSize(16, 16));
    m_toolBarBtn->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBarBtn->setFont(QApplication::font());

    // The program's own pictures, not the desktop theme's: looking a name up in the icon themes costs
    // more at start-up than building the rest of the window, and these match the glyph-set pictures.
    const auto addButton = [this](const char *name, const char *picture) {
        QAction *action = m_toolBarBtn->addAction(programIcon(picture), QString());
        action->setObjectName(QLatin1String(name));
        m_toolBarBtn->widgetForAction(action)->setObjectName(QLatin1String(name));
        return action;
    };
    const auto exclusive = [this](std::initializer_list<QAction *> actions) {
        auto *group = new QActionGroup(this);
        for (QAction *action : actions) {
            action->setCheckable(true);
            group->addAction(action);
        }
        return group;
    };
    WindowActions &a = m_actions;

    a.openBtn = addButton("OpenBtn", "open");
    a.saveBtn = addButton("SaveBtn", "save");
    a.editBtn = addButton("EditBtn", "edit");
    m_toolBarBtn->addSeparator();
    a.serifBtn = addButton("SerifBtn", "serif");
    a.sansSerifBtn = addButton("SansSerifBtn", "sans");
    a.faceButtons = exclusive({a.serifBtn, a.sansSerifBtn});
    a.serifBtn->setChecked(true);
    m_toolBarBtn->addSeparator();
    a.fettBtn = addButton("FettBtn", "bold");
    a.kursivBtn = addButton("KursivBtn", "italic");
    a.fettBtn->setCheckable(true);
    a.kursivBtn->setCheckable(true);
    m_toolBarBtn->addSeparator();
    a.setButtons = exclusive({addButton("SupraBtn", "supra"), addButton("ToneBtn", "tone"),
                              addButton("Diac1Btn", "diac1"), addButton("Diac2Btn", "diac2"),
                              addButton("Diac3Btn", "diac3")});
    for (int tag = 1; tag <= SpecialSetCount; ++tag) {
        a.setButtons->actions().at(tag - 1)->setProperty("Tag", tag);
    }
    a.setButtons->actions().constFirst()->setChecked(true);
    m_toolBarBtn->addSeparator();
    a.sucheBtn = addButton("SucheBtn", "find");
    a.sucheBtn->setShortcut(QKeySequence::Find);
    a.sucheBtn->setShortcutContext(Qt::WindowShortcut);
}

void TSprelioPad::createEditField()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    // The palettes follow this font, the serif face in bold at the design size; the menus keep the
    // desktop's own.
    m_client->setFont(phoneticDesignFont(false, true));
    setCentralWidget(m_client);

    m_editField = new GlyphEdit(m_client);
    m_editField->setObjectName(QStringLiteral("EditField"));
    m_editField->setFont(phoneticDesignFont(false, true));
}

void TSprelioPad::createPanels()
{
    m_toolBar = createPanel(m_client, "ToolBar");
    m_toolBar2 = createPanel(m_client, "ToolBar2");
    m_toolBar2->setFont(phoneticDesignFont(true, false));
    m_vokalPanel = createPanel(m_client, "VokalPanel");
    m_konsPanel = createPanel(m_client, "KonsPanel");
    m_sysPanel = createPanel(m_client, "SysPanel");
}

SpeedButton *TSprelioPad::createSysButton(const char *name, const QString &caption)
{
    auto *button = new SpeedButton(m_sysPanel);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setShowHint(true);
    m_sysButtons.append(button);
    return button;
}

SpeedButton *TSprelioPad::sysButton(int index) const
{
    return m_sysButtons.at(index);
}

void TSprelioPad::createSysPanel()
{
    // Bracket captions are glyph strings: the phonetic font has the brackets at their ASCII codes.
    SpeedButton *klBtn = createSysButton("KlBtn", glyphsToDisplay("[ | ]"));
    klBtn->setGroupIndex(4);
    klBtn->setAllowAllUp(true);
    for (const char *name : {"EKlBtn", "SchraegBtn"}) {
        const char *brackets = name[0] == 'E' ? "[..]" : "/../";
        createSysButton(name, glyphsToDisplay(brackets));
    }
    SpeedButton *backBtn = createSysButton("BackBtn", QStringLiteral("\u2190"));
    SpeedButton *enterBtn = createSysButton("EnterBtn", QStringLiteral("\u21B5"));
    for (QFont font = QApplication::font(); SpeedButton * arrow : {backBtn, enterBtn}) {
        font.setBold(true);
        arrow->setFont(font);
    }
    const std::array<std::pair<const char *, const char *>, 4> singles{
        {{"K1Btn", "["}, {"K2Btn", "]"}, {"K3Btn", "/"}, {"K4Btn", "\\"}}};
    for (const auto &[name, bracket] : singles) {
        SpeedButton *single = createSysButton(name, glyphsToDisplay(bracket));
        single->setVisible(false);
    }
}

void TSprelioPad::createCloseButton()
{
    m_closeBtn = new SpeedButton(m_client);
    m_closeBtn->setObjectName(QStringLiteral("CloseBtn"));
    m_closeBtn->setText(QStringLiteral("Schließen"));
    m_closeBtn->setFont(QApplication::font());
    m_closeBtn->setShowHint(true);
    m_closeBtn->setVisible(false);
}

TKWSpeedButton *TSprelioPad::createCharacterButton(QWidget *parent)
{
    auto *button = new TKWSpeedButton(parent);
    button->setFont(parent->font());
    return button;
}

void TSprelioPad::ButtonsCreate()
{
    const QList<QByteArray> assignment = ButtonAssignment();
    for (int i = 0; i < PaletteButtonCount; ++i) {
        TKWSpeedButton *button = createCharacterButton(i < ConsonantButtonCount ? m_konsPanel : m_vokalPanel);
        button->setObjectName(QStringLiteral("PaletteButton%1").arg(i));
        button->setProperty("Tag", i);
        button->SetSymbol(assignment.at(i));
        button->setShowHint(m_actions.showH->isChecked());
        setCharacterHint(button);
        m_paletteButtons.append(button);
    }

    struct ToolSpec
    {
        Glyph symbol;
        int offsetY;
        int groupIndex;
    };
    constexpr std::array<ToolSpec, 6> tools{{{Codes::Long, 0, 0},
                                             {Codes::PrimaryStress, 2, 0},
                                             {Codes::SecondaryStress, -2, 0},
                                             {Codes::Linking, -3, 1},
                                             {Codes::Tie, 5, 2},
                                             {Codes::Ejective, 0, 0}}};
    for (int j = 0; j < int(tools.size()); ++j) {
        TKWSpeedButton *button = createCharacterButton(m_toolBar);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(j));
        SetupBarButton(button, true);
        button->SetSymbol(QByteArray(1, static_cast<char>(tools[j].symbol)));
        button->setOffsetY(tools[j].offsetY);
        if (tools[j].groupIndex != 0) {
            // Linking and tie only toggle: a down button waits for the next insertion.
            button->setAllowAllUp(true);
            button->setGroupIndex(tools[j].groupIndex);
        }
        m_toolButtons.append(button);
    }

    for (int k = 0; k < SpecialButtonCount; ++k) {
        TKWSpeedButton *button = createCharacterButton(m_toolBar2);
        button->setObjectName(QStringLiteral("SpecialButton%1").arg(k));
        SetupBarButton(button, false);
        m_specialButtons.append(button);
    }
}

void TSprelioPad::SetupBarButton(TKWSpeedButton *button, bool bold)
{
    button->move(button->x(), 2);
    button->setFont(phoneticDesignFont(false, bold));
    button->setShowHint(true);
}

void TSprelioPad::createSubsystems()
{
    const WindowActions &a = m_actions;
    ComposeControls compose;
    compose.field = m_editField;
    compose.konsPanel = m_konsPanel;
    compose.vokalPanel = m_vokalPanel;
    compose.paletteButtons = m_paletteButtons;
    compose.toolButtons = m_toolButtons;
    compose.specialButtons = m_specialButtons;
    compose.sysButtons = m_sysButtons;
    compose.faceItems = a.faces;
    compose.faceButtons = a.faceButtons;
    compose.boldButton = a.fettBtn;
    compose.italicButton = a.kursivBtn;
    compose.boldItem = a.fett;
    compose.italicItem = a.kursiv;
    compose.showHints = a.showH;
    m_compose = new ComposeCommands(compose, this);

    m_send = new SendCommands({a.winWord, a.excel, a.powerPoint, a.openOffice, a.letztesFenster,
                               a.zwischenablage, a.targets, a.clipboardSizes},
                              this, this);

    AssignmentControls assignments;
    assignments.window = this;
    assignments.chartParent = m_client;
    assignments.field = m_editField;
    assignments.paletteButtons = m_paletteButtons;
    assignments.closeButton = m_closeBtn;
    assignments.stayOnTop = a.vorne;
    // During start-up the splash window is in front, and a message must not hide behind it.
    assignments.messageOwner = [this]() -> QWidget * {
        if (m_splash != nullptr && m_splash->isVisible()) {
            return m_splash;
        }
        return this;
    };
    m_assignments = new AssignmentEditor(assignments, this);

    m_convert = new ConvertCommand(a.unicodeUmwandeln, this, a.vorne, this);
}

void TSprelioPad::connectCommands()
{
    const WindowActions &a = m_actions;
    const auto onTrigger = [this](QAction *action, void (TSprelioPad::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };

    // Palettes and the composition line.
    for (TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        connect(button, &SpeedButton::clicked, this, [this, button] { KnoppClick(button); });
    }
    for (TKWSpeedButton *button : std::as_const(m_toolButtons)) {
        if (button->GroupIndex() == 0) {
            connect(button, &SpeedButton::clicked, this, [this, button] { KnoppClick(button); });
        }
    }
    for (TKWSpeedButton *button : std::as_const(m_specialButtons)) {
        connect(button, &SpeedButton::clicked, this, [this, button] { ToolBar2Click(button); });
    }
    connect(a.setButtons, &QActionGroup::triggered, this,
            [this](QAction *set) { SpezialClick(set->property("Tag").toInt()); });
    connect(sysButton(int(SysButton::Kl)), &SpeedButton::clicked, m_compose, &ComposeCommands::KlBtnClick);
    for (const SysButton wrap : {SysButton::EKl, SysButton::Schraeg}) {
        SpeedButton *button = sysButton(int(wrap));
        connect(button, &SpeedButton::clicked, m_compose,
                [this, button] { m_compose->KlammerBtnClick(button); });
    }
    connect(sysButton(int(SysButton::Back)), &SpeedButton::clicked, m_compose,
            &ComposeCommands::BackBtnClick);
    for (const SysButton single : {SysButton::K1, SysButton::K2, SysButton::K3, SysButton::K4}) {
        SpeedButton *button = sysButton(int(single));
        connect(button, &SpeedButton::clicked, this, [this, button] { KnoppClick(button); });
    }
    connect(a.faces, &QActionGroup::triggered, this, &TSprelioPad::CheckFont);
    connect(a.faceButtons, &QActionGroup::triggered, m_compose, &ComposeCommands::SerifBtnClick);
    connect(a.fettBtn, &QAction::triggered, this, &TSprelioPad::StyleClick);
    connect(a.kursivBtn, &QAction::triggered, this, &TSprelioPad::StyleClick);
    connect(a.fett, &QAction::triggered, m_compose, &ComposeCommands::StyleMenuClick);
    connect(a.kursiv, &QAction::triggered, m_compose, &ComposeCommands::StyleMenuClick);
    connect(m_compose, &ComposeCommands::faceChanged, m_assignments, &AssignmentEditor::setFaceFamily);
    onTrigger(a.sucheBtn, &TSprelioPad::SucheClick);

    // Sending.
    connect(sysButton(int(SysButton::Enter)), &SpeedButton::clicked, this, &TSprelioPad::EnterBtnClick);
    connect(m_send, &SendCommands::fieldCopied, m_editField, &QLineEdit::selectAll);
    connect(m_editField, &GlyphEdit::copyRequested, this, &TSprelioPad::CopySelectionToClipboard);
    onTrigger(a.alsUnicode, &TSprelioPad::CopyAsUnicodeClick);
    for (const auto &[item, notation] :
         {std::pair{a.alsXSampa, Notation::XSampa}, std::pair{a.alsTipa, Notation::Tipa},
          std::pair{a.alsPraat, Notation::Praat}}) {
        connect(item, &QAction::triggered, this, [this, chosen = notation] { CopyAsNotationClick(chosen); });
    }

    // Assignments.
    onTrigger(a.laden, &TSprelioPad::Laden1Click);
    onTrigger(a.openBtn, &TSprelioPad::Laden1Click);
    onTrigger(a.speichern, &TSprelioPad::Speichern1Click);
    onTrigger(a.saveBtn, &TSprelioPad::Speichern1Click);
    onTrigger(a.bearbeiten, &TSprelioPad::Bearbeiten1Click);
    onTrigger(a.editBtn, &TSprelioPad::Bearbeiten1Click);
    connect(m_closeBtn, &SpeedButton::clicked, this, &TSprelioPad::CloseBtnClick);
    connect(m_assignments, &AssignmentEditor::editingChanged, this, &TSprelioPad::followEditing);
    connect(m_assignments, &AssignmentEditor::glyphsDropped, this, &TSprelioPad::StringToMemo);

    // Window, language and help.
    connect(a.languages, &QActionGroup::triggered, this, &TSprelioPad::LanguageClick);
    onTrigger(a.vorne, &TSprelioPad::VorneClick);
    onTrigger(a.showH, &TSprelioPad::ShowHClick);
    onTrigger(a.dokumentation, &TSprelioPad::HilfeClick);
    onTrigger(a.tastaturbelegung, &TSprelioPad::Tastaturbelegung1Click);
    onTrigger(a.homepage, &TSprelioPad::KestrelWareHomepage1Click);
    onTrigger(a.info, &TSprelioPad::Info1Click);
    connect(a.unicodeUmwandeln, &QAction::triggered, m_convert, &ConvertCommand::start);
    onTrigger(a.beenden, &TSprelioPad::Beenden1Click);
}

void TSprelioPad::createKeyboardUse()
{
    // From the field through the tool bar, the special bar, the two palettes, the brackets and
    // the icon tool bar, in the order in which they stand under the field.
    auto *focus = new KeyboardFocus(m_editField, this);
    const auto widgets = [](const auto &buttons) { return QList<QWidget *>(buttons.begin(), buttons.end()); };
    focus->addGroup(widgets(m_toolButtons));
    focus->addGroup(widgets(m_specialButtons));
    focus->addGroup(widgets(m_paletteButtons.mid(0, ConsonantButtonCount)));
    focus->addGroup(widgets(m_paletteButtons.mid(ConsonantButtonCount)));
    focus->addGroup(widgets(m_sysButtons));
    QList<QWidget *> iconButtons;
    for (QAction *action : m_toolBarBtn->actions()) {
        if (QWidget *button = m_toolBarBtn->widgetForAction(action);
            button != nullptr && !action->isSeparator()) {
            iconButtons.append(button);
        }
    }
    focus->addGroup(iconButtons);

    // Ctrl+Return sends as the send button does; with Shift the field keeps its text.
    for (const QKeyCombination key : {QKeyCombination(Qt::ControlModifier, Qt::Key_Return),
                                      QKeyCombination(Qt::ControlModifier, Qt::Key_Enter)}) {
        auto *send = new QShortcut(QKeySequence(key), this);
        connect(send, &QShortcut::activated, this, [this] { sendField(false); });
        auto *keep = new QShortcut(
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, key.key())), this);
        connect(keep, &QShortcut::activated, this, [this] { sendField(true); });
    }
    // F10 opens the menu bar at its first menu, as in most desktop programs.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QList<QAction *> menus = menuBar()->actions();
        if (!menus.isEmpty()) {
            menuBar()->setActiveAction(menus.constFirst());
        }
    });
}

void TSprelioPad::SpezialClick(int tag)
{
    for (int k = 0; k < m_specialButtons.size(); ++k) {
        TKWSpeedButton *button = m_specialButtons.at(k);
        const Glyph glyph = specialGlyph(k, tag);
        const QByteArray symbol(1, static_cast<char>(glyph));
        button->setChecked(false);
        button->setVisible(glyph != 0);
        button->setGroupIndex(0);
        button->setAllowAllUp(true);
        if (CombiningSet.contains(glyph)) {
            button->setGroupIndex(1);
        }
        button->SetSymbol(symbol);
        setCharacterHint(button);
        CaptionSizing(button);
    }
}

void TSprelioPad::ToolBar2Click(TKWSpeedButton *button)
{
    // A combining button has only toggled: it now waits for the next base.
    if (button->GroupIndex() == 0) {
        KnoppClick(button);
    }
}

void TSprelioPad::CaptionSizing(TKWSpeedButton *button)
{
    if (button->Symbol().isEmpty()) {
        return;
    }
    setFontPointSize(button, m_toolButtons.constFirst()->font().pointSize());

    const QPoint offsets = symbolOffsets(QFontMetrics(button->font()), button->Symbol());
    button->setOffsetX(offsets.x());
    button->setOffsetY(offsets.y());
    button->update();
}

void TSprelioPad::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TSprelioPad::FormResize()
{
    // Placing the controls and fixing our own size must not start another run from inside this one.
    if (m_inResize) {
        return;
    }
    const QScopedValueRollback guard(m_inResize, true);

    const WindowLayout l = computeWindowLayout(m_client->width(), m_assignments->editing());
    m_unitSize = l.unitSize;

    m_bevel->setGeometry(0, 0, l.clientSize.width(), 2);
    m_toolBarBtn->setGeometry(0, 3, l.clientSize.width(), TopStripHeight - 3);
    m_editField->setGeometry(l.editField);
    setFontPointSize(m_editField, l.editFontSize);

    m_toolBar->setGeometry(l.toolBar);
    for (int i = 0; i < m_toolButtons.size(); ++i) {
        m_toolButtons.at(i)->setGeometry(l.toolButtons.at(i));
        setFontPointSize(m_toolButtons.at(i), l.toolButtonFontSize);
    }
    m_toolBar2->setGeometry(l.toolBar2);
    for (int i = 0; i < m_specialButtons.size(); ++i) {
        m_specialButtons.at(i)->setGeometry(l.specialButtons.at(i));
        CaptionSizing(m_specialButtons.at(i));
    }

    m_vokalPanel->setGeometry(l.vokalPanel);
    m_konsPanel->setGeometry(l.konsPanel);
    m_sysPanel->setGeometry(l.sysPanel);
    for (int i = 0; i < m_paletteButtons.size(); ++i) {
        m_paletteButtons.at(i)->setGeometry(l.paletteButtons.at(i));
        setFontPointSize(m_paletteButtons.at(i), l.paletteFontSize);
    }
    for (int i = 0; i < m_sysButtons.size(); ++i) {
        SpeedButton *button = m_sysButtons.at(i);
        button->setGeometry(l.sysButtons.at(i));
        const bool arrow = i == int(SysButton::Back) || i == int(SysButton::Enter);
        QFont font = arrow ? button->font() : m_sysPanel->font();
        font.setPointSize(std::max(1, arrow ? l.arrowFontSize : l.sysFontSize));
        button->setFont(font);
    }

    m_assignments->layoutCharGrid(l.charGrid, l.charGridCellSize, l.paletteFontSize);
    m_closeBtn->setGeometry(l.closeButton);
    setFontPointSize(m_closeBtn, l.closeFontSize);

    const int menuHeight = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    setMinimumWidth(MinimumClientWidth);
    m_placer.fitTo(QSize(l.clientSize.width(), l.clientSize.height() + menuHeight));
}

void TSprelioPad::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    m_placer.keepFramePlace(true);
}

void TSprelioPad::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow) {
        return;
    }
    m_firstShow = false;
    LiesIni();
    // The settings changed captions and sizes, and the relayouts that follow are posted. Done now,
    // while the native window is not yet mapped: a resize made after the mapping could reach the
    // window manager as it places the frame, and a busy one would then place the client area at
    // the stored corner instead of the frame.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    FormResize();
    m_editField->setFocus();
}

void TSprelioPad::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        m_placer.stateChanged();
    }
}

bool TSprelioPad::eventFilter(QObject *watched, QEvent *event)
{
    m_placer.filterEvent(watched, event);
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget != nullptr && widget->window() == this) {
            m_shiftHeld = static_cast<QKeyEvent *>(event)->modifiers().testFlag(Qt::ShiftModifier);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TSprelioPad::setHintsShown(bool shown)
{
    for (const auto *buttons : {&m_paletteButtons, &m_toolButtons, &m_specialButtons}) {
        for (TKWSpeedButton *button : *buttons) {
            button->setShowHint(shown);
        }
    }
}

} // namespace Sprelio
