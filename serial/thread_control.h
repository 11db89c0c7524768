// A worker thread owned by a control record: the control record starts the
// thread, gives it a stop flag and a wake-up event, and joins it on stop; an
// object derived from CQZThreadFun supplies the thread body.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "serial/auto_reset_event.h"

struct ThreadControl;

class CQZThreadFun {
public:
    virtual ~CQZThreadFun() = default;
    // The thread body; returns the thread's exit code. It must return soon
    // after control.m_bStop is set.
    virtual std::int32_t RunThread(ThreadControl& control) = 0;
};

struct ThreadControl {
    // True when no thread runs or a stop has been requested.
    std::atomic<bool> m_bStop{true};
    std::thread m_hThread;
    // Kernel id of the running thread, 0 when none; set by the thread itself.
    std::atomic<std::uint32_t> m_dwThreadId{0};
    CQZThreadFun* m_pOwner = nullptr;
    // Wake-up events; a started thread has exactly one, at index 0.
    std::vector<std::unique_ptr<CAutoResetEvent>> m_events;
    // The body's result once the thread has ended.
    std::int32_t m_nExitCode = 0;

    ThreadControl() = default;
    ThreadControl(const ThreadControl&) = delete;
    ThreadControl& operator=(const ThreadControl&) = delete;
    ~ThreadControl() { StopThread(); }

    // Stops any running thread, then starts one running owner's RunThread.
    // Called on the controlling thread only.
    void StartThread(CQZThreadFun* owner);
    // Requests the stop, wakes the thread and waits until it has ended. Safe
    // when no thread runs, and safe twice.
    void StopThread();
    void ReleaseEvents();
};

// The thread's start routine: runs the owner's body, if any.
std::int32_t ThreadEntry(ThreadControl& control);
