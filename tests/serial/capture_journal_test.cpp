#include "serial/capture_journal.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <thread>

#include "support/temp_folder.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int64_t kStart = 1796640486;  // 2026-12-07 10:48:06 UTC
const std::string kFile = "2026-12-07_104806_COM1.cap";

class CaptureJournal : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        TempFolder::TearDown();
    }
    bool Open(const std::string& folder) { return m_journal.Open(folder, "COM1", kStart); }
    void Append(const std::string& bytes) {
        m_journal.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    bool WaitForSyncs(std::uint64_t count, std::chrono::milliseconds limit) const {
        const auto end = Clock::now() + limit;
        while (m_journal.SyncCount() < count && Clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        return m_journal.SyncCount() >= count;
    }

    CCaptureJournal m_journal;
};

}  // namespace

TEST_F(CaptureJournal, KeepsEveryByteFromTheWorkerUnchanged) {
    std::string sent;
    for (int i = 0; i < 20000; ++i) {
        sent += static_cast<char>(i * 7 % 256);  // NULs, bad UTF-8
    }
    ASSERT_TRUE(Open(PathOf("a/b"))) << m_journal.Error();
    std::thread worker([&] {
        for (std::size_t at = 0, n = 1; at < sent.size(); at += n, n = n % 256 + 1) {
            Append(sent.substr(at, n));
        }
        Append("");
    });
    while (m_journal.BytesWritten() < sent.size() && !m_journal.Failed()) {
        std::this_thread::yield();  // read while the worker writes
    }
    worker.join();
    EXPECT_EQ(m_journal.Error(), "");
    m_journal.Close();
    EXPECT_EQ(ReadBytes("a/b/" + kFile), sent);
}

TEST_F(CaptureJournal, NamesFilesByStartTimeAndPortWithASuffixForTheSameSecond) {
    CCaptureJournal second;
    ASSERT_TRUE(Open(m_root.string()));
    ASSERT_TRUE(second.Open(m_root.string() + "/", "COM1", kStart));
    EXPECT_EQ(m_journal.Path(), PathOf(kFile));
    EXPECT_EQ(second.Path(), PathOf("2026-12-07_104806_COM1-2.cap"));
    ASSERT_TRUE(second.Open(m_root.string(), "/dev/ttyUSB0", kStart + 1));
    EXPECT_EQ(second.Path(), PathOf("2026-12-07_104807__dev_ttyUSB0.cap"));
}

TEST_F(CaptureJournal, OpenReportsAFolderThatCannotBeMadeUntilTheNextOpen) {
    WriteBytes("file", "x");
    EXPECT_FALSE(Open(PathOf("file/sub")));
    EXPECT_EQ(m_journal.Error(), "cannot create " + PathOf("file/sub") + ": Not a directory");
    EXPECT_TRUE(m_journal.Failed());
    EXPECT_EQ(m_journal.Path(), "");
    Append("dropped");
    ASSERT_TRUE(Open(m_root.string()));
    EXPECT_FALSE(m_journal.Failed());
    EXPECT_EQ(m_journal.Error(), "");
}

TEST_F(CaptureJournal, AFailedWriteKeepsWhatFitAndTheReasonAndDropsLaterAppends) {
    const std::string block(3000, 'x');
    const pid_t child = fork();  // the file-size limit must not reach this process
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        Open(m_root.string());
        Append(block);
        Append(block);  // only 1096 bytes fit
        Append(block);
        m_journal.Close();
        std::ofstream(PathOf("report"))
            << m_journal.Failed() << ' ' << m_journal.BytesWritten() << ' ' << m_journal.Error();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadBytes("report"), "1 4096 write failed: File too large");
    EXPECT_EQ(ReadBytes(kFile), std::string(4096, 'x'));
}

TEST_F(CaptureJournal, SyncsAtMostOncePerIntervalAndCloseSyncsTheRestPromptly) {
    m_journal.Close();
    ASSERT_TRUE(Open(m_root.string()));
    Append("first");
    ASSERT_TRUE(WaitForSyncs(1, 500ms));
    const auto firstSynced = Clock::now();
    Append("second");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_journal.SyncCount(), 1u);
    ASSERT_TRUE(WaitForSyncs(2, kJournalSyncInterval + 200ms));
    EXPECT_GT(Clock::now() - firstSynced, kJournalSyncInterval - 100ms);
    Append("third");  // the flusher waits out its interval again
    const auto closing = Clock::now();
    m_journal.Close();
    EXPECT_LT(Clock::now() - closing, 200ms);
    EXPECT_EQ(m_journal.SyncCount(), 3u);
    m_journal.Close();
    Append("dropped");
    EXPECT_EQ(ReadBytes(kFile), "firstsecondthird");
}
