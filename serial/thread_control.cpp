#include "serial/thread_control.h"

#include <unistd.h>

#include <system_error>

void ThreadControl::StartThread(CQZThreadFun* owner) {
    StopThread();
    m_bStop = false;
    m_pOwner = owner;
    m_events.push_back(std::make_unique<CAutoResetEvent>());
    try {
        m_hThread = std::thread([this] { m_nExitCode = ThreadEntry(*this); });
    } catch (const std::system_error&) {
        // No thread: the record stays without one, as a failed start leaves it.
    }
}

void ThreadControl::StopThread() {
    m_bStop = true;
    for (const auto& event : m_events) {
        event->Set();
    }
    if (m_hThread.joinable()) {
        m_hThread.join();
    }
    m_hThread = std::thread();
    m_dwThreadId = 0;
    m_pOwner = nullptr;
    ReleaseEvents();
}

void ThreadControl::ReleaseEvents() {
    m_events.clear();
}

std::int32_t ThreadEntry(ThreadControl& control) {
    control.m_dwThreadId = static_cast<std::uint32_t>(::gettid());
    return control.m_pOwner ? control.m_pOwner->RunThread(control) : 0;
}
