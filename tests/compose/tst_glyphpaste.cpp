#include "compose/glyphedit.h"
#include "glyphbytes.h"
#include "palette/glyphtext.h"
#include "targets/clipboard.h"
#include "targets/clipboardpayload.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>

using namespace Sprelio;

class TestGlyphPaste final : public QObject
{
    Q_OBJECT

private slots:
    void sentTextPastesBack_data();
    void sentTextPastesBack();
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

QTEST_MAIN(TestGlyphPaste)
#include "tst_glyphpaste.moc"
