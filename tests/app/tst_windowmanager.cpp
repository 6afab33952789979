// Runs the real program under a window manager, started by the test on its own X display, and
// looks at it from outside as a user meets it: where the window lands and what it stores, which
// window a second start brings forward, where a message at start-up shows, and what a maximised
// window leaves in the settings.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <vector>

namespace {

// Generous: the program shows its main window 2.5 s after it starts, on a machine that may be busy.
constexpr int Timeout = 60000;

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(Timeout);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Window ids as numbers: xdotool prints them in decimal, xprop in hexadecimal.
using WindowId = qulonglong;

QString xProperty(WindowId window, const char *name)
{
    return output(QStringLiteral("xprop"),
                  {QStringLiteral("-id"), QString::number(window), QLatin1String(name)});
}

QList<WindowId> visibleWindowsOf(qint64 pid)
{
    QList<WindowId> windows;
    const QStringList lines =
        output(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                           QStringLiteral("--pid"), QString::number(pid)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines)
        windows.append(line.toULongLong());
    return windows;
}

// The window a user sees: the client area with the frame the window manager drew around it.
QRect frameOf(WindowId window)
{
    const QString info = output(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const auto number = [&info](const char *label) {
        const QRegularExpression pattern(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)"));
        return pattern.match(info).captured(1).toInt();
    };
    const QRegularExpression extents(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
    const QRegularExpressionMatch m = extents.match(xProperty(window, "_NET_FRAME_EXTENTS"));
    if (!m.hasMatch())
        return {};
    const int left = m.captured(1).toInt(), right = m.captured(2).toInt();
    const int top = m.captured(3).toInt(), bottom = m.captured(4).toInt();
    return {number("Absolute upper-left X") - left, number("Absolute upper-left Y") - top,
            number("Width") + left + right, number("Height") + top + bottom};
}

WindowId hexId(const QString &text)
{
    const QRegularExpression pattern(QStringLiteral("0x([0-9a-fA-F]+)"));
    return pattern.match(text).captured(1).toULongLong(nullptr, 16);
}

WindowId activeWindow()
{
    return hexId(
        output(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")}));
}

bool wmctrl(const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("wmctrl"), arguments);
    return process.waitForFinished(Timeout) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

class TestWindowManager final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void positionKeptOverRestarts_data();
    void positionKeptOverRestarts();
    void secondStartBringsLanguageDialogForward();
    void startupReadFailureShowsOverMainWindow();
    void maximisedWindowStoresUsableWidth();

private:
    QProcess *startProgram();
    void writeIni(const QByteArray &settings) const;
    int storedInteger(const char *key) const;
    WindowId mainWindowOf(const QProcess *program);
    WindowId windowTransientFor(const QProcess *program, WindowId owner);
    void closeProgram(QProcess *program, WindowId window);
    bool windowsArePlaced();

    QProcess m_windowManager;
    QTemporaryDir m_folder;
    QString m_program;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

void TestWindowManager::initTestCase()
{
    for (const char *tool : {"openbox", "xdotool", "wmctrl", "xprop", "xwininfo"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is needed").arg(QLatin1String(tool))));
    }
    QVERIFY(m_folder.isValid());
    // The settings file lives beside the program, so each run gets a copy of its own.
    m_program = m_folder.filePath(QStringLiteral("sprelio"));
    QVERIFY(QFile::copy(QStringLiteral(SPRELIO_PROGRAM), m_program));
    QVERIFY(QDir(m_folder.path()).mkdir(QStringLiteral("runtime")));
    QFile(m_folder.filePath(QStringLiteral("runtime")))
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QVERIFY(m_windowManager.waitForStarted(Timeout));
    QTRY_VERIFY_WITH_TIMEOUT(wmctrl({QStringLiteral("-m")}), Timeout);
    QVERIFY2(windowsArePlaced(), "openbox never placed a window's frame where it was asked");
}

// While openbox starts up, it leaves a new window where it is instead of placing its frame; the
// tests begin once a window of the test's own lands where it asked.
bool TestWindowManager::windowsArePlaced()
{
    const QPoint asked(200, 200);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < Timeout) {
        QWindow probe;
        probe.resize(120, 80);
        probe.setFramePosition(asked);
        probe.show();
        if (QTest::qWaitFor([&] { return frameOf(probe.winId()).topLeft() == asked; }, 3000)) {
            return true;
        }
    }
    return false;
}

void TestWindowManager::cleanup()
{
    for (const auto &program : m_programs) {
        program->kill();
        program->waitForFinished(Timeout);
    }
    m_programs.clear();
}

void TestWindowManager::cleanupTestCase()
{
    m_windowManager.terminate();
    m_windowManager.waitForFinished(Timeout);
}

QProcess *TestWindowManager::startProgram()
{
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The instance lock and socket of this test stay apart from a program the user runs.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.filePath(QStringLiteral("runtime")));
    program->setProcessEnvironment(environment);
    program->setProcessChannelMode(QProcess::ForwardedChannels);
    program->start(m_program, {});
    m_programs.push_back(std::move(program));
    return m_programs.back().get();
}

void TestWindowManager::writeIni(const QByteArray &settings) const
{
    QFile ini(m_folder.filePath(QStringLiteral("sprelio.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("[Settings]\r\n" + settings);
}

int TestWindowManager::storedInteger(const char *key) const
{
    QFile ini(m_folder.filePath(QStringLiteral("sprelio.ini")));
    if (!ini.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QStringLiteral("(?m)^%1=(-?\\d+)").arg(QLatin1String(key)));
    return line.match(QString::fromLatin1(ini.readAll())).captured(1).toInt();
}

WindowId TestWindowManager::mainWindowOf(const QProcess *program)
{
    WindowId found = 0;
    const auto findMain = [&] {
        for (const WindowId window : visibleWindowsOf(program->processId())) {
            // The splash and the dialogs are dialog windows; the main window is a plain one.
            const QString type = xProperty(window, "_NET_WM_WINDOW_TYPE");
            if (type.contains(QLatin1String("_NET_WM_WINDOW_TYPE_NORMAL")) &&
                !type.contains(QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG")) && frameOf(window).isValid())
                found = window;
        }
        return found != 0;
    };
    return QTest::qWaitFor(findMain, Timeout) ? found : 0;
}

WindowId TestWindowManager::windowTransientFor(const QProcess *program, WindowId owner)
{
    WindowId found = 0;
    const auto findTransient = [&] {
        for (const WindowId window : visibleWindowsOf(program->processId())) {
            if (hexId(xProperty(window, "WM_TRANSIENT_FOR")) == owner && frameOf(window).isValid())
                found = window;
        }
        return found != 0;
    };
    return QTest::qWaitFor(findTransient, Timeout) ? found : 0;
}

void TestWindowManager::closeProgram(QProcess *program, WindowId window)
{
    // As the title bar's close button does it: the window manager asks the window to close.
    QVERIFY(wmctrl({QStringLiteral("-i"), QStringLiteral("-c"), QString::number(window)}));
    QVERIFY(program->waitForFinished(Timeout));
    QCOMPARE(program->exitCode(), 0);
}

void TestWindowManager::positionKeptOverRestarts_data()
{
    QTest::addColumn<QPoint>("moveTo");
    QTest::addColumn<int>("rounds");
    QTest::newRow("never moved") << QPoint() << 3;
    QTest::newRow("moved once, then kept") << QPoint(120, 260) << 2;
}

void TestWindowManager::positionKeptOverRestarts()
{
    QFETCH(QPoint, moveTo);
    QFETCH(int, rounds);
    writeIni("Language=0\r\nLeft=300\r\nTop=40\r\n");
    QPoint expected(300, 40);
    for (int round = 0; round < rounds; ++round) {
        QProcess *program = startProgram();
        const WindowId window = mainWindowOf(program);
        QVERIFY(window != 0);
        QTRY_COMPARE_WITH_TIMEOUT(frameOf(window).topLeft(), expected, Timeout);
        if (round == 0 && !moveTo.isNull()) {
            // Gravity 1 (north-west) asks for the frame's corner at the given place.
            QVERIFY(wmctrl({QStringLiteral("-i"), QStringLiteral("-r"), QString::number(window),
                            QStringLiteral("-e"),
                            QStringLiteral("1,%1,%2,-1,-1").arg(moveTo.x()).arg(moveTo.y())}));
            expected = moveTo;
            QTRY_COMPARE_WITH_TIMEOUT(frameOf(window).topLeft(), expected, Timeout);
        }
        closeProgram(program, window);
        QCOMPARE(QPoint(storedInteger("Left"), storedInteger("Top")), expected);
    }
}

void TestWindowManager::secondStartBringsLanguageDialogForward()
{
    writeIni(QByteArray());
    QProcess *first = startProgram();
    WindowId dialog = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        visibleWindowsOf(first->processId()).size() == 1 &&
            frameOf(dialog = visibleWindowsOf(first->processId()).constFirst()).isValid(),
        Timeout);

    // The user works in another program, whose window now has the focus.
    QWidget elsewhere;
    elsewhere.setWindowTitle(QStringLiteral("elsewhere"));
    elsewhere.setGeometry(0, 0, 1000, 800);
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowExposed(&elsewhere, Timeout));
    elsewhere.activateWindow();
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), WindowId(elsewhere.winId()), Timeout);

    QProcess *second = startProgram();
    QVERIFY(second->waitForFinished(Timeout));
    QCOMPARE(second->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(activeWindow(), dialog, Timeout);
}

void TestWindowManager::startupReadFailureShowsOverMainWindow()
{
    const QString broken = m_folder.filePath(QStringLiteral("broken.vkc"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not an assignment\r\n");
    file.close();
    writeIni("Language=0\r\nLeft=300\r\nTop=40\r\nButtonSetting=" + QFile::encodeName(broken) + "\r\n");

    QProcess *program = startProgram();
    const WindowId main = mainWindowOf(program);
    QVERIFY2(main != 0, "the main window shows with the message");
    const WindowId box = windowTransientFor(program, main);
    QVERIFY(box != 0);
    const auto centredOverMain = [&] { return frameOf(main).contains(frameOf(box).center()); };
    QVERIFY2(QTest::qWaitFor(centredOverMain, 10000),
             qPrintable(QStringLiteral("message at %1,%2 %3x%4, main window at %5,%6 %7x%8")
                            .arg(frameOf(box).x())
                            .arg(frameOf(box).y())
                            .arg(frameOf(box).width())
                            .arg(frameOf(box).height())
                            .arg(frameOf(main).x())
                            .arg(frameOf(main).y())
                            .arg(frameOf(main).width())
                            .arg(frameOf(main).height())));

    QVERIFY(wmctrl({QStringLiteral("-i"), QStringLiteral("-c"), QString::number(box)}));
    closeProgram(program, main);
    QCOMPARE(storedInteger("Left"), 300);
}

void TestWindowManager::maximisedWindowStoresUsableWidth()
{
    writeIni("Language=0\r\nLeft=300\r\nTop=40\r\nWidth=600\r\n");
    QProcess *program = startProgram();
    const WindowId window = mainWindowOf(program);
    QVERIFY(window != 0);
    QTRY_COMPARE_WITH_TIMEOUT(frameOf(window).topLeft(), QPoint(300, 40), Timeout);
    const int widthBefore = frameOf(window).width();

    QVERIFY(wmctrl({QStringLiteral("-i"), QStringLiteral("-r"), QString::number(window), QStringLiteral("-b"),
                    QStringLiteral("add,maximized_vert,maximized_horz")}));
    // The window manager may maximise it for a moment; then it must come back to its own size.
    const auto wasMaximised = [&] {
        return xProperty(window, "_NET_WM_STATE").contains(QLatin1String("MAXIMIZED"));
    };
    (void)QTest::qWaitFor(wasMaximised, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(frameOf(window).width(), widthBefore, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!xProperty(window, "_NET_WM_STATE").contains(QLatin1String("MAXIMIZED")),
                             Timeout);
    QCOMPARE(frameOf(window).width(), widthBefore);

    closeProgram(program, window);
    const int storedWidth = storedInteger("Width");
    QVERIFY2(storedWidth > 0 && storedWidth <= 1280, qPrintable(QString::number(storedWidth)));
}

QTEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
