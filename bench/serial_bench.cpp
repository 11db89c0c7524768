// Whole-process serial measurements, run by bench/serial_throughput.sh:
//
//   bench_serial throughput LINK_FOLDER COM BYTES
//       opens COM through LINK_FOLDER (the simulator's link), receives with
//       the worker thread until BYTES have arrived (or 60 s pass) and prints
//       the bytes received and the rate;
//   bench_serial count BYTES
//       reads standard input (cat or head on the same terminal) timed from
//       its first byte, for comparison;
//   bench_serial idle SECONDS
//       keeps a port open on a silent pseudo-terminal and prints the CPU the
//       process used, as a share of one core;
//   bench_serial close TIMES
//       starts the worker on a silent pseudo-terminal TIMES times and, once
//       it waits inside a read, stops it and closes the port as the window
//       does; prints the median and longest time the caller was held.
#include <pty.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "serial/receiver.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class CCountingTarget : public CReceiveTarget {
public:
    void OnChunk(const std::uint8_t*, std::size_t count) override { m_nBytes += count; }
    std::atomic<std::size_t> m_nBytes{0};
};

double ProcessCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

int Throughput(const std::string& linkFolder, int comNumber, std::size_t expected) {
    SerialPort port(linkFolder);
    if (port.OpenPort(comNumber, 256000, 8, 0, 0) != 1) {
        std::fprintf(stderr, "bench_serial: %s\n", port.LastOpenError().c_str());
        return 1;
    }
    CCountingTarget target;
    CQZSPReceive receiver;
    receiver.Start(&target, &port);
    // Timed from the first byte: the worker begins with its idle wait.
    while (target.m_nBytes == 0) {
        std::this_thread::sleep_for(1ms);
    }
    const auto start = Clock::now();
    const auto limit = start + 60s;
    while (target.m_nBytes < expected && Clock::now() < limit) {
        std::this_thread::sleep_for(1ms);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::size_t received = target.m_nBytes;
    receiver.Stop();
    std::printf("received %zu of %zu bytes (%zu lost) in %.3f s: %.2f MB/s\n", received, expected,
                expected - std::min(expected, received), seconds,
                static_cast<double>(received) / seconds / 1e6);
    return received == expected ? 0 : 1;
}

int Count(std::size_t expected) {
    std::array<char, 1 << 16> block{};
    std::size_t received = 0;
    Clock::time_point start;
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, block.data(), block.size());
        if (got <= 0) {
            break;
        }
        if (received == 0) {
            start = Clock::now();
        }
        received += static_cast<std::size_t>(got);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("received %zu of %zu bytes in %.3f s: %.2f MB/s\n", received, expected, seconds,
                static_cast<double>(received) / seconds / 1e6);
    return received == expected ? 0 : 1;
}

// A pseudo-terminal nobody writes to, opened as COM1 through a link that is
// gone again once the port is open.
class CSilentLine {
public:
    CSilentLine() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
            std::perror("bench_serial: openpty");
            return;
        }
        m_folder =
            std::filesystem::temp_directory_path() / ("marlo-silent-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        std::filesystem::create_symlink(name, m_folder / "COM1");
    }
    ~CSilentLine() {
        std::filesystem::remove_all(m_folder);
        ::close(m_master);
        ::close(m_slave);
    }
    CSilentLine(const CSilentLine&) = delete;
    CSilentLine& operator=(const CSilentLine&) = delete;

    bool Open(SerialPort& port) const {
        if (m_master < 0) {
            return false;
        }
        if (port.OpenPort(1, 115200, 8, 0, 0) != 1) {
            std::fprintf(stderr, "bench_serial: %s\n", port.LastOpenError().c_str());
            return false;
        }
        return true;
    }
    std::string LinkFolder() const { return m_folder.string() + "/"; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::filesystem::path m_folder;
};

int Idle(int seconds) {
    const CSilentLine line;
    SerialPort port(line.LinkFolder());
    if (!line.Open(port)) {
        return 1;
    }
    CCountingTarget target;
    CQZSPReceive receiver;
    const double before = ProcessCpuSeconds();
    receiver.Start(&target, &port);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    receiver.Stop();
    const double used = ProcessCpuSeconds() - before;
    std::printf("silent line, %d s: %.4f s of CPU, %.4f %% of one core\n", seconds, used,
                100.0 * used / seconds);
    return 0;
}

int Close(int times) {
    const CSilentLine line;
    SerialPort port(line.LinkFolder());
    CCountingTarget target;
    CQZSPReceive receiver;
    std::vector<double> heldMs;
    for (int i = 0; i < times; ++i) {
        if (!line.Open(port)) {
            return 1;
        }
        receiver.Start(&target, &port);
        // Past the idle wait, somewhere inside the 2.66 s read.
        std::this_thread::sleep_for(kIdleWait + std::chrono::milliseconds(20 + 37 * i % 200));
        const auto start = Clock::now();
        receiver.Stop();
        port.ClosePort();
        heldMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(heldMs.begin(), heldMs.end());
    std::printf("stop and close during a silent read, %d times: median %.3f ms, longest %.3f ms\n",
                times, heldMs[heldMs.size() / 2], heldMs.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "throughput" && argc == 5) {
        return Throughput(argv[2], std::atoi(argv[3]), std::strtoull(argv[4], nullptr, 10));
    }
    if (mode == "count" && argc == 3) {
        return Count(std::strtoull(argv[2], nullptr, 10));
    }
    if (mode == "idle" && argc == 3) {
        return Idle(std::atoi(argv[2]));
    }
    if (mode == "close" && argc == 3 && std::atoi(argv[2]) > 0) {
        return Close(std::atoi(argv[2]));
    }
    std::fprintf(stderr,
                 "usage: bench_serial throughput LINK_FOLDER COM BYTES | count BYTES | idle SECONDS"
                 " | close TIMES\n");
    return 2;
}
