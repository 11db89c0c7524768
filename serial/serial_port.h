// An open serial port: opened exclusively with the four line parameters,
// read in chunks with the time-outs of a polled serial line. The system only
// ever reads from the port.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>

#include "serial/line_settings.h"

inline constexpr std::size_t kChunkBytes = 256;
// A read ends this long after the last byte of a burst...
inline constexpr std::chrono::milliseconds kReadIntervalTimeout{10};
// ...or, with nothing arriving, after 10 ms per requested byte plus 100 ms.
inline constexpr std::chrono::milliseconds kReadTotalTimeout{10 * kChunkBytes + 100};

class SerialPort {
public:
    // linkFolder holds links named COMn that override the device of port n;
    // empty for none.
    explicit SerialPort(std::string linkFolder = {});
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
    // it got so far, possibly nothing, and HasHungUp turns true.
    std::size_t ReadChunk(std::span<std::uint8_t> buffer);

    // Closes the device if open; returns 0.
    int ClosePort();

    bool IsOpen() const { return m_hPort >= 0; }
    // Whether a read found the device gone; cleared by ClosePort and a
    // successful OpenPort. Safe from any thread.
    bool HasHungUp() const { return m_bHungUp; }
    // Why the last OpenPort failed, for example "Permission denied".
    const std::string& LastOpenError() const { return m_strLastOpenError; }

private:
    int Fail(const std::string& reason);

    // Held during one read.
    std::mutex m_lock;
    // The open device; -1 when closed.
    int m_hPort = -1;
    // Set by the reading thread, read by the one that owns the port.
    std::atomic<bool> m_bHungUp{false};
    std::string m_strLinkFolder;
    std::string m_strLastOpenError;
};
