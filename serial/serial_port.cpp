#include "serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "serial/port_holders.h"
#include "serial/port_lock.h"
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

// What the window shows after the port's name: "in use by ...".
constexpr const char* kInUseByAnother = "in use by another program";

std::string InUseBy(pid_t pid, const std::string& name) {
    return "in use by " + (name.empty() ? std::string("another program") : name) + " (PID " +
           std::to_string(pid) + ")";
}

std::string LockPath(const std::string& folder, const std::string& device) {
    return folder + (folder.ends_with('/') ? "" : "/") + LockFileName(device);
}

}  // namespace

SerialPort::SerialPort(std::string linkFolder, std::string lockFolder)
    : m_strLinkFolder(std::move(linkFolder)), m_strLockFolder(std::move(lockFolder)) {}

int SerialPort::Fail(std::string reason, std::string error, bool inUse) {
    ClosePort();
    m_stOpenFailure.m_strReason = std::move(reason);
    m_stOpenFailure.m_bInUse = inUse;
    m_strLastOpenError = std::move(error);
    return -1;
}

int SerialPort::FailOn(const std::string& path, std::string reason, bool inUse) {
    std::string error = path + ": " + reason;
    return Fail(std::move(reason), std::move(error), inUse);
}

int SerialPort::OpenPort(int comNumber, std::uint32_t baudRate, std::uint8_t byteSize,
                         std::uint8_t parity, std::uint8_t stopBits) {
    ClosePort();
    ResumeRead();
    m_stOpenFailure = {};
    const std::string path = ResolvePortPath(comNumber, m_strLinkFolder);
    if (path.empty()) {
        std::string reason = "COM" + std::to_string(comNumber) + " is no port";
        return Fail(reason, reason);
    }
    m_stOpenFailure.m_strDevice = path;
    // Locks and /proc name the device itself, never the link to it.
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    if (!real) {
        return FailOn(path, ErrorText(errno));
    }
    const std::string device = real.get();
    m_stOpenFailure.m_strDevice = device;

    std::string leftOverLock;
    if (!m_strLockFolder.empty()) {
        const std::string lockPath = LockPath(m_strLockFolder, device);
        const STLockAttempt lock = TakePortLock(lockPath);
        switch (lock.m_eResult) {
            case ELockResult::kHeld:
                return FailOn(path, InUseBy(lock.m_nHolder, ProcessName(lock.m_nHolder)), true);
            case ELockResult::kTaken:
                m_strLockPath = lockPath;
                break;
            case ELockResult::kOurs:
                leftOverLock = lockPath;
                break;
            case ELockResult::kUnavailable:
                break;
        }
    }
    if (const auto holder = FindPortHolder(device)) {
        return FailOn(path, InUseBy(holder->m_nPid, holder->m_strName), true);
    }
    // The device, not the link: the link may change after the checks.
    m_hPort = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_hPort < 0) {
        // EBUSY is a terminal another program made exclusive (TIOCEXCL).
        return errno == EBUSY ? FailOn(path, kInUseByAnother, true)
                              : FailOn(path, ErrorText(errno));
    }
    STLineFlags current;
    if (!GetLineFlags(m_hPort, current)) {
        return FailOn(path, "not a serial port");
    }
    if (!TakeExclusively(m_hPort)) {
        return FailOn(path, kInUseByAnother, true);
    }
    // A lock with our own PID that no port of this process has open (its
    // flock would have refused ours) is left over: it is ours to remove.
    if (!leftOverLock.empty()) {
        m_strLockPath = std::move(leftOverLock);
    }
    const auto wanted = MakeRawLineFlags({baudRate, byteSize, parity, stopBits}, current);
    if (!wanted) {
        const std::string reason = "no serial line has these settings";
        return Fail(reason, reason);
    }
    STLineFlags actual;
    if (!SetLineFlags(m_hPort, *wanted) || !GetLineFlags(m_hPort, actual) ||
        !LineFlagsTaken(*wanted, actual)) {
        return FailOn(path, "the driver refused these line settings");
    }
    PurgeLine(m_hPort);
    m_strDevicePath = device;
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
        std::array<pollfd, 2> watched{pollfd{m_hPort, POLLIN, 0},
                                      pollfd{m_interrupt.Fd(), POLLIN, 0}};
        const int polled = ::poll(watched.data(), watched.size(), static_cast<int>(wait.count()));
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
        if (watched[1].revents != 0) {
            break;  // interrupted: what is not read yet stays queued
        }
        const pollfd& ready = watched[0];
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
    // After the device is closed, so that whoever waits for the lock to go
    // finds the device free.
    if (!m_strLockPath.empty()) {
        ReleasePortLock(m_strLockPath);
        m_strLockPath.clear();
    }
    m_strDevicePath.clear();
    m_bHungUp = false;
    return 0;
}
