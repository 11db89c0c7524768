#include "serial/thread_control.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// A body that waits on its wake-up event until stopped, or returns at once.
class CBody : public CQZThreadFun {
public:
    explicit CBody(bool returnAtOnce = false) : m_bReturnAtOnce(returnAtOnce) {}
    std::int32_t RunThread(ThreadControl& control) override {
        ++m_nRuns;
        m_nMostAtOnce = std::max(m_nMostAtOnce.load(), ++m_nRunning);
        while (!m_bReturnAtOnce && !control.m_bStop) {
            control.m_events.front()->WaitFor(10s);
        }
        --m_nRunning;
        return 7;
    }
    std::atomic<int> m_nRuns{0};
    std::atomic<int> m_nRunning{0};
    std::atomic<int> m_nMostAtOnce{0};

private:
    bool m_bReturnAtOnce;
};

void ExpectIdle(const ThreadControl& control) {
    EXPECT_TRUE(control.m_bStop);
    EXPECT_FALSE(control.m_hThread.joinable());
    EXPECT_EQ(control.m_dwThreadId, 0u);
    EXPECT_EQ(control.m_pOwner, nullptr);
    EXPECT_TRUE(control.m_events.empty());
}

}  // namespace

TEST(ThreadControl, StopWithoutThreadReturnsAndStaysIdle) {
    ThreadControl control;
    control.StopThread();
    control.StopThread();
    ExpectIdle(control);
}

TEST(ThreadControl, StopWakesTheBodyJoinsAndReleases) {
    CBody body;
    ThreadControl control;
    control.StartThread(&body);
    EXPECT_FALSE(control.m_bStop);
    EXPECT_EQ(control.m_events.size(), 1u);
    const auto start = std::chrono::steady_clock::now();
    control.StopThread();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);  // woken, not timed out
    EXPECT_EQ(control.m_nExitCode, 7);
    ExpectIdle(control);
}

TEST(ThreadControl, StartingARunningRecordStopsTheOldThreadFirst) {
    CBody body;
    ThreadControl control;
    control.StartThread(&body);
    control.StartThread(&body);
    EXPECT_EQ(control.m_events.size(), 1u);
    EXPECT_FALSE(control.m_bStop);
    while (body.m_nRuns < 2) {
        std::this_thread::sleep_for(1ms);
    }
    control.StopThread();
    EXPECT_EQ(body.m_nMostAtOnce, 1);
}

TEST(ThreadControl, ABodyThatReturnsEarlyLeavesTheRecordRunningUntilStopped) {
    CBody body(true);
    ThreadControl control;
    control.StartThread(&body);
    while (body.m_nRuns == 0) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(control.m_bStop);
    EXPECT_TRUE(control.m_hThread.joinable());
    control.StopThread();
    ExpectIdle(control);
}

TEST(AutoResetEvent, OneSignalWakesOneWait) {
    CAutoResetEvent event;
    EXPECT_FALSE(event.WaitFor(1ms));
    event.Set();
    event.Set();
    EXPECT_TRUE(event.WaitFor(0ms));
    EXPECT_FALSE(event.WaitFor(1ms));
}
