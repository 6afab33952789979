#include "app/claimlock.h"

#include <qt_windows.h>

#include <string>

namespace Sprelio {

struct ClaimLock::Native
{
    HANDLE mutex = nullptr;
    bool held = false;
};

ClaimLock::ClaimLock(QString name)
    : m_name(std::move(name))
    , m_native(std::make_unique<Native>())
{}

ClaimLock::~ClaimLock()
{
    unlock();
    if (m_native->mutex != nullptr)
        CloseHandle(m_native->mutex);
}

bool ClaimLock::isLocked() const
{
    return m_native->held;
}

bool ClaimLock::lock(std::chrono::milliseconds timeout)
{
    if (isLocked())
        return true;
    if (m_native->mutex == nullptr) {
        const std::wstring name = m_name.toStdWString();
        m_native->mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        if (m_native->mutex == nullptr)
            return false;
    }
    // A mutex whose holder ended without releasing it comes to the next waiter as abandoned; the
    // claim it guarded was never finished, so it is taken like a released one.
    const DWORD result = WaitForSingleObject(m_native->mutex, DWORD(timeout.count()));
    m_native->held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return m_native->held;
}

void ClaimLock::unlock()
{
    if (!isLocked())
        return;
    ReleaseMutex(m_native->mutex);
    m_native->held = false;
}

} // namespace Sprelio
