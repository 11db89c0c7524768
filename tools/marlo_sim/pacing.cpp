#include "tools/marlo_sim/pacing.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How often waits look at the stop request, and how long bytes that fall due
// are gathered into one write.
constexpr std::chrono::milliseconds kTick{10};
constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void OnStopSignal(int /*signal*/) {
    g_stopRequested = 1;
}

// Bytes an 8N1 line has started by elapsed; the first starts at once.
std::size_t BytesDue(std::int64_t baud, Clock::duration elapsed) {
    const double bytes =
        std::chrono::duration<double>(elapsed).count() * static_cast<double>(baud) / kBitsPerByte;
    return static_cast<std::size_t>(bytes) + 1;
}

// Waits a tick for the reader to make room.
void WaitForRoom(int fd) {
    pollfd entry{fd, POLLOUT, 0};
    poll(&entry, 1, static_cast<int>(kTick.count()));
}

}  // namespace

bool RequestStopOnSignals(std::string& error) {
    // No SA_RESTART: a signal may cut a wait short, it is looked at anyway.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGINT, &action, nullptr) != 0 || sigaction(SIGTERM, &action, nullptr) != 0) {
        error = std::string("cannot handle signals: ") + std::strerror(errno);
        return false;
    }
    return true;
}

bool StopRequested() {
    return g_stopRequested != 0;
}

bool SleepUnlessStopped(std::chrono::duration<double> duration) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(duration);
    for (auto now = Clock::now(); now < deadline && !StopRequested(); now = Clock::now()) {
        std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, kTick));
    }
    return !StopRequested();
}

ESendResult SendPaced(int fd, std::string_view bytes, std::int64_t baud, std::string& error) {
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (StopRequested()) {
            return ESendResult::kStopped;
        }
        const std::size_t due =
            baud == 0 ? bytes.size() : std::min(bytes.size(), BytesDue(baud, Clock::now() - start));
        if (sent == due) {
            std::this_thread::sleep_for(kTick);
            continue;
        }
        const ssize_t written = write(fd, bytes.data() + sent, due - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            error = std::string("cannot write to the pseudo-terminal: ") + std::strerror(errno);
            return ESendResult::kFailed;
        }
        WaitForRoom(fd);
    }
    return ESendResult::kSent;
}
