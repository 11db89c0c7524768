// The serial receiver: a worker thread that reads the port in chunks and
// hands every chunk to a target.
#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/serial_port.h"
#include "serial/thread_control.h"

inline constexpr std::size_t kWorkerBufferBytes = 512;
// The worker's pause between read bursts, cut short by a stop.
inline constexpr std::chrono::milliseconds kIdleWait{500};

// Receives the chunks, on the worker thread.
class CReceiveTarget {
public:
    virtual ~CReceiveTarget() = default;
    // bytes are valid only during the call and are followed by zero bytes;
    // count is 1 to 256.
    //
    // The call must not wait for the thread that stops the receiver: that
    // thread blocks in StopThread until the worker returns from here. The
    // window's target therefore posts a copy to its own thread and returns at
    // once, so that closing the port while bytes arrive can never deadlock.
    virtual void OnChunk(const std::uint8_t* bytes, std::size_t count) = 0;
    // The device has gone; called once, after the chunks read before it. The
    // worker has then ended its reading, though the receiver still needs a
    // Stop (which returns at once) before the port is closed or reopened.
    // The same rule as for OnChunk holds: never wait for the stopping thread.
    virtual void OnHangUp() {}
};

class CQZSPReceive : public CQZThreadFun {
public:
    ~CQZSPReceive() override { Stop(); }

    // Starts the worker reading port into target; both must outlive Stop.
    // Lifts an earlier InterruptRead of the port.
    void Start(CReceiveTarget* target, SerialPort* port);
    // Stops and joins the worker; the port stays open for its owner to close.
    // The worker's read is interrupted, so a silent line holds nobody up;
    // the port's reads stay interrupted until the next Start or OpenPort.
    void Stop();
    bool IsRunning() const { return m_thread.m_hThread.joinable(); }

    // Idle wait, then chunks back to back while bytes flow, until stopped or
    // the device hangs up.
    std::int32_t RunThread(ThreadControl& control) override;

private:
    CReceiveTarget* m_pTarget = nullptr;
    SerialPort* m_pPort = nullptr;
    ThreadControl m_thread;
};
