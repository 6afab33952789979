#include "convert/officesession.h"

#include "uno/officeconnection.h"
#include "uno/unostrings.h"

#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>

#include <csignal>
#include <unistd.h>

#include <vector>

#include <QDir>
#include <QFile>
#include <QUrl>

namespace Sprelio {

namespace {

namespace uno = com::sun::star::uno;
using rtl::OUString;

// Every process below a process, read from /proc.
std::vector<pid_t> descendantsOf(pid_t root)
{
    std::vector<std::pair<pid_t, pid_t>> parents;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const pid_t pid = entry.toInt(&isNumber);
        if (!isNumber) {
            continue;
        }
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // The parent is the second field after the name, which ends at the last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1) {
            parents.emplace_back(pid, static_cast<pid_t>(fields[1].toInt()));
        }
    }
    std::vector<pid_t> found{root};
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (const auto &[pid, parent] : parents) {
            if (parent == found[i]) {
                found.push_back(pid);
            }
        }
    }
    found.erase(found.begin());
    return found;
}

// How long one start of the office may take until it listens, and how many starts are made.
constexpr auto AnswerLimit = std::chrono::seconds(60);
constexpr int StartAttempts = 2;

} // namespace

OfficeSession::OfficeSession(std::chrono::seconds timeLimit)
{
    OfficeConnection::keepClosedPipesFromEndingTheProgram();
    m_watchdog = std::thread([this, timeLimit] { watch(timeLimit); });
}

OfficeSession::~OfficeSession()
{
    if (m_desktop.is() && !m_timedOut.load() && !m_stopped.load()) {
        try {
            m_desktop->terminate();
        } catch (const uno::Exception &) {
            // An office that has gone already needs no ending.
        }
    }
    m_desktop.clear();
    m_context.clear();
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(20000)) {
        endOffice();
        m_process.waitForFinished(5000);
    }
    // soffice is a launcher: the office itself may outlive it, and goes with its process group.
    endOffice();
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_all();
    m_watchdog.join();
}

void OfficeSession::watch(std::chrono::seconds timeLimit)
{
    std::unique_lock lock(m_mutex);
    if (m_finished.wait_for(lock, timeLimit, [this] { return m_done; })) {
        return;
    }
    m_timedOut = true;
    endOffice();
    // A call that still does not return once the office is gone would keep the program forever.
    if (!m_finished.wait_for(lock, std::chrono::seconds(30), [this] { return m_done; })) {
        std::fputs("sprelio-convert: the conversion took too long and was stopped\n", stderr);
        std::_Exit(1);
    }
}

void OfficeSession::stop()
{
    m_stopped = true;
    endOffice();
}

void OfficeSession::endOffice()
{
    const qint64 pid = m_pid.load();
    if (pid > 0) {
        // soffice is a launcher: the office is its child, or a grandchild after a restart.
        for (const pid_t descendant : descendantsOf(static_cast<pid_t>(pid))) {
            ::kill(descendant, SIGKILL);
        }
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
}

QString OfficeSession::start()
{
    if (!m_profile.isValid()) {
        return QStringLiteral("no temporary folder for the office's profile");
    }
    const std::string program = OfficeConnection::programFolder();
    const std::string soffice = OfficeConnection::sofficeIn(program);
    if (soffice.empty()) {
        return QStringLiteral("LibreOffice is not installed (soffice not found)");
    }
    // The office starts with no signal blocked; the converter blocks some for itself.
    m_process.setChildProcessModifier([] {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
    });
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    // Now and then an office ends or hangs in the first start of a new profile, mostly under load: it
    // gets a second start with a profile of its own before the conversion gives up.
    QString problem;
    for (int attempt = 1; attempt <= StartAttempts; ++attempt) {
        problem = startOnce(soffice, program, m_profile.filePath(QString::number(attempt)));
        if (problem.isEmpty() || m_timedOut || m_stopped) {
            break;
        }
        endOffice();
        m_process.waitForFinished(5000);
        m_pid = 0;
    }
    return problem;
}

QString OfficeSession::startOnce(const std::string &soffice, const std::string &program,
                                 const QString &profile)
{
    const std::string pipe = OfficeConnection::uniquePipeName("sprelio_convert_");
    m_process.start(QString::fromStdString(soffice),
                    {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                     QStringLiteral("--headless"), QStringLiteral("--invisible"),
                     QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                     QStringLiteral("--nolockcheck"), QStringLiteral("--nodefault"),
                     QString::fromStdString(OfficeConnection::acceptArgument(pipe))});
    if (!m_process.waitForStarted(30000)) {
        return QStringLiteral("LibreOffice did not start: ") + m_process.errorString();
    }
    m_pid = m_process.processId();
    if (m_stopped) {
        endOffice();
        return QStringLiteral("stopped");
    }
    // With no event loop running, only a wait lets the process see that the office has ended.
    const auto officeRuns = [this] {
        return m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(0);
    };
    try {
        const OfficeConnection::Remote remote = OfficeConnection::connect(
            OfficeConnection::localContext(program), pipe, std::chrono::steady_clock::now() + AnswerLimit,
            [&] { return officeRuns() && !m_timedOut && !m_stopped; });
        m_context = remote.context;
        m_desktop = com::sun::star::frame::Desktop::create(m_context);
    } catch (const com::sun::star::connection::NoConnectException &) {
        if (officeRuns()) {
            return QStringLiteral("LibreOffice does not answer");
        }
        return m_process.exitStatus() == QProcess::CrashExit
                   ? QStringLiteral("LibreOffice crashed while it started")
                   : QStringLiteral("LibreOffice ended while it started (exit code %1)")
                         .arg(m_process.exitCode());
    } catch (const uno::Exception &error) {
        return QStringLiteral("no connection to LibreOffice: ") + toQString(error.Message);
    }
    return {};
}

} // namespace Sprelio
