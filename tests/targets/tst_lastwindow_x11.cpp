// The last active window target against real programs under openbox: the real window sends
// n̥t͡ʃ with a real click, and each program's own text is read back.

#if defined(SPRELIO_WITH_OFFICE)
// The office's headers first: its macros collide with Qt's less this way round.
#include "officefixture.h"

#include <com/sun/star/text/XTextDocument.hpp>
#endif

#include "app/modalwatch.h"
#include "app/spreliopad.h"
#include "compose/glyphedit.h"
#include "findnamed.h"
#include "glyphbytes.h"
#include "i18n/langstr.h"
#include "palette/phoneticfonts.h"

#include <QAbstractButton>
#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

using namespace Sprelio;

namespace {

constexpr int Timeout = 30000;
constexpr int Sends = 10;
const QString Sample = QStringLiteral("n̥t͡ʃ");

// n̥t͡ʃ in the phonetic face's codes: n, the ring below, t, the tie, ʃ.
QByteArray sampleGlyphs()
{
    return bytes({110, 36, 116, 212, 83});
}

// The glyphs as an office keeps them in the phonetic face: U+F000 plus each byte.
[[maybe_unused]] QString symbolText(const QByteArray &glyphs)
{
    QString result;
    for (const char byte : glyphs) {
        result.append(QChar(static_cast<char16_t>(0xF000 + static_cast<unsigned char>(byte))));
    }
    return result;
}

// Runs read on a thread of its own while this one goes on handling events. A program that is
// pasting asks this process for the clipboard, and an office does so before it answers any other
// call: read on this thread, the paste and the read would wait for each other.
[[maybe_unused]] QString answeringMeanwhile(const std::function<QString()> &read)
{
    auto result = std::async(std::launch::async, read);
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        result.wait_for(std::chrono::milliseconds(5));
    }
    return result.get();
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(Timeout)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList &arguments)
{
    return run(QStringLiteral("xdotool"), arguments);
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Counts the requests of other programs for the clipboard's text as UTF-8: a paste asks for it
// once the paste key has been read.
class DataRequests final : public QAbstractNativeEventFilter
{
public:
    DataRequests()
    {
        if (Display *display = XOpenDisplay(nullptr)) {
            m_text = XInternAtom(display, "UTF8_STRING", False);
            XCloseDisplay(display);
        }
    }

    int count() const { return m_count; }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type == "xcb_generic_event_t") {
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST &&
                static_cast<const xcb_selection_request_event_t *>(message)->target == m_text) {
                ++m_count;
            }
        }
        return false;
    }

private:
    unsigned long m_text = 0;
    int m_count = 0;
};

// The test's own Qt editor: it writes its whole text to the file at each change.
int runEditor(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString path = QString::fromLocal8Bit(argv[2]);
    QPlainTextEdit editor;
    editor.setWindowTitle(QStringLiteral("Editor"));
    editor.resize(500, 300);
    QObject::connect(&editor, &QPlainTextEdit::textChanged, &editor, [&editor, path] {
        QFile file(path + QStringLiteral(".new"));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(editor.toPlainText().toUtf8());
            file.close();
            QFile::remove(path);
            QFile::rename(path + QStringLiteral(".new"), path);
        }
    });
    editor.show();
    return QApplication::exec();
}

} // namespace

class TestLastWindowX11 final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void noWindowKnown();
    void eachProgramReceivesTenSends_data();
    void eachProgramReceivesTenSends();
    void shiftHeldPastesOnceAndKeepsTheField();
    void closedWindowIsReported();
    void greekLayoutStillPastes();
#if defined(SPRELIO_BENCH)
    void medianOfTwentySends();
#endif

private:
    QProcess *start(const QString &program, const QStringList &arguments,
                    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    QString waitForWindowOf(const QStringList &search);
    QProcess *startEditor(const QString &path);
    void clickSend();
    QString sendExpectingMessage();
    void screenshot(const QString &name);

    QTemporaryDir m_folder;
    QProcess m_windowManager;
    std::unique_ptr<TSprelioPad> m_pad;
    GlyphEdit *m_field = nullptr;
    QString m_message;
    std::vector<std::unique_ptr<QProcess>> m_programs;
#if defined(SPRELIO_WITH_OFFICE)
    std::unique_ptr<OfficeFixture::Office> m_office;
#endif
};

void TestLastWindowX11::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb") {
        QSKIP("needs an X server");
    }
    for (const char *tool : {"openbox", "xdotool", "wmctrl"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            QSKIP(qPrintable(QStringLiteral("%1 is needed").arg(QLatin1String(tool))));
        }
    }
    QVERIFY(m_folder.isValid());
    m_windowManager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QVERIFY(m_windowManager.waitForStarted(Timeout));
    QTRY_VERIFY_WITH_TIMEOUT(!run(QStringLiteral("wmctrl"), {QStringLiteral("-m")}).isEmpty(), Timeout);

    // The window is created once the window manager runs, so that it follows the active window
    // from the start, as the program does.
    m_pad = std::make_unique<TSprelioPad>();
    // Away from the top left, where the window manager puts the other programs' windows.
    registerPhoneticFonts();
    m_pad->move(760, 560);
    m_pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pad.get()));
    findNamed<QAction>(m_pad.get(), "LetztesFenster")->trigger();
    QVERIFY(findNamed<QAction>(m_pad.get(), "LetztesFenster")->isChecked());
    // Stay on top keeps the send button above the programs that receive the text.
    auto *stayOnTop = findNamed<QAction>(m_pad.get(), "Vorne");
    if (!stayOnTop->isChecked()) {
        stayOnTop->trigger();
    }
    QVERIFY(stayOnTop->isChecked());
    m_field = findNamed<GlyphEdit>(m_pad.get(), "EditField");
}

void TestLastWindowX11::cleanup()
{
    ModalWatch::cancelAll();
    for (const auto &program : m_programs) {
        program->kill();
        program->waitForFinished(Timeout);
    }
    m_programs.clear();
}

void TestLastWindowX11::cleanupTestCase()
{
    m_pad.reset();
#if defined(SPRELIO_WITH_OFFICE)
    m_office.reset();
#endif
    m_windowManager.terminate();
    m_windowManager.waitForFinished(Timeout);
}

QProcess *TestLastWindowX11::start(const QString &program, const QStringList &arguments,
                                   const QProcessEnvironment &environment)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->start(program, arguments);
    m_programs.push_back(std::move(process));
    return m_programs.back().get();
}

// Waits for the program's window (xdotool search arguments), brings it to the front as a click
// would and returns its id.
QString TestLastWindowX11::waitForWindowOf(const QStringList &search)
{
    QString window;
    QElapsedTimer waited;
    waited.start();
    while (window.isEmpty() && waited.elapsed() < 4 * Timeout) {
        window = xdotool(QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + search)
                     .section(QLatin1Char('\n'), -1);
        if (window.isEmpty()) {
            QTest::qWait(100);
        }
    }
    if (!window.isEmpty()) {
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        const QString activated = window;
        if (!QTest::qWaitFor(
                [&activated] { return xdotool({QStringLiteral("getactivewindow")}) == activated; },
                Timeout)) {
            return {};
        }
        // The window heard of the change already; it takes note when its event loop runs, as
        // it does between a user's clicks.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    return window;
}

QProcess *TestLastWindowX11::startEditor(const QString &path)
{
    QProcess *editor = start(QCoreApplication::applicationFilePath(), {QStringLiteral("--editor"), path});
    if (waitForWindowOf({QStringLiteral("--pid"), QString::number(editor->processId())}).isEmpty()) {
        return nullptr;
    }
    return editor;
}

// A real click on the send button, which also makes the window the active one. A message that
// the send shows is closed and kept in m_message.
void TestLastWindowX11::clickSend()
{
    m_message.clear();
    ModalWatch::cancelAll();
    ModalWatch::whenModal<QMessageBox>(
        [this](QMessageBox *box) {
            m_message = box->text();
            box->accept();
        },
        nullptr, 10 * Timeout);
    const QWidget *button = findNamed<QWidget>(m_pad.get(), "EnterBtn");
    const QPoint centre = button->mapToGlobal(button->rect().center());
    xdotool({QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
             QStringLiteral("click"), QStringLiteral("1")});
}

// Clicks send and returns the text of the message box that the send shows.
QString TestLastWindowX11::sendExpectingMessage()
{
    clickSend();
    // A send that shows nothing leaves the text empty, which the caller reports.
    static_cast<void>(QTest::qWaitFor([this] { return !m_message.isEmpty(); }, 2 * Timeout));
    return m_message;
}

void TestLastWindowX11::screenshot(const QString &name)
{
    const QString folder = qEnvironmentVariable("SPRELIO_SHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        // Out of the way of what the program shows, for the picture only.
        const QPoint place = m_pad->pos();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_pad->move(screen.right() - m_pad->frameGeometry().width(),
                    screen.bottom() - m_pad->frameGeometry().height());
        QTest::qWait(500);
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QDir(folder).filePath(name + QStringLiteral(".png")));
        m_pad->move(place);
        QTest::qWait(500);
    }
}

void TestLastWindowX11::noWindowKnown()
{
    // Only the window manager and this window have been active so far.
    m_field->setGlyphs(sampleGlyphs());
    const QString message = sendExpectingMessage();
    QVERIFY2(message.startsWith(LangStr(205).left(30)), qPrintable(message));
    QCOMPARE(m_field->glyphs(), sampleGlyphs());
}

void TestLastWindowX11::eachProgramReceivesTenSends_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("xterm") << QStringLiteral("xterm");
    QTest::newRow("Qt editor") << QStringLiteral("editor");
    QTest::newRow("zenity") << QStringLiteral("zenity");
    QTest::newRow("Chromium") << QStringLiteral("chromium");
#if defined(SPRELIO_WITH_OFFICE)
    QTest::newRow("Writer") << QStringLiteral("writer");
#endif
}

void TestLastWindowX11::eachProgramReceivesTenSends()
{
    QFETCH(QString, program);
    if (program != u"editor" && program != u"writer" && QStandardPaths::findExecutable(program).isEmpty()) {
        QSKIP(qPrintable(program + QStringLiteral(" is needed")));
    }
    const QString file = m_folder.filePath(program + QStringLiteral(".txt"));
    QFile::remove(file);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    std::function<QString()> readBack = [file] { return readFile(file); };
    QString expected = Sample;
    QProcess *process = nullptr;
    QString window;
    if (program == u"xterm") {
        // The terminal's shell command writes each byte it reads to the file at once.
        process = start(program,
                        {QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                         QStringLiteral("stty -icanon -echo min 1; exec cat > '%1'").arg(file)},
                        environment);
        window = waitForWindowOf({QStringLiteral("--pid"), QString::number(process->processId())});
    } else if (program == u"editor") {
        process = startEditor(file);
        QVERIFY(process != nullptr);
    } else if (program == u"zenity") {
        // It prints the edited text when OK is pressed.
        process = start(
            program,
            {QStringLiteral("--text-info"), QStringLiteral("--editable"), QStringLiteral("--title=zenity")},
            environment);
        window = waitForWindowOf({QStringLiteral("--pid"), QString::number(process->processId())});
        readBack = {};
#if defined(SPRELIO_WITH_OFFICE)
    } else if (program == u"writer") {
        if (!m_office) {
            m_office = std::make_unique<OfficeFixture::Office>();
            const QString failure = m_office->start();
            if (failure == OfficeFixture::Office::NotInstalled) {
                QSKIP("LibreOffice is not installed");
            }
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        }
        using namespace OfficeFixture;
        const uno::Reference<text::XTextDocument> document(m_office->open("swriter"), uno::UNO_QUERY_THROW);
        window = waitForWindowOf({QStringLiteral("--class"), QStringLiteral("libreoffice-writer")});
        QVERIFY(!window.isEmpty());
        // The phonetic rich text: the glyphs in the phonetic face at the clipboard size.
        expected = symbolText(sampleGlyphs());
        readBack = [document] {
            return answeringMeanwhile([document] {
                const QString text = qs(document->getText()->getString());
                for (const auto &portion : portions(document->getText())) {
                    if (!qs(portion->getString()).isEmpty() &&
                        (qs(unoProperty<OUString>(portion, "CharFontName")) != u"Lautbild Serif" ||
                         unoProperty<float>(portion, "CharHeight") != 10.0f)) {
                        return QStringLiteral("not in Lautbild Serif 10 pt: ") + text;
                    }
                }
                return text;
            });
        };
#endif
    } else {
        // The page reports its text area's value in its title.
        const QString page = m_folder.filePath(QStringLiteral("page.html"));
        QFile html(page);
        QVERIFY(html.open(QIODevice::WriteOnly));
        html.write("<!DOCTYPE html><html><head><meta charset='utf-8'><title>empty</title></head><body>"
                   "<textarea id='t' autofocus rows='10' cols='40' "
                   "oninput=\"document.title='T['+this.value+']'\"></textarea></body></html>");
        html.close();
        QStringList arguments{QStringLiteral("--user-data-dir=") +
                                  m_folder.filePath(QStringLiteral("chromium")),
                              QStringLiteral("--no-first-run"),
                              QStringLiteral("--no-default-browser-check"),
                              QStringLiteral("--disable-gpu"),
                              QStringLiteral("--password-store=basic"),
                              QStringLiteral("--disable-features=Translate"),
                              QStringLiteral("--app=file://") + page};
        if (geteuid() == 0) {
            arguments.prepend(QStringLiteral("--no-sandbox"));
        }
        process = start(QStandardPaths::findExecutable(program), arguments, environment);
        window = waitForWindowOf({QStringLiteral("--name"), QStringLiteral("^empty")});
        readBack = [&window] {
            const QString title = xdotool({QStringLiteral("getwindowname"), window});
            const auto open = title.indexOf(QLatin1String("T["));
            const auto close = title.lastIndexOf(QLatin1Char(']'));
            return open < 0 || close < open ? QString() : title.mid(open + 2, close - open - 2);
        };
    }
    if (program != u"writer") {
        QVERIFY(process != nullptr);
        QVERIFY(process->state() == QProcess::Running);
    }
    DataRequests requests;
    qApp->installNativeEventFilter(&requests);
    const auto removeFilter = qScopeGuard([&requests] { qApp->removeNativeEventFilter(&requests); });

    for (int send = 1; send <= Sends; ++send) {
        m_field->setGlyphs(sampleGlyphs());
        const int requestsBefore = requests.count();
        clickSend();
        if (readBack) {
            static_cast<void>(QTest::qWaitFor(
                [&] { return readBack() == expected.repeated(send) || !m_message.isEmpty(); }, Timeout));
            if (readBack() != expected.repeated(send)) {
                screenshot(program + QStringLiteral("-failed"));
            }
            QVERIFY2(m_message.isEmpty(), qPrintable(m_message));
            QCOMPARE(readBack().toUcs4(), expected.repeated(send).toUcs4());
        } else {
            // Only the end result can be read: each paste has asked for the text before the next.
            QTRY_VERIFY_WITH_TIMEOUT(requests.count() > requestsBefore, Timeout);
        }
        // A send that went empties the field.
        QTRY_VERIFY_WITH_TIMEOUT(m_field->glyphs().isEmpty(), Timeout);
    }
    screenshot(program);
    if (program == u"zenity") {
        // The answer to the last request goes out before the OK key.
        QCoreApplication::processEvents();
        // A click on OK, at the bottom right of the window: the text then goes to the standard output.
        const QString geometry =
            xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const auto value = [&geometry](const char *name) {
            const QString prefix = QLatin1String(name) + QLatin1Char('=');
            for (const QString &line : geometry.split(QLatin1Char('\n'))) {
                if (line.startsWith(prefix)) {
                    return line.mid(prefix.size()).toInt();
                }
            }
            return 0;
        };
        xdotool({QStringLiteral("mousemove"), QString::number(value("X") + value("WIDTH") - 50),
                 QString::number(value("Y") + value("HEIGHT") - 28), QStringLiteral("click"),
                 QStringLiteral("1")});
        QVERIFY(process->waitForFinished(Timeout));
        QCOMPARE(QString::fromUtf8(process->readAllStandardOutput()).trimmed(), Sample.repeated(Sends));
    }
}

void TestLastWindowX11::shiftHeldPastesOnceAndKeepsTheField()
{
    const QString file = m_folder.filePath(QStringLiteral("shift.txt"));
    QVERIFY(startEditor(file) != nullptr);
    m_field->setGlyphs(sampleGlyphs());
    xdotool({QStringLiteral("keydown"), QStringLiteral("shift")});
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(readFile(file), Sample, Timeout);
    xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
    QCOMPARE(m_field->glyphs(), sampleGlyphs());
    // The next send, without Shift, goes as always: nothing was left pressed.
    clickSend();
    QTRY_COMPARE_WITH_TIMEOUT(readFile(file), Sample.repeated(2), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(m_field->glyphs().isEmpty(), Timeout);
}

void TestLastWindowX11::closedWindowIsReported()
{
    const QString file = m_folder.filePath(QStringLiteral("closed.txt"));
    QProcess *editor = startEditor(file);
    QVERIFY(editor != nullptr);
    const QString window = xdotool({QStringLiteral("getactivewindow")});
    editor->kill();
    QVERIFY(editor->waitForFinished(Timeout));
    QTRY_VERIFY_WITH_TIMEOUT(!xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), QStringLiteral("^Editor$")})
                                  .contains(window),
                             Timeout);
    m_field->setGlyphs(sampleGlyphs());
    const QString message = sendExpectingMessage();
    QVERIFY2(message.startsWith(LangStr(206).left(30)), qPrintable(message));
    QCOMPARE(m_field->glyphs(), sampleGlyphs());
}

void TestLastWindowX11::greekLayoutStillPastes()
{
    if (QStandardPaths::findExecutable(QStringLiteral("setxkbmap")).isEmpty()) {
        QSKIP("needs setxkbmap");
    }
    run(QStringLiteral("setxkbmap"), {QStringLiteral("gr")});
    const auto restore = qScopeGuard([] { run(QStringLiteral("setxkbmap"), {QStringLiteral("us")}); });
    const QString file = m_folder.filePath(QStringLiteral("greek.txt"));
    QVERIFY(startEditor(file) != nullptr);
    for (int send = 1; send <= 2; ++send) {
        m_field->setGlyphs(sampleGlyphs());
        clickSend();
        QTRY_COMPARE_WITH_TIMEOUT(readFile(file), Sample.repeated(send), Timeout);
    }
}

#if defined(SPRELIO_BENCH)
void TestLastWindowX11::medianOfTwentySends()
{
    const QString file = m_folder.filePath(QStringLiteral("bench.txt"));
    QVERIFY(startEditor(file) != nullptr);
    std::vector<qint64> times;
    // From the moment the button takes the click, not from the start of the tool that clicks.
    QElapsedTimer clock;
    auto *button = findNamed<QAbstractButton>(m_pad.get(), "EnterBtn");
    connect(button, &QAbstractButton::pressed, this, [&clock] { clock.start(); });
    for (int send = 1; send <= 20; ++send) {
        m_field->setGlyphs(sampleGlyphs());
        clock.invalidate();
        clickSend();
        QVERIFY(QTest::qWaitFor([&] { return readFile(file) == Sample.repeated(send); }, Timeout));
        QVERIFY(clock.isValid());
        times.push_back(clock.elapsed());
    }
    std::sort(times.begin(), times.end());
    qInfo("click to text in the Qt editor, median of 20 sends: %lld ms (fastest %lld, slowest %lld)",
          (times[9] + times[10]) / 2, times.front(), times.back());
}
#endif

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--editor") == 0) {
        return runEditor(argc, argv);
    }
    QApplication app(argc, argv);
    TestLastWindowX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lastwindow_x11.moc"
