#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace Sprelio {

class LocalListener;

/// The instance key of the current user on the current desktop session.
QString defaultInstanceKey();

// Keeps one running instance per key. The first process to claim a key listens on a local socket;
// a later start hands its activation request to that process and then ends.
//
// A lock held by the kernel serialises the decision between connecting and listening, so that
// simultaneous starts end with one instance; it is released when its holder ends, crash included.
// A socket left by a crashed process is recognised and replaced.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    /// An unclaimed instance for the given key, a plain name without a path.
    explicit SingleInstance(QString key, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this process now owns the key; false when a running instance was asked to come
    /// forward, in which case the caller ends without creating a window.
    bool claim();

    /// Whether claim() made this process the owner of the key.
    bool isPrimary() const { return m_primary; }
    /// Whether the owner can be reached by later starts; false when the socket could not be opened.
    bool isListening() const;
    /// Why this start could not look for a running instance, or did not trust the one it found, in
    /// the current language; empty when nothing stood in the way.
    QString problem() const;

    const QString &key() const { return m_key; }
    /// The full name of the local socket: a path on Unix, a pipe name on Windows.
    QString serverName() const;
    /// The lock that serialises claims of this key: a file in the socket's folder on Unix, a
    /// session-wide kernel object name on Windows.
    QString lockFileName() const;

signals:
    /// A later start asked this instance to bring its window forward.
    void activationRequested();

private:
    enum class Handover { Delivered, NoServer, ServerBusy, Untrusted };

    Handover handOver() const;
    void listen();
    void takeRequest(const QByteArray &line);

    QString m_key;
    // The text of what stood in the way, and what it names.
    std::uint16_t m_problemId = 0;
    QStringList m_problemArguments;
    QString m_directory;
    LocalListener *m_listener = nullptr;
    bool m_primary = false;
};

/// Brings the instance's active window forward: its open modal dialog if there is one, else the
/// main window if it is shown. Returns the window activated, or nullptr when none is shown yet.
QWidget *activateInstanceWindow(QWidget *mainWindow);

} // namespace Sprelio
