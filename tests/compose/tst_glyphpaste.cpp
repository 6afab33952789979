#include "app/modalwatch.h"
#include "compose/glyphedit.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/glyphtext.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

using namespace Sprelio;

class TestGlyphPaste final : public QObject
{
    Q_OBJECT

private slots:
    void sentTextPastesBack_data();
    void sentTextPastesBack();
    void longPasteStopsAtTheLine_data();
    void longPasteStopsAtTheLine();
    void undoHistoryStaysBounded_data();
    void undoHistoryStaysBounded();
};

void TestGlyphPaste::sentTextPastesBack_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"ctrl+v", "shift+insert", "context menu", "drop"}) {
        QTest::newRow(way) << QString::fromLatin1(way);
    }
}

void TestGlyphPaste::sentTextPastesBack()
{
    QFETCH(QString, way);
    // Codes whose Unicode IPA is the same as another's, or that have none at all.
    const QByteArray glyphs = bytes({96, 83, 116, 0x80, 182, 34, 238, 158, 189, 1, '{', '\\', 0xFF});
    GlyphEdit source;
    source.setGlyphs(glyphs);
    putOnClipboard(clipboardPayload(source.glyphs(), phoneticFamily(true), true, false, 30));
    const QMimeData *sent = QGuiApplication::clipboard()->mimeData();
    QVERIFY(sent != nullptr);

    GlyphEdit field;
    field.show();
    field.setFocus();
    if (way == u"ctrl+v") {
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    } else if (way == u"shift+insert") {
        QTest::keyClick(&field, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (way == u"context menu") {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), field.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&field, &event);
        auto *menu = field.findChild<QMenu *>();
        QVERIFY(menu != nullptr);
        QAction *paste = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
                paste = action;
            }
        }
        QVERIFY(paste != nullptr);
        paste->trigger();
        menu->close();
    } else {
        // A drop goes to the widget that took the drag as it entered.
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, sent, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, sent, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &drop);
        QVERIFY(drop.isAccepted());
    }
    QCOMPARE(field.glyphs(), glyphs);

    // The keyboard still types Windows-1252 bytes.
    QTest::keyClick(&field, Qt::Key_X);
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("€"));
    QApplication::sendEvent(&field, &euro);
    QCOMPARE(field.glyphs(), glyphs + bytes({'x', 0x80}));
}

void TestGlyphPaste::longPasteStopsAtTheLine_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("rich");
    QTest::addColumn<qsizetype>("symbols");
    QTest::addColumn<qsizetype>("before");
    QTest::addColumn<qsizetype>("selected");
    constexpr qsizetype Line = 32767;
    for (const char *way : {"ctrl+v", "drop"}) {
        QTest::addRow("%s: a full line", way)
            << QString::fromLatin1(way) << false << Line << qsizetype(0) << qsizetype(0);
        QTest::addRow("%s: one more than the line", way)
            << QString::fromLatin1(way) << false << Line + 1 << qsizetype(0) << qsizetype(0);
        // Some ten megabytes of text, and rich text larger than any line's.
        QTest::addRow("%s: five million symbols", way)
            << QString::fromLatin1(way) << false << qsizetype(5'000'000) << qsizetype(0) << qsizetype(0);
        QTest::addRow("%s: rich text of a document", way)
            << QString::fromLatin1(way) << true << qsizetype(1'000'000) << qsizetype(0) << qsizetype(0);
    }
    QTest::newRow("ctrl+v: into a line half full, over a selection")
        << QStringLiteral("ctrl+v") << false << Line << Line / 2 << qsizetype(1000);
}

// A paste of any size puts in what the line holds, and says when it kept less than it was given.
void TestGlyphPaste::longPasteStopsAtTheLine()
{
    QFETCH(QString, way);
    QFETCH(bool, rich);
    QFETCH(qsizetype, symbols);
    QFETCH(qsizetype, before);
    QFETCH(qsizetype, selected);
    // Esh, typed as Unicode IPA, or sent as the phonetic rich text.
    const QByteArray esh("S");
    const QByteArray pasted = esh.repeated(symbols);
    std::unique_ptr<QMimeData> data;
    if (rich) {
        data = clipboardMimeData(clipboardPayload(pasted, phoneticFamily(true), false, false, 12));
    } else {
        data = std::make_unique<QMimeData>();
        data->setText(QString(QChar(char16_t(0x283))).repeated(symbols));
    }

    GlyphEdit field;
    field.setGlyphs(QByteArray("t").repeated(before));
    field.setSelection(0, int(selected));
    field.show();
    field.setFocus();
    QString said;
    ModalWatch::whenModal<QMessageBox>(
        [&said](QMessageBox *box) {
            said = box->text();
            box->accept();
        },
        nullptr, 60000);
    if (way == u"ctrl+v") {
        QGuiApplication::clipboard()->setMimeData(data.release());
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    } else {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &enter);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &drop);
    }
    const qsizetype room = field.maxLength() - before + selected;
    const qsizetype kept = std::min(symbols, room);
    QCOMPARE(field.glyphs().count(esh), kept);
    QCOMPARE(field.glyphs().size(), before - selected + kept);
    if (kept < symbols) {
        QTRY_COMPARE_WITH_TIMEOUT(said, LangStr(215).arg(kept), 60000);
    } else {
        QTest::qWait(50);
        QCOMPARE(said, QString());
    }
    ModalWatch::cancelAll();
}

QTEST_MAIN(TestGlyphPaste)
#include "tst_glyphpaste.moc"

void TestGlyphPaste::undoHistoryStaysBounded_data()
{
    QTest::addColumn<int>("pastes");
    QTest::addColumn<qsizetype>("symbols");
    QTest::addColumn<bool>("backToTheStart");
    QTest::newRow("a few short pastes: all undone") << 5 << qsizetype(1000) << true;
    // Each line held for undo costs the line edit some twenty bytes per character.
    QTest::newRow("eight full lines: the oldest forgotten") << 8 << qsizetype(32767) << false;
}

// Undo goes back as far as a sensible history reaches, and no further: the history of a long
// session of pastes does not grow without end.
void TestGlyphPaste::undoHistoryStaysBounded()
{
    QFETCH(int, pastes);
    QFETCH(qsizetype, symbols);
    QFETCH(bool, backToTheStart);
    GlyphEdit field;
    field.show();
    field.setFocus();
    field.setGlyphs("a");
    for (int paste = 0; paste < pastes; ++paste) {
        QGuiApplication::clipboard()->setText(QString(QChar(u'p' + paste % 4)).repeated(symbols));
        field.selectAll();
        QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    const QString last = field.text();
    int undos = 0;
    while (field.isUndoAvailable() && undos < 2 * pastes) {
        field.undo();
        ++undos;
    }
    QCOMPARE(field.glyphs() == "a", backToTheStart);
    QVERIFY(undos >= 1);
    // The newest steps are still there to undo and redo.
    while (field.isRedoAvailable()) {
        field.redo();
    }
    QCOMPARE(field.text(), last);
    // A field emptied by setting its text starts a new history.
    field.setGlyphs({});
    QVERIFY(!field.isUndoAvailable());
}
