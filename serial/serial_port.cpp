#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "serial/port_names.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string ErrorText(int error) {
    return std::strerror(error);
}

// TIOCEXCL keeps other programs from opening the terminal (root excepted);
// the lock keeps out every other opener that asks for it, root included.
bool TakeExclusively(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::ioctl(fd, TIOCEXCL) == 0;
}

}  // namespace

SerialPort::SerialPort(std::string linkFolder) : m_strLinkFolder(std::move(linkFolder)) {}

int SerialPort::Fail(const std::string& reason) {
    ClosePort();
    m_strLastOpenError = reason;
    return -1;
}

int SerialPort::OpenPort(int comNumber, std::uint32_t baudRate, std::uint8_t byteSize,
                         std::uint8_t parity, std::uint8_t stopBits) {
    ClosePort();
    const std::string path = ResolvePortPath(comNumber, m_strLinkFolder);
    if (path.empty()) {
        return Fail("COM" + std::to_string(comNumber) + " is no port");
    }
    m_hPort = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_hPort < 0) {
        return Fail(path + ": " + ErrorText(errno));
    }
    STLineFlags current;
    if (!GetLineFlags(m_hPort, current)) {
        return Fail(path + ": not a serial port");
    }
    if (!TakeExclusively(m_hPort)) {
        return Fail(path + ": in use by another program");
    }
    const auto wanted = MakeRawLineFlags({baudRate, byteSize, parity, stopBits}, current);
    if (!wanted) {
        return Fail("no serial line has these settings");
    }
    STLineFlags actual;
    if (!SetLineFlags(m_hPort, *wanted) || !GetLineFlags(m_hPort, actual) ||
        !LineFlagsTaken(*wanted, actual)) {
        return Fail(path + ": the driver refused these line settings");
    }
    PurgeLine(m_hPort);
    m_strLastOpenError.clear();
    return 1;
}

std::size_t SerialPort::ReadChunk(std::span<std::uint8_t> buffer) {
    if (m_hPort < 0) {
        return 0;
    }
    const std::lock_guard lock(m_lock);
    const std::size_t wanted = std::min(buffer.size(), kChunkBytes);
    const Clock::time_point deadline = Clock::now() + kReadTotalTimeout;
    std::size_t count = 0;
    while (count < wanted) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            break;
        }
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (count > 0) {
            wait = std::min(wait, kReadIntervalTimeout);
        }
        pollfd ready{m_hPort, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(wait.count()));
        if (polled == 0) {
            break;  // the burst has ended, or nothing came at all
        }
        if (polled < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_bHungUp = true;
            break;
        }
        // Only POLLIN was asked for: anything else is POLLHUP, POLLERR or
        // POLLNVAL. Data still queued is read first; the next poll or read
        // then tells of the hang-up.
        if ((ready.revents & POLLIN) == 0) {
            m_bHungUp = true;
            break;
        }
        const ssize_t got = ::read(m_hPort, &buffer[count], wanted - count);
        if (got > 0) {
            count += static_cast<std::size_t>(got);
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            m_bHungUp = true;  // unplugged, or the far end closed
            break;
        }
    }
    return count;
}

int SerialPort::ClosePort() {
    if (m_hPort >= 0) {
        ::close(m_hPort);
        m_hPort = -1;
    }
    m_bHungUp = false;
    return 0;
}
