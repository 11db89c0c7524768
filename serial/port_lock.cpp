#include "serial/port_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr std::string_view kDevFolder = "/dev/";
constexpr std::string_view kSpace = " \t\r\n";

pid_t ReadLockPid(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::array<char, 64> text{};
    const ssize_t got = ::read(fd, text.data(), text.size());
    ::close(fd);
    return got > 0 ? ParseLockPid({text.data(), static_cast<std::size_t>(got)}) : 0;
}

bool WriteLockPid(int fd) {
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "%10d\n", ::getpid());
    const bool written =
        length > 0 && ::write(fd, text.data(), static_cast<std::size_t>(length)) == length;
    return ::close(fd) == 0 && written;
}

}  // namespace

// A signal 0 checks that the process exists; EPERM means it does, under
// another user.
bool ProcessExists(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

std::string LockFileName(std::string_view devicePath) {
    if (devicePath.starts_with(kDevFolder)) {
        devicePath.remove_prefix(kDevFolder.size());
    }
    while (devicePath.starts_with('/')) {
        devicePath.remove_prefix(1);
    }
    std::string name = "LCK..";
    for (const char c : devicePath) {
        name.push_back(c == '/' ? '_' : c);
    }
    return name;
}

pid_t ParseLockPid(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return 0;
    }
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);
    pid_t pid = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), pid);
    const bool whole = result.ec == std::errc() && result.ptr == text.data() + text.size();
    return whole && pid > 0 ? pid : 0;
}

STLockAttempt TakePortLock(const std::string& lockPath) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            if (WriteLockPid(fd)) {
                return {ELockResult::kTaken};
            }
            ::unlink(lockPath.c_str());
            return {};
        }
        if (errno != EEXIST) {
            return {};  // no such folder, or not ours to write in
        }
        pid_t owner = ReadLockPid(lockPath);
        if (owner == 0) {
            // Its owner may have created it and not yet written: a moment
            // later tells that apart from a lock left broken.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            owner = ReadLockPid(lockPath);
        }
        if (owner == ::getpid()) {
            return {ELockResult::kOurs};
        }
        if (ProcessExists(owner)) {
            return {ELockResult::kHeld, owner};
        }
        ::unlink(lockPath.c_str());
    }
    // A stale lock that would not go (another user's in a sticky folder).
    return {};
}

void ReleasePortLock(const std::string& lockPath) {
    if (ReadLockPid(lockPath) == ::getpid()) {
        ::unlink(lockPath.c_str());
    }
}
