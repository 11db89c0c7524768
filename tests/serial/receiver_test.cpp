#include "serial/receiver.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "pseudo_terminal.h"
#include "support/temp_folder.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Collects the chunks as the window would: a copy of each, under a lock.
class CCollectingTarget : public CReceiveTarget {
public:
    void OnChunk(const std::uint8_t* bytes, std::size_t count) override {
        const std::lock_guard lock(m_mutex);
        m_sizes.push_back(count);
        m_bytes.append(reinterpret_cast<const char*>(bytes), count);
        m_bTerminated = m_bTerminated && bytes[count] == 0;
    }
    // When, and what had arrived by then.
    void OnHangUp() override {
        const std::lock_guard lock(m_mutex);
        m_hangUps.emplace_back(Clock::now(), m_bytes);
        m_nWorker = ::gettid();
    }
    // The thread that reported the hang-up.
    pid_t Worker() {
        const std::lock_guard lock(m_mutex);
        return m_nWorker;
    }
    std::string Bytes() {
        const std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    std::vector<std::size_t> Sizes() {
        const std::lock_guard lock(m_mutex);
        return m_sizes;
    }
    bool AllTerminated() {
        const std::lock_guard lock(m_mutex);
        return m_bTerminated;
    }
    std::vector<std::pair<Clock::time_point, std::string>> HangUps() {
        const std::lock_guard lock(m_mutex);
        return m_hangUps;
    }

private:
    std::mutex m_mutex;
    pid_t m_nWorker = 0;
    std::string m_bytes;
    std::vector<std::size_t> m_sizes;
    bool m_bTerminated = true;
    std::vector<std::pair<Clock::time_point, std::string>> m_hangUps;
};

class ReceiverTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        m_terminal.LinkAs(m_root, 1);
        m_port = std::make_unique<SerialPort>(m_root.string() + "/", m_root.string());
        ASSERT_EQ(m_port->OpenPort(1, 115200, 8, 0, 0), 1) << m_port->LastOpenError();
    }

    template <class Condition>
    static bool WaitUntil(Condition condition, std::chrono::milliseconds limit,
                          std::chrono::milliseconds step = 5ms) {
        const auto deadline = Clock::now() + limit;
        while (!condition() && Clock::now() < deadline) {
            std::this_thread::sleep_for(step);
        }
        return condition();
    }

    static std::chrono::milliseconds TimeToStop(CQZSPReceive& receiver) {
        const auto start = Clock::now();
        receiver.Stop();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }

    PseudoTerminal m_terminal;
    // Made once the folder exists, so that COM1 is the link and never a real
    // port of the machine.
    std::unique_ptr<SerialPort> m_port;
    CCollectingTarget m_target;
    CQZSPReceive m_receiver;
};

std::string Pattern(std::size_t from, std::size_t count) {
    std::string bytes;
    for (std::size_t i = from; i < from + count; ++i) {
        bytes.push_back(static_cast<char>(1 + i % 251));
    }
    return bytes;
}

}  // namespace

TEST_F(ReceiverTest, ABurstReachesTheTargetInOrderedChunks) {
    m_receiver.Start(&m_target, m_port.get());
    const std::string sent = Pattern(0, 600);
    ASSERT_TRUE(m_terminal.Send(sent));
    ASSERT_TRUE(WaitUntil([&] { return m_target.Bytes().size() >= 600; }, 2s));
    EXPECT_LT(TimeToStop(m_receiver), 3s);
    EXPECT_EQ(m_target.Bytes(), sent);
    for (const std::size_t size : m_target.Sizes()) {
        EXPECT_LE(size, 256u);
    }
    EXPECT_TRUE(m_target.AllTerminated());
}

TEST_F(ReceiverTest, AStopDuringTheIdleWaitEndsAtOnce) {
    m_receiver.Start(&m_target, m_port.get());
    std::this_thread::sleep_for(100ms);
    EXPECT_LT(TimeToStop(m_receiver), 50ms);
    EXPECT_FALSE(m_receiver.IsRunning());
}

// As the window closes the port: stop, then close. The stop interrupts the
// silent read instead of waiting out its 2.66 s; the reopened port reads
// again. The figures are printed; bench_serial close measures them.
TEST_F(ReceiverTest, ClosingDuringASilentReadEndsAtOnceEveryTime) {
    std::mt19937 random(5);
    std::vector<double> tookMs;
    for (int cycle = 0; cycle < 20; ++cycle) {
        m_receiver.Start(&m_target, m_port.get());
        std::this_thread::sleep_for(kIdleWait + 20ms + std::chrono::milliseconds(random() % 150));
        const auto start = Clock::now();
        m_receiver.Stop();
        m_port->ClosePort();
        tookMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ASSERT_LT(tookMs.back(), 500.0) << "cycle " << cycle;
        ASSERT_EQ(m_port->OpenPort(1, 115200, 8, 0, 0), 1) << m_port->LastOpenError();
    }
    std::sort(tookMs.begin(), tookMs.end());
    std::printf("stop and close during a silent read, 20 times: median %.2f ms, most %.2f ms\n",
                tookMs[tookMs.size() / 2], tookMs.back());
    EXPECT_EQ(m_target.Bytes(), "");
}

// A stop leaves the port's reads interrupted; the next start lifts that, and
// the worker waits for and reads the line as before.
TEST_F(ReceiverTest, AStartAfterAStopReadsAsBefore) {
    m_receiver.Start(&m_target, m_port.get());
    std::this_thread::sleep_for(kIdleWait + 50ms);
    EXPECT_LT(TimeToStop(m_receiver), 500ms);
    EXPECT_TRUE(m_port->IsReadInterrupted());
    m_receiver.Start(&m_target, m_port.get());
    EXPECT_FALSE(m_port->IsReadInterrupted());
    std::this_thread::sleep_for(kIdleWait + 50ms);  // inside a read of the silent line
    const std::string sent = Pattern(0, 300);
    ASSERT_TRUE(m_terminal.Send(sent));
    ASSERT_TRUE(WaitUntil([&] { return m_target.Bytes().size() >= sent.size(); }, 2s));
    EXPECT_EQ(m_target.Bytes(), sent);
    EXPECT_LT(TimeToStop(m_receiver), 500ms);
}

// The receiver is started and stopped a thousand times while the tester
// sends without pause: no stop may hang, and what arrives is exactly the
// start of what was sent, nothing lost or repeated.
TEST_F(ReceiverTest, ThousandStartStopCyclesAgainstAnEndlessSender) {
    std::atomic<bool> sending{true};
    std::atomic<std::size_t> sent{0};
    std::thread sender([&] {
        while (sending) {
            pollfd writable{m_terminal.Master(), POLLOUT, 0};
            if (::poll(&writable, 1, 10) == 1) {
                const std::string bytes = Pattern(sent, 64);
                const ssize_t written = ::write(m_terminal.Master(), bytes.data(), bytes.size());
                sent += written > 0 ? static_cast<std::size_t>(written) : 0;
            }
        }
    });
    std::mt19937 random(7);
    for (int cycle = 0; cycle < 1000; ++cycle) {
        m_receiver.Start(&m_target, m_port.get());
        // Mostly a stop during the first idle wait; every hundredth cycle runs
        // into reading while bytes flow.
        const auto life =
            cycle % 100 == 99 ? kIdleWait + 50ms : std::chrono::milliseconds(random() % 3);
        std::this_thread::sleep_for(life);
        ASSERT_LT(TimeToStop(m_receiver), 500ms) << "cycle " << cycle;
    }
    sending = false;
    sender.join();
    const std::string received = m_target.Bytes();
    EXPECT_GT(received.size(), 1000u);
    EXPECT_LE(received.size(), sent.load());
    EXPECT_EQ(received, Pattern(0, received.size()));
}

// The hang-up discards what the terminal still holds, so the far end hangs
// up once the worker has read every byte; the last of them then usually come
// in the read that meets the hang-up.
TEST_F(ReceiverTest, AHangUpComesOnceAfterTheBytesBeforeItAndEndsTheWorker) {
    const auto queued = [&] {
        int bytes = -1;
        ::ioctl(m_terminal.Slave(), TIOCINQ, &bytes);
        return bytes;
    };
    m_receiver.Start(&m_target, m_port.get());
    const std::string sent = Pattern(0, 300);
    ASSERT_TRUE(m_terminal.Send(sent));
    ASSERT_TRUE(WaitUntil([&] { return queued() == 300; }, 1s));  // all in, the worker idle
    ASSERT_TRUE(WaitUntil([&] { return queued() == 0; }, 1s, 0ms));
    const auto hungUp = Clock::now();
    m_terminal.CloseMaster();

    ASSERT_TRUE(WaitUntil([&] { return !m_target.HangUps().empty(); }, 1s));
    EXPECT_LT(m_target.HangUps()[0].first - hungUp, 100ms);
    EXPECT_EQ(m_target.HangUps()[0].second, sent);
    // Ended by itself: gone from the process's tasks, though not joined yet
    // (counting tasks would also count a sanitizer's own threads).
    const std::string task = "/proc/self/task/" + std::to_string(m_target.Worker());
    EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(task); }, 100ms));
    EXPECT_LT(TimeToStop(m_receiver), 20ms);
    EXPECT_EQ(m_target.HangUps().size(), 1u);
    EXPECT_TRUE(m_port->HasHungUp());
    m_port->ClosePort();
    EXPECT_FALSE(m_port->HasHungUp());
}
