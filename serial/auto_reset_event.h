// An event that wakes one waiter and then resets itself.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class CAutoResetEvent {
public:
    // Signals the event; a waiter present now or arriving later takes it.
    void Set();
    // True when the event was signalled within timeout; the signal is used up.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bSignalled = false;
};
