// The main window's assignment commands: loading, saving and the editing mode.

#include "app/spreliopad.h"

#include "dialogs/messageboxes.h"
#include "app/splash.h"
#include "assignments/assignmentfile.h"
#include "assignments/chargridview.h"
#include "assignments/glyphdrop.h"
#include "compose/glyphedit.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/symbolsets.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

namespace Sprelio {

namespace {

QString chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

} // namespace

CharGridView *TSprelioPad::charGrid()
{
    // Made when editing first begins: most sessions never edit, and the chart is the costliest part
    // of the window.
    if (!m_charGridView) {
        m_charGridView = new CharGridView(m_client);
        m_charGridView->setObjectName(QStringLiteral("CharGrid"));
        m_charGridView->setVisible(false);
        m_charGridView->setFont(m_charGridFont);
        m_charGridView->setCellSize(m_charGridCellSize);
        m_charGridView->setGeometry(m_charGridGeometry);
    }
    return m_charGridView;
}

void TSprelioPad::connectAssignmentCommands()
{
    const auto onTrigger = [this](const char *name, void (TSprelioPad::*handler)()) {
        connect(findChild<QAction *>(QLatin1String(name)), &QAction::triggered, this, handler);
    };
    onTrigger("Laden1", &TSprelioPad::Laden1Click);
    onTrigger("OpenBtn", &TSprelioPad::Laden1Click);
    onTrigger("Speichern1", &TSprelioPad::Speichern1Click);
    onTrigger("SaveBtn", &TSprelioPad::Speichern1Click);
    onTrigger("Bearbeiten1", &TSprelioPad::Bearbeiten1Click);
    onTrigger("EditBtn", &TSprelioPad::Bearbeiten1Click);
    connect(m_closeBtn, &SpeedButton::clicked, this, &TSprelioPad::CloseBtnClick);

    m_mnuPopup = new QMenu(this);
    m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    QAction *miDelete = m_mnuPopup->addAction(LangStr(187));
    miDelete->setObjectName(QStringLiteral("miDelete"));
    connect(miDelete, &QAction::triggered, this, &TSprelioPad::miDeleteClick);

    m_glyphDrop =
        new GlyphDropFilter([this](QWidget *target, const QByteArray &glyphs,
                                   bool append) { return CharGridDragOver(target, glyphs, append); },
                            [this](QWidget *target, const QByteArray &glyphs, bool append) {
                                CharGridDragDrop(target, glyphs, append);
                            },
                            this);
    m_glyphDrop->watch(m_editField);
    for (TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        m_glyphDrop->watch(button);
        connect(button, &QWidget::customContextMenuRequested, this, [this, button](const QPoint &pos) {
            m_popupButton = button;
            m_mnuPopup->popup(button->mapToGlobal(pos));
        });
    }
}

void TSprelioPad::layoutCharGrid(const QRect &geometry, int cellSize, int buttonFontSize)
{
    m_charGridGeometry = geometry;
    m_charGridCellSize = cellSize;
    m_charGridFont.setPointSize(std::max(2, buttonFontSize));
    if (m_charGridView) {
        m_charGridView->setGeometry(geometry);
        m_charGridView->setCellSize(cellSize);
        m_charGridView->setFont(m_charGridFont);
    }
}

bool TSprelioPad::assignmentEditing() const
{
    return m_charGridView != nullptr && !m_charGridView->isHidden();
}

QWidget *TSprelioPad::assignmentMessageOwner()
{
    // During start-up the splash window is in front, and the message must not hide behind it.
    if (m_splash != nullptr && m_splash->isVisible()) {
        return m_splash;
    }
    return this;
}

void TSprelioPad::ReadButtonSettingFile(const QString &path)
{
    const std::optional<Assignment> assignment = readAssignmentFile(assignmentFileName(path));
    if (!assignment) {
        const QString message = path + LangStr(9);
        QWidget *owner = assignmentMessageOwner();
        // At start-up the splash has gone and this window is being shown: a box shown now would
        // keep it from appearing and stand alone. It follows as soon as the window is on screen.
        if (owner == this && isVisible() && windowHandle() != nullptr && !windowHandle()->isVisible()) {
            m_buttonSettingPath.clear();
            QTimer::singleShot(0, this, [this, message] { MessageInfo(this, message); });
            return;
        }
        MessageInfo(owner, message);
        m_buttonSettingPath.clear();
        return;
    }
    for (int i = 0; i < m_paletteButtons.size(); ++i) {
        TKWSpeedButton *button = m_paletteButtons.at(i);
        button->SetSymbol(assignment->value(i));
        setCharacterHint(button);
    }
}

void TSprelioPad::Speichern1Click()
{
    const TopmostBracket bracket(this);
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Belegungsdatei (*.vkc)"));
    dialog.setDefaultSuffix(QStringLiteral("vkc"));
    const QFileInfo current(m_buttonSettingPath);
    dialog.setDirectory(!m_buttonSettingPath.isEmpty() && current.dir().exists()
                            ? current.absolutePath()
                            : QCoreApplication::applicationDirPath());
    const QString path = chosenFile(dialog);
    if (path.isEmpty()) {
        return;
    }

    Assignment assignment;
    for (const TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        assignment.append(button->Symbol());
    }
    if (!writeAssignmentFile(path, assignment)) {
        MessageInfo(this, LangStr(7) + path);
        return;
    }
    m_buttonSettingPath = path;
    m_assignmentChanged = false;
}

void TSprelioPad::Laden1Click()
{
    if (m_assignmentChanged &&
        MessageQuestion(this, QString(), LangStr(2), StyleYesNo | StyleQuestion) == MessageYes) {
        Speichern1Click();
    }
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is taken and then reported as no assignment file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Belegungsdateien (*.vkc)"));
    dialog.setDirectory(QCoreApplication::applicationDirPath());

    const TopmostBracket bracket(this);
    const QString path = chosenFile(dialog);
    if (path.isEmpty()) {
        return;
    }
    ReadButtonSettingFile(path);
    m_buttonSettingPath = path;
}

void TSprelioPad::Bearbeiten1Click()
{
    EnableButtonEdit(true);
    FormResize();
}

void TSprelioPad::CloseBtnClick()
{
    EnableButtonEdit(false);
    resize(width(), height() - (charGrid()->height() + 4));
    FormResize();
    m_editField->setFocus();
}

void TSprelioPad::EnableButtonEdit(bool value)
{
    if (value || m_charGridView) {
        charGrid()->setVisible(value);
    }
    m_closeBtn->setVisible(value);

    for (QWidget *panel : {m_sysPanel, m_toolBar, m_toolBar2}) {
        const QWidgetList controls = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *control : controls) {
            control->setEnabled(!value);
        }
    }
    const QList<QAction *> toolBarButtons = m_toolBarBtn->actions();
    for (QAction *button : toolBarButtons) {
        button->setEnabled(!value);
    }

    for (TKWSpeedButton *button : std::as_const(m_paletteButtons)) {
        button->setContextMenuPolicy(value ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    }

    for (const char *menu : {"Optionen1", "Belegung1", "Schrift1", "Hilfe1"}) {
        findChild<QMenu *>(QLatin1String(menu))->menuAction()->setEnabled(!value);
    }

    const auto action = [this](const char *name) { return findChild<QAction *>(QLatin1String(name)); };
    action("FettBtn")->setChecked(false);
    action("KursivBtn")->setChecked(false);
    StyleClick();

    if (value) {
        return;
    }
    // Leaving shows the suprasegmentals whatever set was chosen before; a diacritic left pending
    // while editing is dropped with it.
    if (action("SupraBtn")->isChecked()) {
        action("Diac1Btn")->setChecked(true);
    }
    SpezialClick(int(SpecialSet::Supra));
    action("SupraBtn")->setChecked(true);

    // Pressing the face pair again in this order leaves the current face pressed.
    QAction *serif = action("SerifBtn");
    QAction *sansSerif = action("SansSerifBtn");
    const bool serifPressed = serif->isChecked();
    (serifPressed ? sansSerif : serif)->setChecked(true);
    (serifPressed ? serif : sansSerif)->setChecked(true);
}

void TSprelioPad::miDeleteClick()
{
    if (m_popupButton == nullptr) {
        return;
    }
    m_popupButton->SetSymbol(QByteArray());
    setCharacterHint(m_popupButton);
    m_assignmentChanged = true;
}

bool TSprelioPad::CharGridDragOver(QWidget *target, const QByteArray &glyphs, bool append) const
{
    // Glyphs are taken only while the chart they come from is open, also when another instance
    // offers them.
    if (!assignmentEditing()) {
        return false;
    }
    if (target == m_editField) {
        return true;
    }
    const auto *button = qobject_cast<TKWSpeedButton *>(target);
    if (button == nullptr || !m_paletteButtons.contains(button)) {
        return false;
    }
    return !append || appendedGlyphs(button->Symbol(), glyphs).has_value();
}

void TSprelioPad::CharGridDragDrop(QWidget *target, const QByteArray &glyphs, bool append)
{
    if (!CharGridDragOver(target, glyphs, append)) {
        return;
    }
    if (target == m_editField) {
        StringToMemo(glyphs.left(1));
        return;
    }
    auto *button = qobject_cast<TKWSpeedButton *>(target);
    button->SetSymbol(append ? appendedGlyphs(button->Symbol(), glyphs).value_or(button->Symbol()) : glyphs);
    setCharacterHint(button);
    m_assignmentChanged = true;
}

} // namespace Sprelio
