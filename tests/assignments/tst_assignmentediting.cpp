#include "app/spreliopad.h"
#include "assignments/assignmentfile.h"
#include "assignments/chargridmodel.h"
#include "assignments/chargridview.h"
#include "compose/glyphedit.h"
#include "filesizelimit.h"
#include "findnamed.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/chartable.h"
#include "palette/glyphtext.h"
#include "palette/kwspeedbutton.h"
#include "palette/phoneticfonts.h"
#include "palette/windowlayout.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <csignal>
#include <sys/resource.h>

using namespace Sprelio;

namespace {

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the program's modal dialogs as a user would: file dialogs with the queued names (an empty
// name cancels), message boxes with the queued buttons (No, else OK, when none is queued).
class ModalDriver final : public QObject
{
public:
    struct FileDialogSeen
    {
        QFileDialog::AcceptMode mode;
        QString directory;
        QStringList filters;
        QString defaultSuffix;
        bool confirmsOverwrite;
    };

    explicit ModalDriver(QObject *parent = nullptr)
        : QObject(parent)
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { answer(); });
        m_timer.start();
    }

    QStringList files;
    QList<QMessageBox::StandardButton> buttons;
    QStringList messages;
    QList<FileDialogSeen> fileDialogs;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages.append(box->text());
            QAbstractButton *button = box->button(buttons.isEmpty() ? QMessageBox::No : buttons.takeFirst());
            if (button == nullptr) {
                button = box->button(QMessageBox::Ok);
            }
            button->click();
        } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            fileDialogs.append({dialog->acceptMode(), dialog->directory().absolutePath(),
                                dialog->nameFilters(), dialog->defaultSuffix(),
                                !dialog->testOption(QFileDialog::DontConfirmOverwrite)});
            const QString file = files.isEmpty() ? QString() : files.takeFirst();
            if (file.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed into the name field, which counts whether or not the folder has been listed yet.
            auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(nameField != nullptr);
            nameField->setText(file);
            // Past the dialog's own checks, as a user's choice of a folder or a doomed path would be.
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        }
    }

    QTimer m_timer;
};

} // namespace

class TestAssignmentEditing final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editingSwitchesControls_data();
    void editingSwitchesControls();
    void windowGrowsByGrid();
    void leavingResetsSetStyleKeepsFace();
    void clickInsertsNothingWhileEditing();
    void drops_data();
    void drops();
    void dropsRefusedOutsideEditing();
    void deleteThenCloseAsksToSave();
    void saveAndLoadThroughDialogs();
    void loadAsksToSaveFirst();
    void loadingMissingFile();
    void failedReadAtStartClearsPath();
    void failedSave_data();
    void failedSave();
    void gridCells();
    void everyGlyphInkedInsideItsCell();
    void gridHintFollowsCell_data();
    void gridHintFollowsCell();
    void dragCarriesGlyph_data();
    void dragCarriesGlyph();
    void gridLosesSelectionWithFocus();

private:
    template <typename T> T *child(const char *name) const { return findNamed<T>(m_pad.get(), name); }
    TKWSpeedButton *palette(int index) const { return m_pad->PaletteButtons().at(index); }
    CharGridView *grid() const { return child<CharGridView>("CharGrid"); }
    void enterEditing() const { child<QAction>("EditBtn")->trigger(); }
    void leaveEditing() const { QTest::mouseClick(child<QAbstractButton>("CloseBtn"), Qt::LeftButton); }
    // A drag from the window's chart, or, before editing has first made it, from a chart of the same kind.
    QMimeData *gridDrag(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        auto *view = m_pad->findChild<CharGridView *>(QStringLiteral("CharGrid"));
        view = view != nullptr ? view : &m_spareGrid;
        return view->dragData(view->model()->index(row, column), modifiers);
    }
    CharGridView m_spareGrid;
    // Delivers a drag over the widget's middle and the drop; true when the drop was taken.
    static bool dragAndDrop(QWidget *target, QMimeData *data,
                            Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<TSprelioPad> m_pad;
    std::unique_ptr<ModalDriver> m_driver;
    std::unique_ptr<QTemporaryDir> m_dir;
};

bool TestAssignmentEditing::dragAndDrop(QWidget *target, QMimeData *data, Qt::KeyboardModifiers modifiers)
{
    const QPointF middle = QRectF(target->rect()).center();
    QDragEnterEvent enter(middle.toPoint(), Qt::CopyAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(middle.toPoint(), Qt::CopyAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(middle, Qt::CopyAction, data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(target, &drop);
    const bool taken = enter.isAccepted() && move.isAccepted() && drop.isAccepted();
    delete data;
    return taken;
}

void TestAssignmentEditing::initTestCase()
{
    registerPhoneticFonts();
}

void TestAssignmentEditing::init()
{
    LangOffset = GermanOffset;
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_driver = std::make_unique<ModalDriver>();
    m_pad = std::make_unique<TSprelioPad>();
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
}

void TestAssignmentEditing::cleanup()
{
    m_pad.reset();
    m_driver.reset();
    m_dir.reset();
    LangOffset = GermanOffset;
}

void TestAssignmentEditing::editingSwitchesControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabledWhileEditing");

    for (const char *name : {"KlBtn", "EKlBtn", "SchraegBtn", "BackBtn", "EnterBtn", "K1Btn", "K4Btn"}) {
        QTest::newRow(qPrintable(QStringLiteral("bracket panel: %1").arg(QLatin1String(name))))
            << name << false;
    }
    QTest::newRow("tool button: long") << "ToolButton0" << false;
    QTest::newRow("tool button: ejective") << "ToolButton5" << false;
    QTest::newRow("special button: first") << "SpecialButton0" << false;
    QTest::newRow("special button: last") << "SpecialButton10" << false;
    for (const char *name : {"OpenBtn", "SaveBtn", "EditBtn", "SerifBtn", "SansSerifBtn", "FettBtn",
                             "KursivBtn", "SupraBtn", "ToneBtn", "Diac1Btn", "Diac2Btn", "Diac3Btn"}) {
        QTest::newRow(qPrintable(QStringLiteral("tool bar: %1").arg(QLatin1String(name)))) << name << false;
    }
    for (const char *name : {"Optionen1", "Belegung1", "Schrift1", "Hilfe1"}) {
        QTest::newRow(qPrintable(QStringLiteral("menu: %1").arg(QLatin1String(name)))) << name << false;
    }
    QTest::newRow("first consonant button") << "PaletteButton0" << true;
    QTest::newRow("last vowel button") << "PaletteButton49" << true;
    QTest::newRow("composition field") << "EditField" << true;
    QTest::newRow("chart") << "CharGrid" << true;
    QTest::newRow("close button") << "CloseBtn" << true;
}

void TestAssignmentEditing::editingSwitchesControls()
{
    QFETCH(QString, name);
    QFETCH(bool, enabledWhileEditing);
    const auto enabled = [this, &name] {
        if (auto *action = m_pad->findChild<QAction *>(name)) {
            return action->isEnabled();
        }
        auto *widget = m_pad->findChild<QWidget *>(name);
        return widget != nullptr && widget->isEnabled();
    };
    // The chart is made when editing first begins.
    QVERIFY(enabled() ||
            (name == QLatin1String("CharGrid") && !m_pad->findChild<QWidget *>(QStringLiteral("CharGrid"))));

    enterEditing();
    QCOMPARE(enabled(), enabledWhileEditing);
    QVERIFY(grid()->isVisible());
    QVERIFY(child<QWidget>("CloseBtn")->isVisible());

    leaveEditing();
    QVERIFY(enabled());
    QVERIFY(!grid()->isVisible());
    QVERIFY(!child<QWidget>("CloseBtn")->isVisible());
}

void TestAssignmentEditing::windowGrowsByGrid()
{
    const int before = m_pad->height();

    enterEditing();
    QCOMPARE(m_pad->height(), before + grid()->height() + 4);
    QVERIFY(grid()->geometry().bottom() < m_pad->centralWidget()->height());

    leaveEditing();
    QCOMPARE(m_pad->height(), before);
}

void TestAssignmentEditing::leavingResetsSetStyleKeepsFace()
{
    child<QAction>("SansSerifBtn")->trigger();
    child<QAction>("ToneBtn")->trigger();
    child<QAction>("FettBtn")->trigger();
    child<QAction>("KursivBtn")->trigger();
    QVERIFY(child<QAction>("Fett1")->isChecked());

    enterEditing();
    for (const char *style : {"FettBtn", "KursivBtn", "Fett1", "Kursiv1"}) {
        QVERIFY2(!child<QAction>(style)->isChecked(), style);
    }
    QVERIFY(!palette(0)->font().bold());

    leaveEditing();
    QVERIFY(child<QAction>("SupraBtn")->isChecked());
    QVERIFY(!child<QAction>("ToneBtn")->isChecked());
    QCOMPARE(child<TKWSpeedButton>("SpecialButton0")->Symbol(), bytes({59}));
    QVERIFY(child<QAction>("SansSerifBtn")->isChecked());
    QVERIFY(!child<QAction>("SerifBtn")->isChecked());
    QCOMPARE(m_pad->CurrentFontName(), phoneticFamily(true));
    QCOMPARE(palette(0)->font().family(), phoneticFamily(true));
    QVERIFY(!child<QAction>("FettBtn")->isChecked());
    QVERIFY(child<GlyphEdit>("EditField")->hasFocus() || !QApplication::activeWindow());
}

void TestAssignmentEditing::clickInsertsNothingWhileEditing()
{
    auto *field = child<GlyphEdit>("EditField");
    palette(0)->SetSymbol("p");

    enterEditing();
    QTest::mouseClick(palette(0), Qt::LeftButton);
    QCOMPARE(field->glyphs(), QByteArray());

    leaveEditing();
    QTest::mouseClick(palette(0), Qt::LeftButton);
    QCOMPARE(field->glyphs(), QByteArray("p"));
}

void TestAssignmentEditing::drops_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("hint");

    // Cell (2, 3) is code 98, "Voiced Bilabial Plosive"; cell (8, 4) is the length mark, code 58.
    QTest::newRow("replace on a consonant button")
        << "PaletteButton0" << QByteArray("p") << 2 << 3 << false << true << QByteArray("b")
        << "Stimmhafter bilabialer Plosivlaut";
    QTest::newRow("replace a two-glyph button")
        << "PaletteButton35" << bytes({228, 58}) << 2 << 3 << false << true << QByteArray("b")
        << "Stimmhafter bilabialer Plosivlaut";
    QTest::newRow("append with Ctrl: hint becomes empty")
        << "PaletteButton34" << bytes({228}) << 8 << 4 << true << true << bytes({228, 58}) << "";
    QTest::newRow("append to an empty button") << "PaletteButton29" << QByteArray() << 2 << 3 << true << true
                                               << QByteArray("b") << "Stimmhafter bilabialer Plosivlaut";
    QTest::newRow("append beyond 64 bytes refused")
        << "PaletteButton1" << QByteArray(MaxButtonGlyphs, 'a') << 2 << 3 << true << false
        << QByteArray(MaxButtonGlyphs, 'a') << "";
    QTest::newRow("tool button refuses")
        << "ToolButton0" << bytes({58}) << 2 << 3 << false << false << bytes({58}) << "Verlängerung";
    QTest::newRow("special button refuses")
        << "SpecialButton0" << bytes({59}) << 2 << 3 << false << false << bytes({59}) << "Halb-lang";
    QTest::newRow("consonant panel refuses")
        << "KonsPanel" << QByteArray() << 2 << 3 << false << false << QByteArray() << "";
    QTest::newRow("send button refuses")
        << "EnterBtn" << QByteArray() << 2 << 3 << false << false << QByteArray() << "";
}

void TestAssignmentEditing::drops()
{
    QFETCH(QString, target);
    QFETCH(QByteArray, before);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, ctrl);
    QFETCH(bool, taken);
    QFETCH(QByteArray, after);
    QFETCH(QString, hint);

    auto *widget = m_pad->findChild<QWidget *>(target);
    QVERIFY(widget != nullptr);
    auto *button = qobject_cast<TKWSpeedButton *>(widget);
    if (button != nullptr) {
        button->SetSymbol(before);
        button->setHint(CharDescription(before));
    }
    enterEditing();

    const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
    QCOMPARE(dragAndDrop(widget, gridDrag(row, column, modifiers)), taken);
    QCOMPARE(m_pad->AssignmentChanged(), taken);
    if (button != nullptr) {
        QCOMPARE(button->Symbol(), after);
        QCOMPARE(button->hint(), hint);
    }
    QCOMPARE(child<GlyphEdit>("EditField")->glyphs(), QByteArray());
}

void TestAssignmentEditing::dropsRefusedOutsideEditing()
{
    auto *field = child<GlyphEdit>("EditField");
    palette(0)->SetSymbol("p");

    QVERIFY(!dragAndDrop(palette(0), gridDrag(2, 3)));
    QVERIFY(!dragAndDrop(field, gridDrag(2, 3)));
    QCOMPARE(palette(0)->Symbol(), QByteArray("p"));
    QCOMPARE(field->glyphs(), QByteArray());
    QVERIFY(!m_pad->AssignmentChanged());

    enterEditing();
    field->setGlyphs("ab");
    field->setCursorPosition(1);
    QVERIFY(dragAndDrop(field, gridDrag(2, 2, Qt::ControlModifier)));
    QCOMPARE(field->glyphs(), QByteArray("apb"));
    // The composition field is no assignment.
    QVERIFY(!m_pad->AssignmentChanged());
    // Back on the chart the drop is taken and changes nothing.
    QVERIFY(dragAndDrop(grid()->viewport(), gridDrag(2, 2)));
    QCOMPARE(field->glyphs(), QByteArray("apb"));
}

void TestAssignmentEditing::deleteThenCloseAsksToSave()
{
    auto *popup = child<QMenu>("mnuPopup");
    palette(3)->SetSymbol("d");
    palette(3)->setHint(CharDescription("d"));

    QContextMenuEvent outside(QContextMenuEvent::Mouse, QPoint(5, 5), palette(3)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(palette(3), &outside);
    QVERIFY(!popup->isVisible());

    enterEditing();
    QContextMenuEvent inside(QContextMenuEvent::Mouse, QPoint(5, 5), palette(3)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(palette(3), &inside);
    QVERIFY(popup->isVisible());
    QCOMPARE(child<QAction>("miDelete")->text(), LangStr(187));
    child<QAction>("miDelete")->trigger();
    popup->close();

    QCOMPARE(palette(3)->Symbol(), QByteArray());
    QCOMPARE(palette(3)->hint(), QString());
    QVERIFY(m_pad->AssignmentChanged());

    m_driver->buttons = {QMessageBox::No};
    QVERIFY(m_pad->close());
    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{LangStr(2)}.join(QLatin1String(" | ")));
    QVERIFY(m_driver->fileDialogs.isEmpty());
}

void TestAssignmentEditing::saveAndLoadThroughDialogs()
{
    enterEditing();
    QVERIFY(dragAndDrop(palette(0), gridDrag(8, 8))); // the minor group mark, code 135
    QVERIFY(dragAndDrop(palette(0), gridDrag(8, 4, Qt::ControlModifier), Qt::ControlModifier));
    QVERIFY(dragAndDrop(palette(49), gridDrag(12, 8))); // the space glyph
    leaveEditing();
    QList<QByteArray> saved;
    for (const TKWSpeedButton *button : m_pad->PaletteButtons()) {
        saved.append(button->Symbol());
    }
    QCOMPARE(saved.at(0), bytes({135, 58}));

    // No suffix typed: the dialog adds it.
    m_driver->files = {m_dir->filePath(QStringLiteral("mine"))};
    child<QAction>("SaveBtn")->trigger();
    const QString path = m_dir->filePath(QStringLiteral("mine.vkc"));
    QCOMPARE(m_pad->ButtonSettingPath(), path);
    QVERIFY(!m_pad->AssignmentChanged());
    QCOMPARE(fileContent(path), assignmentProfileContent(saved).value());
    QCOMPARE(m_driver->fileDialogs.size(), 1);
    QCOMPARE(m_driver->fileDialogs.at(0).mode, QFileDialog::AcceptSave);
    QCOMPARE(m_driver->fileDialogs.at(0).filters, QStringList{QStringLiteral("Belegungsdatei (*.vkc)")});
    QCOMPARE(m_driver->fileDialogs.at(0).defaultSuffix, QStringLiteral("vkc"));
    QVERIFY(m_driver->fileDialogs.at(0).confirmsOverwrite);

    for (TKWSpeedButton *button : m_pad->PaletteButtons()) {
        button->SetSymbol("x");
    }
    m_driver->files = {path};
    child<QAction>("Laden1")->trigger();
    QCOMPARE(m_driver->fileDialogs.size(), 2);
    QCOMPARE(m_driver->fileDialogs.at(1).mode, QFileDialog::AcceptOpen);
    QCOMPARE(m_driver->fileDialogs.at(1).directory,
             QDir(QCoreApplication::applicationDirPath()).absolutePath());
    QCOMPARE(m_driver->fileDialogs.at(1).filters, QStringList{QStringLiteral("Belegungsdateien (*.vkc)")});
    for (int i = 0; i < saved.size(); ++i) {
        QCOMPARE(palette(i)->Symbol(), saved.at(i));
    }
    QCOMPARE(palette(49)->hint(), LangStr(1032));
    QVERIFY(m_driver->messages.isEmpty());
}

void TestAssignmentEditing::loadAsksToSaveFirst()
{
    const QString other = m_dir->filePath(QStringLiteral("other.vkc"));
    QVERIFY(writeAssignmentFile(other, Assignment(AssignmentButtonCount, "o")));
    enterEditing();
    QVERIFY(dragAndDrop(palette(2), gridDrag(2, 2)));
    leaveEditing();

    const QString first = m_dir->filePath(QStringLiteral("first.vkc"));
    m_driver->buttons = {QMessageBox::Yes};
    m_driver->files = {first, other};
    child<QAction>("OpenBtn")->trigger();

    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{LangStr(2)}.join(QLatin1String(" | ")));
    QCOMPARE(readAssignmentFile(first).value().at(2), QByteArray("p"));
    QCOMPARE(palette(2)->Symbol(), QByteArray("o"));
    QCOMPARE(m_pad->ButtonSettingPath(), other);
    QVERIFY(!m_pad->AssignmentChanged());

    // Answering No loads all the same and leaves the assignment marked as changed.
    enterEditing();
    QVERIFY(dragAndDrop(palette(2), gridDrag(2, 3)));
    leaveEditing();
    m_driver->messages.clear();
    m_driver->buttons = {QMessageBox::No};
    m_driver->files = {first};
    child<QAction>("Laden1")->trigger();
    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{LangStr(2)}.join(QLatin1String(" | ")));
    QCOMPARE(palette(2)->Symbol(), QByteArray("p"));
    QVERIFY(m_pad->AssignmentChanged());
}

void TestAssignmentEditing::loadingMissingFile()
{
    const QByteArray before = palette(0)->Symbol();
    const QString missing = m_dir->filePath(QStringLiteral("missing.vkc"));

    m_driver->files = {missing};
    child<QAction>("OpenBtn")->trigger();

    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{missing + LangStr(9)}.join(QLatin1String(" | ")));
    QCOMPARE(m_pad->ButtonSettingPath(), missing);
    QCOMPARE(palette(0)->Symbol(), before);
}

void TestAssignmentEditing::failedReadAtStartClearsPath()
{
    const QString bad = m_dir->filePath(QStringLiteral("bad.vkc"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(293, 'x'));
    file.close();
    const QByteArray before = palette(0)->Symbol();

    LangOffset = EnglishOffset;
    m_pad->ReadButtonSettingFile(bad);
    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{bad + QStringLiteral(" is no button assignment file")}.join(QLatin1String(" | ")));
    QCOMPARE(m_pad->ButtonSettingPath(), QString());
    QCOMPARE(palette(0)->Symbol(), before);
}

void TestAssignmentEditing::failedSave_data()
{
    QTest::addColumn<bool>("targetIsFolder");
    QTest::newRow("target is a folder") << true;
    QTest::newRow("disk full over the old file") << false;
}

void TestAssignmentEditing::failedSave()
{
    QFETCH(bool, targetIsFolder);
    const QString previous = m_dir->filePath(QStringLiteral("previous.vkc"));
    m_driver->files = {previous};
    child<QAction>("Speichern1")->trigger();
    QCOMPARE(m_pad->ButtonSettingPath(), previous);
    const QByteArray previousContent = fileContent(previous);

    enterEditing();
    QVERIFY(dragAndDrop(palette(0), gridDrag(2, 3)));
    leaveEditing();
    QString target = previous;
    if (targetIsFolder) {
        target = m_dir->filePath(QStringLiteral("folder.vkc"));
        QVERIFY(QDir().mkpath(target));
    }

    m_driver->files = {target};
    {
        std::optional<FileSizeLimit> full;
        if (!targetIsFolder) {
            full.emplace(rlim_t(64));
        }
        child<QAction>("SaveBtn")->trigger();
    }

    QCOMPARE(m_driver->messages.join(QLatin1String(" | ")),
             QStringList{LangStr(7) + target}.join(QLatin1String(" | ")));
    QCOMPARE(m_pad->ButtonSettingPath(), previous);
    QVERIFY(m_pad->AssignmentChanged());
    QCOMPARE(fileContent(previous), previousContent);
    QVERIFY(QFileInfo(target).isDir() == targetIsFolder);
}

void TestAssignmentEditing::gridCells()
{
    enterEditing();
    CharGridView *view = grid();
    QCOMPARE(view->model()->rowCount(), 13);
    QCOMPARE(view->model()->columnCount(), 13);
    QSet<QByteArray> glyphs;
    for (int row = 0; row < 13; ++row) {
        for (int column = 0; column < 13; ++column) {
            glyphs.insert(view->model()->index(row, column).data(CharGridModel::GlyphRole).toByteArray());
        }
    }
    QCOMPARE(glyphs.size(), 169);

    const WindowLayout layout = computeWindowLayout(m_pad->centralWidget()->width(), true);
    QCOMPARE(view->cellSize(), layout.charGridCellSize);
    QCOMPARE(view->rowHeight(12), layout.charGridCellSize);
    QCOMPARE(view->columnWidth(0), layout.charGridCellSize);
    const int visibleRows = view->viewport()->height() / view->cellSize();
    QCOMPARE(visibleRows, 5);
    QVERIFY(view->verticalScrollBar()->isVisible());

    const int buttonSize = palette(1)->font().pointSize();
    QCOMPARE(view->cellFont(0).pointSize(), buttonSize - 1);
    QCOMPARE(view->cellFont(7).pointSize(), buttonSize - 1);
    QCOMPARE(view->cellFont(8).pointSize(), buttonSize);
    QCOMPARE(view->cellFont(12).pointSize(), buttonSize);
    QVERIFY(!view->cellFont(0).bold());
    QCOMPARE(view->cellFont(0).family(), m_pad->CurrentFontName());
}

void TestAssignmentEditing::everyGlyphInkedInsideItsCell()
{
    enterEditing();
    CharGridView *view = grid();
    const int side = view->cellSize();
    const QRect cell(side, side, side, side);
    QStringList wrong;
    for (int row = 0; row < 13; ++row) {
        for (int column = 0; column < 13; ++column) {
            const QModelIndex index = view->model()->index(row, column);
            const int code = static_cast<unsigned char>(CharGridModel::glyphAt(index).front());
            QImage image(3 * side, 3 * side, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                painter.setPen(Qt::black);
                view->CharGridDrawCell(&painter, cell, index);
            }
            int inside = 0;
            int outside = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (qAlpha(image.pixel(x, y)) > 0) {
                        (cell.contains(x, y) ? inside : outside) += 1;
                    }
                }
            }
            // The two spaces are blank by nature.
            const bool blank = code == 32 || code == 152;
            if (outside > 0 || (inside > 0) == blank) {
                wrong.append(QStringLiteral("%1 (%2 in, %3 out)").arg(code).arg(inside).arg(outside));
            }
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String(", "))));
}

void TestAssignmentEditing::gridHintFollowsCell_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("hint");

    QTest::newRow("German, cell 2,2") << GermanOffset << 2 << 2 << "Stimmloser bilabialer Plosivlaut";
    QTest::newRow("English, cell 2,2") << EnglishOffset << 2 << 2 << "Voiceless Bilabial Plosive";
    QTest::newRow("English, cell 12,8") << EnglishOffset << 12 << 8 << "Space";
}

void TestAssignmentEditing::gridHintFollowsCell()
{
    QFETCH(int, language);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, hint);
    LangOffset = language;
    enterEditing();
    CharGridView *view = grid();

    // The next cell first, so the hint has something to change from.
    for (const QModelIndex &index :
         {view->model()->index(row, (column + 1) % 13), view->model()->index(row, column)}) {
        view->scrollTo(index);
        const QPoint inCell = view->visualRect(index).center();
        QHelpEvent help(QEvent::ToolTip, inCell, view->viewport()->mapToGlobal(inCell));
        QApplication::sendEvent(view->viewport(), &help);
    }
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), hint);
    QToolTip::hideText();
}

void TestAssignmentEditing::dragCarriesGlyph_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<QByteArray>("glyph");

    QTest::newRow("letter") << 2 << 2 << false << QByteArray("p");
    QTest::newRow("letter with Ctrl appends") << 2 << 2 << true << QByteArray("p");
    QTest::newRow("spacing mark of the last row") << 12 << 12 << true << QByteArray("'");
    QTest::newRow("zero-width mark below") << 8 << 12 << false << QByteArray("$");
    QTest::newRow("zero-width tone mark above") << 11 << 4 << false << QByteArray("(");
}

void TestAssignmentEditing::dragCarriesGlyph()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, ctrl);
    QFETCH(QByteArray, glyph);

    enterEditing();
    const std::unique_ptr<QMimeData> data(gridDrag(row, column, ctrl ? Qt::ControlModifier : Qt::NoModifier));
    QVERIFY(data != nullptr);
    QCOMPARE(data->data(GlyphMimeType), glyph);
    QCOMPARE(data->hasFormat(GlyphAppendMimeType), ctrl);

    const QImage image = CharGridView::dragPixmap(glyph, grid()->dragFont()).toImage();
    QCOMPARE(image.size(), QSize(40, 40));
    // Inked around the middle, where the pointer is, and nowhere near the edges.
    int inked = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                ++inked;
                QVERIFY2(x >= 4 && x < 36 && y >= 4 && y < 36,
                         qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            }
        }
    }
    QVERIFY(inked > 0);
}

void TestAssignmentEditing::gridLosesSelectionWithFocus()
{
    enterEditing();
    m_pad->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_pad.get()));
    CharGridView *view = grid();
    view->setFocus();
    view->setCurrentIndex(view->model()->index(3, 3));
    QVERIFY(view->selectionModel()->hasSelection());

    child<GlyphEdit>("EditField")->setFocus();
    QTRY_VERIFY(!view->hasFocus());
    QVERIFY(!view->selectionModel()->hasSelection());
    QVERIFY(!view->currentIndex().isValid());
}

QTEST_MAIN(TestAssignmentEditing)
#include "tst_assignmentediting.moc"
