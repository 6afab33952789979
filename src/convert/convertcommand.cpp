#include "convert/convertcommand.h"

#include "dialogs/messageboxes.h"
#include "dialogs/topmost.h"
#include "i18n/langstr.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

namespace Sprelio {

namespace {

// The formats that the converter writes: the copy keeps the document's own format.
const char *const DocumentPatterns = "*.odt *.docx *.doc *.rtf *.ods *.xlsx *.xls *.odp *.pptx *.ppt *.odg";

// What the converter wrote for programs (--porcelain), split at its tabs; empty when nothing.
QStringList porcelainLine(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    return QString::fromUtf8(lines.constLast()).trimmed().split(QLatin1Char('\t'));
}

// The converter's one-line message, without the program's name before it.
QString converterMessage(const QByteArray &errors, int exitCode)
{
    const QString prefix = QStringLiteral("sprelio-convert: ");
    for (const QByteArray &line : errors.split('\n')) {
        QString text = QString::fromUtf8(line).trimmed();
        if (text.isEmpty()) {
            continue;
        }
        if (text.startsWith(prefix)) {
            text = text.mid(prefix.size());
        }
        return text;
    }
    return QStringLiteral("exit code %1").arg(exitCode);
}

QString chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

} // namespace

ConvertCommand::ConvertCommand(QAction *item, QWidget *window, const QAction *stayOnTop, QObject *parent)
    : QObject(parent)
    , m_item(item)
    , m_window(window)
    , m_stayOnTop(stayOnTop)
    , m_program(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sprelio-convert")))
{
    setObjectName(QStringLiteral("ConvertCommand"));
    m_item->setVisible(available());

    // The converter keeps its own time limit; this one is for a converter that no longer answers.
    m_guard.setSingleShot(true);
    m_guard.setInterval((TimeLimitSeconds + 60) * 1000);
    connect(&m_guard, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        stopProcess();
    });
    // A converter that does not end when asked to is ended.
    m_killTimer.setSingleShot(true);
    m_killTimer.setInterval(30000);
    connect(&m_killTimer, &QTimer::timeout, this, [this] {
        if (m_process != nullptr) {
            m_process->kill();
        }
    });
}

ConvertCommand::~ConvertCommand()
{
    if (m_process == nullptr) {
        return;
    }
    m_process->disconnect(this);
    // Asked to stop, the converter ends its office too; killed, it would leave the office running.
    m_process->terminate();
    if (!m_process->waitForFinished(30000)) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool ConvertCommand::available()
{
#if defined(SPRELIO_WITH_CONVERTER)
    return true;
#else
    return false;
#endif
}

QString ConvertCommand::proposedOutput(const QString &in)
{
    const QFileInfo file(in);
    QString name = file.completeBaseName() + QStringLiteral("-unicode");
    if (!file.suffix().isEmpty()) {
        name += QLatin1Char('.') + file.suffix();
    }
    return file.absoluteDir().filePath(name);
}

void ConvertCommand::start()
{
    if (running()) {
        return;
    }
    const QString in = askInput();
    if (in.isEmpty()) {
        return;
    }
    bool overwrite = false;
    const QString out = askOutput(in, overwrite);
    if (out.isEmpty()) {
        return;
    }
    convert(in, out, overwrite);
}

QString ConvertCommand::askInput() const
{
    const TopmostBracket bracket(m_window, m_stayOnTop);
    QFileDialog dialog(m_window, LangStr(251));
    dialog.setObjectName(QStringLiteral("ConvertOpenDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("%1 (%2)").arg(LangStr(252), QLatin1String(DocumentPatterns)),
                           LangStr(253) + QStringLiteral(" (*)")});
    dialog.setDirectory(QDir::homePath());
    return chosenFile(dialog);
}

QString ConvertCommand::askOutput(const QString &in, bool &overwrite) const
{
    const TopmostBracket bracket(m_window, m_stayOnTop);
    const QString proposed = proposedOutput(in);
    QFileDialog dialog(m_window, LangStr(254));
    dialog.setObjectName(QStringLiteral("ConvertSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString suffix = QFileInfo(in).suffix();
    if (!suffix.isEmpty()) {
        dialog.setNameFilter(QStringLiteral("%1 (*.%2)").arg(LangStr(252), suffix));
        dialog.setDefaultSuffix(suffix);
    }
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    QString out = chosenFile(dialog);
    // The dialog has asked before it let an existing file be chosen.
    overwrite = !out.isEmpty() && QFileInfo::exists(out);
    return out;
}

void ConvertCommand::convert(const QString &in, const QString &out, bool overwrite)
{
    if (running()) {
        return;
    }
    m_in = in;
    m_out = out;
    m_cancelled = false;
    m_timedOut = false;

    m_process = new QProcess(this);
    m_process->setProgram(m_program);
    QStringList arguments{QStringLiteral("--porcelain"), QStringLiteral("--timeout"),
                          QString::number(TimeLimitSeconds)};
    if (overwrite) {
        arguments.append(QStringLiteral("--force"));
    }
    // A name that begins with a dash stays a name.
    arguments << QStringLiteral("--") << in << out;
    m_process->setArguments(arguments);
    connect(m_process, &QProcess::finished, this, &ConvertCommand::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &ConvertCommand::processFailed);

    // Not modal: the window stays usable while the office works, and the dialog shows only when the
    // conversion takes over a second.
    m_progress = new QProgressDialog(LangStr(255).arg(QFileInfo(in).fileName()), LangStr(78), 0, 0, m_window);
    m_progress->setObjectName(QStringLiteral("ConvertProgress"));
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(1000);
    m_progress->setValue(0);
    connect(m_progress, &QProgressDialog::canceled, this, &ConvertCommand::cancel);

    m_item->setEnabled(false);
    m_guard.start();
    m_process->start();
}

void ConvertCommand::cancel()
{
    m_cancelled = true;
    stopProcess();
}

void ConvertCommand::stopProcess()
{
    if (m_process == nullptr || m_process->state() == QProcess::NotRunning) {
        return;
    }
    // SIGTERM: the converter ends its office and removes what it had half written.
    m_process->terminate();
    m_killTimer.start();
}

void ConvertCommand::processFailed(QProcess::ProcessError error)
{
    // Every other error ends with finished().
    if (error == QProcess::FailedToStart && m_process != nullptr) {
        end(LangStr(259).arg(QDir::toNativeSeparators(m_program), m_process->errorString()), true);
    }
}

void ConvertCommand::processFinished(int exitCode, QProcess::ExitStatus status)
{
    if (m_process == nullptr) {
        return;
    }
    if (m_cancelled) {
        end(QString(), false);
        return;
    }
    const bool failure = m_timedOut || status != QProcess::NormalExit || exitCode != 0;
    end(resultText(exitCode, status), failure);
}

QString ConvertCommand::resultText(int exitCode, QProcess::ExitStatus status)
{
    const QStringList result = porcelainLine(m_process->readAllStandardOutput());
    if (m_timedOut || result.constFirst() == QLatin1String("timeout")) {
        return LangStr(261).arg(TimeLimitSeconds);
    }
    if (status != QProcess::NormalExit) {
        return LangStr(260);
    }
    if (exitCode != 0) {
        return LangStr(258).arg(converterMessage(m_process->readAllStandardError(), exitCode));
    }
    if (result.size() < 4 || result.constFirst() != QLatin1String("converted")) {
        return LangStr(258).arg(converterMessage(m_process->readAllStandardError(), exitCode));
    }
    const QString out = QDir::toNativeSeparators(m_out);
    if (result.at(1) == QLatin1String("0")) {
        return LangStr(257).arg(QFileInfo(m_in).fileName(), out);
    }
    return LangStr(256).arg(result.at(1), result.at(2), result.at(3),
                            result.mid(4).join(QStringLiteral(", ")), out);
}

void ConvertCommand::end(const QString &message, bool failure)
{
    m_guard.stop();
    m_killTimer.stop();
    // Released before the message: it is shown from inside the process's own signal.
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    delete m_progress;
    m_progress = nullptr;
    m_item->setEnabled(true);

    if (!message.isEmpty()) {
        const TopmostBracket bracket(m_window, m_stayOnTop);
        if (failure) {
            showError(message);
        } else {
            MessageInfo(m_window, message);
        }
    }
    emit finished();
}

} // namespace Sprelio
