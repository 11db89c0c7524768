#include "serial/receiver.h"

#include <array>

void CQZSPReceive::Start(CReceiveTarget* target, SerialPort* port) {
    Stop();
    m_pTarget = target;
    m_pPort = port;
    m_pPort->ResumeRead();
    m_thread.StartThread(this);
}

void CQZSPReceive::Stop() {
    // The interrupt outlasts the read it ends, so a worker about to begin
    // one does not wait either.
    if (m_pPort != nullptr) {
        m_pPort->InterruptRead();
    }
    m_thread.StopThread();
    m_pTarget = nullptr;
    m_pPort = nullptr;
}

std::int32_t CQZSPReceive::RunThread(ThreadControl& control) {
    std::array<std::uint8_t, kWorkerBufferBytes> buffer{};
    while (!control.m_bStop) {
        control.m_events.front()->WaitFor(kIdleWait);
        if (control.m_bStop) {
            break;
        }
        // While bytes flow, chunks follow each other without pause; the stop
        // flag is checked after each, or a sender that never pauses would
        // keep the worker from ever seeing a stop.
        while (!control.m_bStop) {
            buffer.fill(0);
            const std::size_t count = m_pPort->ReadChunk(buffer);
            if (count > 0) {
                m_pTarget->OnChunk(buffer.data(), count);
            }
            // A gone device answers every read at once; looping on it would
            // spin, so the worker ends here.
            if (m_pPort->HasHungUp()) {
                m_pTarget->OnHangUp();
                return 0;
            }
            if (count < 1) {
                break;
            }
        }
    }
    return 0;
}
