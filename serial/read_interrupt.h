// A latch that cuts a port's poll short: an eventfd that stays readable from
// Raise until Lower, so it wakes a poll running now and every later one.
// Raise may be called from any thread, and from a signal handler.
#pragma once

class CReadInterrupt {
public:
    // Made once, close-on-exec and non-blocking. Without a descriptor (the
    // process ran out of them) the latch never rises and reads simply run
    // to their time-outs.
    CReadInterrupt();
    ~CReadInterrupt();
    CReadInterrupt(const CReadInterrupt&) = delete;
    CReadInterrupt& operator=(const CReadInterrupt&) = delete;

    // Only write(2) on the eventfd: thread-safe and async-signal-safe.
    void Raise();
    // Drains the eventfd; whoever calls it must know that no Raise is meant
    // for the reads that follow.
    void Lower();
    bool IsRaised() const;
    // For a poll set, POLLIN while raised; -1 when there is none (poll then
    // passes the entry over).
    int Fd() const { return m_hEvent; }

private:
    int m_hEvent = -1;
};
