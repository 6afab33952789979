#include "app/spreliopad.h"

#include "app/programicons.h"
#include "assignments/chargridview.h"

#include "palette/accessiblebutton.h"

#include "compose/glyphedit.h"
#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsets.h"
#include "palette/windowlayout.h"
#include "targets/sendtargets.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <utility>

namespace Sprelio {

namespace {

// The design font of the window and its palettes: the serif phonetic face, bold, 19 pixels high.
QFont designFont()
{
    QFont font(phoneticFamily(false));
    font.setPixelSize(19);
    font.setBold(true);
    return font;
}

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

    createMenus();
    createEditField();
    createToolBarBtn();
    createPanels();
    createSysPanel();
    createCharGrid();
    ButtonsCreate();
    connectAssignmentCommands();
    connectSendCommands();
    connectWindowCommands();
    connectIpaCommands();
    qApp->installEventFilter(this);

    openIniFile();
    chooseLanguageAtFirstStart();

    m_languageGroup->actions().at(LangOffset == GermanOffset ? 0 : 1)->setChecked(true);
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

    QMenu *optionen = addSubMenu(nullptr, "Optionen1", 50, QStringLiteral("&Optionen"));
    QMenu *ziel = addSubMenu(optionen, "Zielanwendung1", 51, QStringLiteral("&Zielanwendung"));
    QAction *winWord = addMenuItem(ziel, "WinWord", 52, QStringLiteral("&Word"));
    QAction *excel = addMenuItem(ziel, "Excel", 54, QStringLiteral("&Excel"));
    QAction *powerPoint = addMenuItem(ziel, "PowerPoint", 81, QStringLiteral("P&owerPoint"));
    ziel->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction *openOffice = addMenuItem(ziel, "OpenOffice", 0, QStringLiteral("OpenOffice/LibreOffice"));
    ziel->addSeparator()->setObjectName(QStringLiteral("N2"));
    QMenu *clipboard = addSubMenu(ziel, "Zwischenablage", 85, QStringLiteral("&Zwischenablage"));
    m_targetGroup = radioGroup({winWord, excel, powerPoint, openOffice, clipboard->menuAction()});
    m_targetGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    m_clipboardSizeGroup =
        radioGroup({addMenuItem(clipboard, "N10pt1", 0, QStringLiteral("10pt")),
                    addMenuItem(clipboard, "N11pt1", 0, QStringLiteral("11pt")),
                    addMenuItem(clipboard, "N12pt1", 0, QStringLiteral("12pt")),
                    addMenuItem(clipboard, "User1", 86, QStringLiteral("&Benutzerdefiniert"))});

    addMenuItem(optionen, "AlsUnicode1", 100, QStringLiteral("Als Unicode kopieren"));

    QMenu *sprache = addSubMenu(optionen, "Sprache1", 82, QStringLiteral("&Sprache"));
    m_languageGroup = radioGroup({addMenuItem(sprache, "Deutsch1", 83, QStringLiteral("&Deutsch")),
                                  addMenuItem(sprache, "Englisch1", 84, QStringLiteral("&Englisch"))});
    connect(m_languageGroup, &QActionGroup::triggered, this, &TSprelioPad::LanguageClick);
    optionen->addSeparator()->setObjectName(QStringLiteral("N7"));
    QAction *vorne = addMenuItem(optionen, "Vorne", 60, QStringLiteral("&Immer im Vordergrund"));
    vorne->setCheckable(true);
    QAction *showH = addMenuItem(optionen, "ShowH", 61, QStringLiteral("Zeige &Erklärungen"));
    showH->setCheckable(true);
    showH->setChecked(true);
    optionen->addSeparator()->setObjectName(QStringLiteral("N5"));
    addMenuItem(optionen, "Beenden1", 62, QStringLiteral("&Beenden"));

    QMenu *belegung = addSubMenu(nullptr, "Belegung1", 63, QStringLiteral("&Tastenbelegung"));
    addMenuItem(belegung, "Laden1", 64, QStringLiteral("&Laden"));
    addMenuItem(belegung, "Speichern1", 65, QStringLiteral("&Speichern"));
    belegung->addSeparator()->setObjectName(QStringLiteral("N3"));
    addMenuItem(belegung, "Bearbeiten1", 66, QStringLiteral("&Bearbeiten"));

    QMenu *schrift = addSubMenu(nullptr, "Schrift1", 67, QStringLiteral("&Schrift"));
    QMenu *schriftart = addSubMenu(schrift, "Schriftart1", 68, QStringLiteral("&Schriftart"));
    QAction *serif = addMenuItem(schriftart, "Serif", 69, QStringLiteral("&Mit Serifen"));
    QAction *sans = addMenuItem(schriftart, "Sans", 70, QStringLiteral("&Ohne Serifen"));
    m_faceGroup = radioGroup({serif, sans});
    serif->setChecked(true);
    connect(m_faceGroup, &QActionGroup::triggered, this, &TSprelioPad::CheckFont);
    schrift->addSeparator()->setObjectName(QStringLiteral("N6"));
    for (QAction *style : {addMenuItem(schrift, "Fett1", 71, QStringLiteral("&Fett")),
                           addMenuItem(schrift, "Kursiv1", 72, QStringLiteral("&Kursiv"))}) {
        style->setCheckable(true);
        connect(style, &QAction::triggered, this, [this, style] { StyleMenuClick(style); });
    }

    QMenu *hilfe = addSubMenu(nullptr, "Hilfe1", 73, QStringLiteral("&Hilfe"));
    addMenuItem(hilfe, "Hilfe", 74, QStringLiteral("&Dokumentation"));
    addMenuItem(hilfe, "Tastaturbelegung1", 75, QStringLiteral("&Tastaturbelegung"))->setVisible(false);
    hilfe->addSeparator()->setObjectName(QStringLiteral("N4"));
    addMenuItem(hilfe, "KestrelWareHomepage1", 80, QStringLiteral("&Kestrel Ware Homepage"));
    addMenuItem(hilfe, "Info1", 77, QStringLiteral("&Info"));
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

    addButton("OpenBtn", "open");
    addButton("SaveBtn", "save");
    addButton("EditBtn", "edit");
    m_toolBarBtn->addSeparator();
    QAction *serifBtn = addButton("SerifBtn", "serif");
    QAction *sansSerifBtn = addButton("SansSerifBtn", "sans");
    m_faceButtonGroup = exclusive({serifBtn, sansSerifBtn});
    serifBtn->setChecked(true);
    connect(m_faceButtonGroup, &QActionGroup::triggered, this, &TSprelioPad::SerifBtnClick);
    m_toolBarBtn->addSeparator();
    for (QAction *style : {addButton("FettBtn", "bold"), addButton("KursivBtn", "italic")}) {
        style->setCheckable(true);
        connect(style, &QAction::triggered, this, &TSprelioPad::StyleClick);
    }
    m_toolBarBtn->addSeparator();
    m_setButtonGroup = exclusive({addButton("SupraBtn", "supra"), addButton("ToneBtn", "tone"),
                                  addButton("Diac1Btn", "diac1"), addButton("Diac2Btn", "diac2"),
                                  addButton("Diac3Btn", "diac3")});
    for (int tag = 1; tag <= SpecialSetCount; ++tag) {
        m_setButtonGroup->actions().at(tag - 1)->setProperty("Tag", tag);
    }
    m_setButtonGroup->actions().constFirst()->setChecked(true);
    connect(m_setButtonGroup, &QActionGroup::triggered, this,
            [this](QAction *set) { SpezialClick(set->property("Tag").toInt()); });
    m_toolBarBtn->addSeparator();
    addButton("SucheBtn", "find");
}

void TSprelioPad::createEditField()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    // The palettes follow this font; the menus keep the desktop's own.
    m_client->setFont(designFont());
    setCentralWidget(m_client);

    m_editField = new GlyphEdit(m_client);
    m_editField->setObjectName(QStringLiteral("EditField"));
    m_editField->setFont(designFont());
}

void TSprelioPad::createPanels()
{
    m_toolBar = createPanel(m_client, "ToolBar");
    m_toolBar2 = createPanel(m_client, "ToolBar2");
    QFont sansFont(phoneticFamily(true));
    sansFont.setPixelSize(19);
    m_toolBar2->setFont(sansFont);
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

void TSprelioPad::createSysPanel()
{
    // Bracket captions are glyph strings: the phonetic font has the brackets at their ASCII codes.
    SpeedButton *klBtn = createSysButton("KlBtn", glyphsToDisplay("[ | ]"));
    klBtn->setGroupIndex(4);
    klBtn->setAllowAllUp(true);
    connect(klBtn, &SpeedButton::clicked, this, &TSprelioPad::KlBtnClick);
    for (const char *name : {"EKlBtn", "SchraegBtn"}) {
        const char *brackets = name[0] == 'E' ? "[..]" : "/../";
        SpeedButton *wrap = createSysButton(name, glyphsToDisplay(brackets));
        // Named by what it inserts; the caption's characters are glyph codes no screen reader knows.
        wrap->setAccessibleName(QLatin1String(brackets));
        connect(wrap, &SpeedButton::clicked, this, [this, wrap] { KlammerBtnClick(wrap); });
    }
    SpeedButton *backBtn = createSysButton("BackBtn", QStringLiteral("\u2190"));
    connect(backBtn, &SpeedButton::clicked, this, &TSprelioPad::BackBtnClick);
    createSysButton("EnterBtn", QStringLiteral("\u21B5"));
    for (QFont font = QApplication::font(); SpeedButton * arrow : {backBtn, m_sysButtons.last()}) {
        font.setBold(true);
        arrow->setFont(font);
    }
    const std::array<std::pair<const char *, const char *>, 4> singles{
        {{"K1Btn", "["}, {"K2Btn", "]"}, {"K3Btn", "/"}, {"K4Btn", "\\"}}};
    for (const auto &[name, bracket] : singles) {
        SpeedButton *single = createSysButton(name, glyphsToDisplay(bracket));
        single->setAccessibleName(QLatin1String(bracket));
        single->setVisible(false);
        connect(single, &SpeedButton::clicked, this, [this, single] { KnoppClick(single); });
    }
}

void TSprelioPad::createCharGrid()
{
    m_charGridFont = QFont(phoneticFamily(false));
    m_charGridFont.setPointSize(14);
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
        button->setShowHint(findChild<QAction *>(QStringLiteral("ShowH"))->isChecked());
        setCharacterHint(button);
        connect(button, &SpeedButton::clicked, this, [this, button] { KnoppClick(button); });
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
        } else {
            connect(button, &SpeedButton::clicked, this, [this, button] { KnoppClick(button); });
        }
        m_toolButtons.append(button);
    }

    for (int k = 0; k < SpecialButtonCount; ++k) {
        TKWSpeedButton *button = createCharacterButton(m_toolBar2);
        button->setObjectName(QStringLiteral("SpecialButton%1").arg(k));
        SetupBarButton(button, false);
        connect(button, &SpeedButton::clicked, this, [this, button] { ToolBar2Click(button); });
        m_specialButtons.append(button);
    }
}

void TSprelioPad::setCharacterHint(TKWSpeedButton *button)
{
    button->setHint(CharDescription(button->Symbol()));
    // Screen readers need a name even where the hint stays empty.
    button->setAccessibleName(glyphStringName(button->Symbol()));
}

void TSprelioPad::SetupBarButton(TKWSpeedButton *button, bool bold)
{
    button->move(button->x(), 2);
    QFont font(phoneticFamily(false));
    font.setPixelSize(19);
    font.setBold(bold);
    button->setFont(font);
    button->setShowHint(true);
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
    QFont font = button->font();
    font.setPointSize(m_toolButtons.constFirst()->font().pointSize());
    button->setFont(font);

    const QFontMetrics metrics(font);
    const int l = metrics.horizontalAdvance(glyphsToDisplay("l"));
    const auto first = static_cast<Glyph>(button->Symbol().front());
    const bool zeroWidth = metrics.horizontalAdvance(glyphsToDisplay(QByteArray(1, char(first)))) == 0;
    button->setOffsetX(zeroWidth ? l * 5 / 6 : 0);
    button->setOffsetY(RaisedOnButtonSet.contains(first) ? (-2 * l) / 3 : 0);
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

    const WindowLayout l = computeWindowLayout(m_client->width(), assignmentEditing());
    m_unitSize = l.unitSize;

    m_bevel->setGeometry(0, 0, l.clientSize.width(), 2);
    m_toolBarBtn->setGeometry(0, 3, l.clientSize.width(), TopStripHeight - 3);
    m_editField->setGeometry(l.editField);
    QFont editFont = m_editField->font();
    editFont.setPointSize(std::max(1, l.editFontSize));
    m_editField->setFont(editFont);

    m_toolBar->setGeometry(l.toolBar);
    for (int i = 0; i < m_toolButtons.size(); ++i) {
        m_toolButtons.at(i)->setGeometry(l.toolButtons.at(i));
        QFont font = m_toolButtons.at(i)->font();
        font.setPointSize(std::max(1, l.toolButtonFontSize));
        m_toolButtons.at(i)->setFont(font);
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
        QFont font = m_paletteButtons.at(i)->font();
        font.setPointSize(std::max(1, l.paletteFontSize));
        m_paletteButtons.at(i)->setFont(font);
    }
    for (int i = 0; i < m_sysButtons.size(); ++i) {
        SpeedButton *button = m_sysButtons.at(i);
        button->setGeometry(l.sysButtons.at(i));
        const bool arrow = i == int(SysButton::Back) || i == int(SysButton::Enter);
        QFont font = arrow ? button->font() : m_sysPanel->font();
        font.setPointSize(std::max(1, arrow ? l.arrowFontSize : l.sysFontSize));
        button->setFont(font);
    }

    layoutCharGrid(l.charGrid, l.charGridCellSize, l.paletteFontSize);
    m_closeBtn->setGeometry(l.closeButton);
    QFont closeFont = m_closeBtn->font();
    closeFont.setPointSize(std::max(1, l.closeFontSize));
    m_closeBtn->setFont(closeFont);

    const int menuHeight = menuWidget() != nullptr ? menuWidget()->sizeHint().height() : 0;
    setMinimumWidth(MinimumClientWidth);
    // A maximised window is the window manager's size until changeEvent has undone it; resizing it
    // now would become the size that it goes back to.
    const bool enlarged = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
    if (enlarged) {
        return;
    }
    // Until the window manager has given back the size from before the maximising, a resize may
    // still bring the enlarged size, which must not become the size the user chose.
    if (m_sizeBeforeEnlarged) {
        if (size() != *m_sizeBeforeEnlarged && m_restoreAttempts++ < MaxRestoreAttempts) {
            resize(*m_sizeBeforeEnlarged);
            return;
        }
        m_sizeBeforeEnlarged.reset();
    }
    if (size() != QSize(l.clientSize.width(), l.clientSize.height() + menuHeight)) {
        resize(l.clientSize.width(), l.clientSize.height() + menuHeight);
        keepFramePlace();
    }
}

void TSprelioPad::keepFramePlace(bool framedMove)
{
    if (!m_placingFrame) {
        return;
    }
    // A resize asks for the client area where it is, and the window manager reads that request
    // from the window when it frames it. Until it has, the request goes on naming the frame's corner.
    QWindow *native = windowHandle();
    if (native == nullptr) {
        m_placingFrame.reset();
        return;
    }
    if (native->frameMargins().isNull()) {
        native->setFramePosition(*m_placingFrame);
        return;
    }
    // Framed. On X11 the window manager puts the window into its frame and places the frame, and the
    // first move of the framed window is that placing. A busy window manager may have placed it by a
    // rule of its own, before it read the request: now that the frame is known, it is asked once more.
    // Elsewhere the frame is there from the start, and a move is the user's.
    if (!framedMove && QGuiApplication::platformName() == QLatin1String("xcb")) {
        return;
    }
    const QPoint place = *std::exchange(m_placingFrame, std::nullopt);
    const bool enlarged = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0;
    if (!enlarged && frameGeometry().topLeft() != place) {
        move(place);
    }
}

void TSprelioPad::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    keepFramePlace(true);
}

void TSprelioPad::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow) {
        return;
    }
    m_firstShow = false;
    LiesIni();
    m_editField->setFocus();
}

void TSprelioPad::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // The window offers no maximise button, yet some window managers maximise it all the same. The
    // layout follows the width the user chose, so the window goes back to it.
    constexpr Qt::WindowStates enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & enlarged) != 0) {
        // The state is announced before the window manager resizes, so the size is still the old one.
        if (!m_sizeBeforeEnlarged) {
            m_sizeBeforeEnlarged = size();
        }
        m_restoreAttempts = 0;
        QTimer::singleShot(0, this, [this, enlarged] {
            setWindowState(windowState() & ~enlarged);
            if (m_sizeBeforeEnlarged) {
                resize(*m_sizeBeforeEnlarged);
            }
        });
    }
}

bool TSprelioPad::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_charGridView && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateMarkPreview(); // clicks type nothing while the chart is shown
    }
    // The native window hears of its showing just before it is mapped, after every geometry change
    // of the widget's own showing: asked for now, the window manager puts the frame's corner there.
    if (event->type() == QEvent::Show && m_pendingFramePlace.has_value() && watched == windowHandle()) {
        m_placingFrame = *std::exchange(m_pendingFramePlace, std::nullopt);
        windowHandle()->setFramePosition(*m_placingFrame);
    }
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
