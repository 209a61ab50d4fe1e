#include "tools/AutoResetEvent.h"

void CAutoResetEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_condition.notify_one();
}

void CAutoResetEvent::Reset() {
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

bool CAutoResetEvent::Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    // A poll must not enter the kernel: a timed wait that has already expired still does,
    // and may give the processor away.
    if (timeout.count() <= 0 && !m_signalled)
        return false;
    if (!m_condition.wait_for(lock, timeout, [this] { return m_signalled; }))
        return false;
    m_signalled = false;
    return true;
}

void CAutoResetEvent::Wait() {
    std::unique_lock lock(m_mutex);
    m_condition.wait(lock, [this] { return m_signalled; });
    m_signalled = false;
}
