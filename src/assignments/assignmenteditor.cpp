#include "assignments/assignmenteditor.h"

#include "assignments/assignmentfile.h"
#include "assignments/chargridview.h"
#include "assignments/glyphdrop.h"
#include "compose/glyphedit.h"
#include "dialogs/messageboxes.h"
#include "dialogs/topmost.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "storage/localfile.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
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

AssignmentEditor::AssignmentEditor(const AssignmentControls &controls, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_charGridFont(phoneticFamily(false))
{
    m_charGridFont.setPointSize(14);

    m_mnuPopup = new QMenu(m_controls.window);
    m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    m_miDelete = m_mnuPopup->addAction(LangStr(187));
    m_miDelete->setObjectName(QStringLiteral("miDelete"));
    connect(m_miDelete, &QAction::triggered, this, &AssignmentEditor::miDeleteClick);

    m_glyphDrop =
        new GlyphDropFilter([this](QWidget *target, const QByteArray &glyphs,
                                   bool append) { return CharGridDragOver(target, glyphs, append); },
                            [this](QWidget *target, const QByteArray &glyphs, bool append) {
                                CharGridDragDrop(target, glyphs, append);
                            },
                            this);
    m_glyphDrop->watch(m_controls.field);
    for (TKWSpeedButton *button : std::as_const(m_controls.paletteButtons)) {
        m_glyphDrop->watch(button);
        connect(button, &QWidget::customContextMenuRequested, this, [this, button](const QPoint &pos) {
            m_popupButton = button;
            m_mnuPopup->popup(button->mapToGlobal(pos));
        });
    }
}

CharGridView *AssignmentEditor::charGrid()
{
    // Made when editing first begins: most sessions never edit, and the chart is the costliest part
    // of the window.
    if (!m_charGridView) {
        m_charGridView = new CharGridView(m_controls.chartParent);
        m_charGridView->setObjectName(QStringLiteral("CharGrid"));
        m_charGridView->setVisible(false);
        m_charGridView->setFont(m_charGridFont);
        m_charGridView->setCellSize(m_charGridCellSize);
        m_charGridView->setGeometry(m_charGridGeometry);
    }
    return m_charGridView;
}

int AssignmentEditor::chartHeight()
{
    return charGrid()->height();
}

void AssignmentEditor::layoutCharGrid(const QRect &geometry, int cellSize, int buttonFontSize)
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

void AssignmentEditor::setFaceFamily(const QString &family)
{
    m_charGridFont.setFamily(family);
    if (m_charGridView) {
        m_charGridView->setFont(m_charGridFont);
    }
}

void AssignmentEditor::applyLanguage()
{
    m_miDelete->setText(LangStr(187));
}

bool AssignmentEditor::editing() const
{
    return m_charGridView != nullptr && !m_charGridView->isHidden();
}

QByteArray AssignmentEditor::assignmentFileName(const QString &path) const
{
    // The stored bytes name the file for as long as the path is the one read from them.
    if (!m_storedButtonSetting.isEmpty() && QFile::decodeName(m_storedButtonSetting) == path) {
        return m_storedButtonSetting;
    }
    return QFile::encodeName(path);
}

void AssignmentEditor::restoreStoredFile(const QByteArray &stored, const QString &defaultPath)
{
    m_storedButtonSetting = stored;
    m_buttonSettingPath = QFile::decodeName(stored);
    if (m_buttonSettingPath.isEmpty()) {
        m_buttonSettingPath = defaultPath;
    }
    if (isLocalRegularFile(assignmentFileName(m_buttonSettingPath))) {
        ReadButtonSettingFile(m_buttonSettingPath);
    }
}

void AssignmentEditor::ReadButtonSettingFile(const QString &path)
{
    const std::optional<Assignment> assignment = readAssignmentFile(assignmentFileName(path));
    if (!assignment) {
        const QString message = path + LangStr(9);
        QWidget *owner = m_controls.messageOwner ? m_controls.messageOwner() : m_controls.window;
        QWidget *window = m_controls.window;
        // At start-up the splash has gone and the window is being shown: a box shown now would
        // keep it from appearing and stand alone. It follows as soon as the window is on screen.
        if (owner == window && window->isVisible() && window->windowHandle() != nullptr &&
            !window->windowHandle()->isVisible()) {
            m_buttonSettingPath.clear();
            QTimer::singleShot(0, window, [window, message] { MessageInfo(window, message); });
            return;
        }
        MessageInfo(owner, message);
        m_buttonSettingPath.clear();
        return;
    }
    for (int i = 0; i < m_controls.paletteButtons.size(); ++i) {
        TKWSpeedButton *button = m_controls.paletteButtons.at(i);
        button->SetSymbol(assignment->value(i));
        setCharacterHint(button);
    }
}

void AssignmentEditor::Speichern1Click()
{
    const TopmostBracket bracket(m_controls.window, m_controls.stayOnTop);
    QFileDialog dialog(m_controls.window);
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
    for (const TKWSpeedButton *button : std::as_const(m_controls.paletteButtons)) {
        assignment.append(button->Symbol());
    }
    if (!writeAssignmentFile(path, assignment)) {
        MessageInfo(m_controls.window, LangStr(7) + path);
        return;
    }
    m_buttonSettingPath = path;
    m_assignmentChanged = false;
}

bool AssignmentEditor::offerSaving()
{
    if (!m_assignmentChanged) {
        return true;
    }
    switch (MessageQuestion(m_controls.window, QString(), LangStr(2), StyleYesNo | StyleQuestion)) {
    case MessageYes:
        Speichern1Click();
        return true;
    case MessageNo:
        return true;
    default:
        return false;
    }
}

void AssignmentEditor::Laden1Click()
{
    if (!offerSaving()) {
        return;
    }
    QFileDialog dialog(m_controls.window);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist is taken and then reported as no assignment file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Belegungsdateien (*.vkc)"));
    dialog.setDirectory(QCoreApplication::applicationDirPath());

    const TopmostBracket bracket(m_controls.window, m_controls.stayOnTop);
    const QString path = chosenFile(dialog);
    if (path.isEmpty()) {
        return;
    }
    ReadButtonSettingFile(path);
    m_buttonSettingPath = path;
}

void AssignmentEditor::EnableButtonEdit(bool value)
{
    if (value || m_charGridView) {
        charGrid()->setVisible(value);
    }
    m_controls.closeButton->setVisible(value);
    for (TKWSpeedButton *button : std::as_const(m_controls.paletteButtons)) {
        button->setContextMenuPolicy(value ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    }
    emit editingChanged(value);
}

void AssignmentEditor::miDeleteClick()
{
    if (m_popupButton == nullptr) {
        return;
    }
    m_popupButton->SetSymbol(QByteArray());
    setCharacterHint(m_popupButton);
    m_assignmentChanged = true;
}

bool AssignmentEditor::CharGridDragOver(QWidget *target, const QByteArray &glyphs, bool append) const
{
    // Glyphs are taken only while the chart they come from is open, also when another instance
    // offers them.
    if (!editing()) {
        return false;
    }
    if (target == m_controls.field) {
        return true;
    }
    const auto *button = qobject_cast<TKWSpeedButton *>(target);
    if (button == nullptr || !m_controls.paletteButtons.contains(button)) {
        return false;
    }
    return !append || appendedGlyphs(button->Symbol(), glyphs).has_value();
}

void AssignmentEditor::CharGridDragDrop(QWidget *target, const QByteArray &glyphs, bool append)
{
    if (!CharGridDragOver(target, glyphs, append)) {
        return;
    }
    if (target == m_controls.field) {
        emit glyphsDropped(glyphs.left(1));
        return;
    }
    auto *button = qobject_cast<TKWSpeedButton *>(target);
    button->SetSymbol(append ? appendedGlyphs(button->Symbol(), glyphs).value_or(button->Symbol()) : glyphs);
    setCharacterHint(button);
    m_assignmentChanged = true;
}

} // namespace Sprelio
