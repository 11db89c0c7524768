// An open serial port: opened exclusively with the four line parameters,
// read in chunks with the time-outs of a polled serial line. The system only
// ever reads from the port. While open it holds the line's UUCP lock file,
// and it refuses a device that another program holds.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "serial/line_settings.h"
#include "serial/read_interrupt.h"

inline constexpr std::size_t kChunkBytes = 256;
// A read ends this long after the last byte of a burst...
inline constexpr std::chrono::milliseconds kReadIntervalTimeout{10};
// ...or, with nothing arriving, after 10 ms per requested byte plus 100 ms.
inline constexpr std::chrono::milliseconds kReadTotalTimeout{10 * kChunkBytes + 100};

// Why an open failed, in parts for the window to word.
struct STOpenFailure {
    // The real device when the port's path resolved, else the path tried.
    std::string m_strDevice;
    // For example "Permission denied", or for a device in use
    // "in use by ModemManager (PID 712)" or "in use by another program".
    std::string m_strReason;
    // Another program has the device: its lock file, an open descriptor of
    // it, or the exclusive lock on it.
    bool m_bInUse = false;
};

class SerialPort {
public:
    // linkFolder holds links named COMn that override the device of port n;
    // empty for none. lockFolder receives the UUCP lock files; empty for none.
    explicit SerialPort(std::string linkFolder = {}, std::string lockFolder = "/run/lock");
    ~SerialPort() { ClosePort(); }
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // 1 when the port is open and configured, -1 otherwise, with the device
    // closed and the reason kept for LastOpenError.
    int OpenPort(int comNumber, std::uint32_t baudRate, std::uint8_t byteSize, std::uint8_t parity,
                 std::uint8_t stopBits);

    // Reads up to 256 bytes into buffer: ends kReadIntervalTimeout after the
    // last byte of a burst, when 256 bytes have arrived, or after
    // kReadTotalTimeout. 0 when nothing arrived or the port is closed. When
    // the device has gone (hung up, unplugged) the read ends at once with what
    // it got so far, possibly nothing, and HasHungUp turns true. After
    // InterruptRead it ends at once too, with what it got so far; bytes it
    // did not take stay queued for the next read.
    std::size_t ReadChunk(std::span<std::uint8_t> buffer);

    // Ends a ReadChunk running on another thread at once, and makes every
    // later one return at once as well, until OpenPort or ResumeRead. Safe
    // from any thread and from a signal handler; the port may be closed.
    void InterruptRead() { m_interrupt.Raise(); }
    // Lets reads wait for the line again; for whoever starts the reading
    // thread, before it starts.
    void ResumeRead() { m_interrupt.Lower(); }
    bool IsReadInterrupted() const { return m_interrupt.IsRaised(); }

    // Closes the device if open; returns 0.
    int ClosePort();

    bool IsOpen() const { return m_hPort >= 0; }
    // Whether a read found the device gone; cleared by ClosePort and a
    // successful OpenPort. Safe from any thread.
    bool HasHungUp() const { return m_bHungUp; }
    // Why the last OpenPort failed, for example "/dev/ttyS0: Permission
    // denied"; empty after a success.
    const std::string& LastOpenError() const { return m_strLastOpenError; }
    const STOpenFailure& LastOpenFailure() const { return m_stOpenFailure; }
    // The real device of the open port, for example /dev/ttyUSB0; empty when
    // closed.
    const std::string& DevicePath() const { return m_strDevicePath; }

private:
    // Closes what the attempt opened and keeps why it failed; error is the
    // text for LastOpenError.
    int Fail(std::string reason, std::string error, bool inUse = false);
    // The same, error being "<path tried>: <reason>".
    int FailOn(const std::string& path, std::string reason, bool inUse = false);

    // Held during one read.
    std::mutex m_lock;
    // Polled beside the device by every read.
    CReadInterrupt m_interrupt;
    // The open device; -1 when closed.
    int m_hPort = -1;
    // Set by the reading thread, read by the one that owns the port.
    std::atomic<bool> m_bHungUp{false};
    std::string m_strLinkFolder;
    std::string m_strLockFolder;
    // The lock file this port made or took over; empty when it holds none.
    std::string m_strLockPath;
    std::string m_strDevicePath;
    std::string m_strLastOpenError;
    STOpenFailure m_stOpenFailure;
};
