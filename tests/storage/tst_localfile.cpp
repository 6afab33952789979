#include "storage/localfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

using namespace Sprelio;

class TestLocalFile : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();

private:
    QTemporaryDir m_dir;
};

void TestLocalFile::read_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<qint64>("maxSize");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QByteArray>("content");

    QVERIFY(m_dir.isValid());
    const auto file = [this](const char *name, const QByteArray &content) {
        QFile out(m_dir.filePath(QLatin1String(name)));
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size()) {
            qFatal("cannot write %s", name);
        }
        return QFile::encodeName(out.fileName());
    };
    const QByteArray large(100000, 'x');
    QTest::newRow("empty") << file("empty", {}) << qint64(10) << true << QByteArray();
    QTest::newRow("small") << file("small", "abc") << qint64(10) << true << QByteArray("abc");
    QTest::newRow("exactly the bound")
        << file("bound", "0123456789") << qint64(10) << true << QByteArray("0123456789");
    QTest::newRow("one byte over") << file("over", "0123456789A") << qint64(10) << false << QByteArray();
    const QByteArray largeName = file("large", large);
    QTest::newRow("over many steps") << largeName << qint64(large.size()) << true << large;
    QTest::newRow("many steps, one byte over")
        << largeName << qint64(large.size() - 1) << false << QByteArray();
    QTest::newRow("missing") << QFile::encodeName(m_dir.filePath(QStringLiteral("missing"))) << qint64(10)
                             << false << QByteArray();
    QTest::newRow("folder") << QFile::encodeName(m_dir.path()) << qint64(10) << false << QByteArray();
#if defined(Q_OS_UNIX)
    const QByteArray fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("fifo")));
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    QTest::newRow("pipe nobody writes to") << fifo << qint64(10) << false << QByteArray();
#endif
}

void TestLocalFile::read()
{
    QFETCH(QByteArray, name);
    QFETCH(qint64, maxSize);
    QFETCH(bool, readable);
    QFETCH(QByteArray, content);

    const std::optional<QByteArray> read = readLocalFile(name, maxSize);
    QCOMPARE(read.has_value(), readable);
    if (readable) {
        QCOMPARE(*read, content);
        // A generous bound must not cost its size in memory for a small file.
        const std::optional<QByteArray> again = readLocalFile(name, qint64(1) << 30);
        QVERIFY(again);
        QCOMPARE(*again, content);
        QVERIFY(again->capacity() <= content.size() + 1);
    }
}

QTEST_GUILESS_MAIN(TestLocalFile)
#include "tst_localfile.moc"
