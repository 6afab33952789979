#pragma once

// An office of the converter's own: started headless with a throwaway profile, reached over a
// local pipe of a unique name, and ended with the session, also after an error or a timeout.

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace Sprelio {

class OfficeSession
{
public:
    /// Starts the watchdog: once the time limit has passed the office is ended, so that every
    /// call into it fails at once instead of waiting.
    explicit OfficeSession(std::chrono::seconds timeLimit);
    ~OfficeSession();
    OfficeSession(const OfficeSession &) = delete;
    OfficeSession &operator=(const OfficeSession &) = delete;

    /// Starts the office and connects; an empty text when that worked, otherwise why not.
    QString start();

    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> &context() const
    {
        return m_context;
    }
    const com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> &desktop() const
    {
        return m_desktop;
    }

    /// True once the time limit has ended the office.
    bool timedOut() const { return m_timedOut.load(); }

    /// Ends the office from any thread, so that the conversion fails at its next call and cleans up;
    /// for a stop that the user asked for.
    void stop();
    /// True once stop() has ended the office.
    bool stopped() const { return m_stopped.load(); }

private:
    void watch(std::chrono::seconds timeLimit);
    void endOffice();
    QString startOnce(const std::string &soffice, const std::string &program, const QString &profile);

    QTemporaryDir m_profile;
    QProcess m_process;
    std::atomic<qint64> m_pid{0};
    std::atomic<bool> m_timedOut{false};
    std::atomic<bool> m_stopped{false};
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_watchdog;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> m_context;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> m_desktop;
};

} // namespace Sprelio
