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
//       process used, as a share of one core.
#include <pty.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

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

int Idle(int seconds) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("bench_serial: openpty");
        return 1;
    }
    const auto folder = std::filesystem::temp_directory_path() /
                        ("marlo-idle-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(name, folder / "COM1");
    SerialPort port(folder.string() + "/");
    const int opened = port.OpenPort(1, 115200, 8, 0, 0);
    std::filesystem::remove_all(folder);
    if (opened != 1) {
        std::fprintf(stderr, "bench_serial: %s\n", port.LastOpenError().c_str());
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
    ::close(master);
    ::close(slave);
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
    std::fprintf(stderr,
                 "usage: bench_serial throughput LINK_FOLDER COM BYTES | count BYTES | idle SECONDS\n");
    return 2;
}
