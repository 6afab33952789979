#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

class QAction;
class QProgressDialog;
class QWidget;

namespace Sprelio {

/// The window's command that makes a document readable without the phonetic fonts: it asks for the
/// document and a name for the converted copy, runs sprelio-convert beside the window, which stays
/// usable, and ends with a message that gives the counts or the error.
class ConvertCommand final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConvertCommand)

public:
    /// The time that the converter is given for one document.
    static constexpr int TimeLimitSeconds = 300;

    /// item is the command's menu item: it is disabled while a conversion runs, and hidden where this
    /// build has no converter. The dialogs belong to window; stayOnTop is the window's stay-on-top option.
    ConvertCommand(QAction *item, QWidget *window, const QAction *stayOnTop, QObject *parent);
    /// A conversion that still runs is stopped, and its office with it.
    ~ConvertCommand() override;

    /// Whether this build has the converter.
    static bool available();
    /// The converter that the command runs: sprelio-convert beside the program, unless set.
    QString program() const { return m_program; }
    void setProgram(const QString &program) { m_program = program; }

    /// Asks for a document and for the name of its converted copy, then starts the conversion.
    void start();
    /// Starts converting in into out; overwrite: an existing out may be replaced.
    void convert(const QString &in, const QString &out, bool overwrite);
    /// Whether a conversion runs.
    bool running() const { return m_process != nullptr; }

    /// The name proposed for the converted copy of in: beside it, "-unicode" added to its base name.
    static QString proposedOutput(const QString &in);

signals:
    /// A conversion has ended, and its message, if any, has been closed.
    void finished();

private:
    QString askInput() const;
    QString askOutput(const QString &in, bool &overwrite) const;
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processFailed(QProcess::ProcessError error);
    void cancel();
    void stopProcess();
    void end(const QString &message, bool failure);
    QString resultText(int exitCode, QProcess::ExitStatus status);

    QAction *m_item;
    QWidget *m_window;
    const QAction *m_stayOnTop;
    QString m_program;
    QProcess *m_process = nullptr;
    QProgressDialog *m_progress = nullptr;
    QTimer m_guard;
    QTimer m_killTimer;
    QString m_in;
    QString m_out;
    bool m_cancelled = false;
    bool m_timedOut = false;
};

} // namespace Sprelio
