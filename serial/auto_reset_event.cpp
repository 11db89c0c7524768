#include "serial/auto_reset_event.h"

void CAutoResetEvent::Set() {
    {
        const std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_changed.notify_one();
}

bool CAutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    const bool signalled = m_changed.wait_for(lock, timeout, [this] { return m_bSignalled; });
    m_bSignalled = false;
    return signalled;
}
