// The receive session on its own, without a window, against a
// pseudo-terminal standing in for the tester.
#include "app/receive_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <fcntl.h>

#include "port_fixture.h"

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

class ReceiveSession : public PortFixture {
protected:
    void SetUp() override {
        PortFixture::SetUp();
        m_session = std::make_unique<CReceiveSession>(GetModuleDirectory() + "ports/", LockFolder(),
                                                      JournalFolder());
    }
    void TearDown() override {
        m_session.reset();
        PortFixture::TearDown();
    }

    bool Open() { return m_session->Open({g_stSetting.m_nCom, {9600, 8, 0, 0}}); }
    std::string Buffer() const {
        const ReceiveBuffer& buffer = m_session->Buffer();
        return {reinterpret_cast<const char*>(buffer.m_pData.get()),
                static_cast<std::size_t>(buffer.m_nLength)};
    }
    bool Received(std::size_t bytes) {
        return WaitFor([&] { return Buffer().size() >= bytes; });
    }

    std::unique_ptr<CReceiveSession> m_session;
};

}  // namespace

TEST_F(ReceiveSession, JournalHoldsExactlyTheBytesReceivedInEachSpell) {
    Link();
    ASSERT_TRUE(Open());
    const std::string first = LeebRecord("P1") + "\0\xFF noise"s;
    Send(first);
    ASSERT_TRUE(Received(first.size()));
    const std::string journal = m_session->JournalPath();
    EXPECT_EQ(std::filesystem::path(journal).parent_path(), JournalFolder());
    EXPECT_TRUE(std::filesystem::path(journal).filename().string().ends_with(
        "_COM" + std::to_string(g_stSetting.m_nCom) + ".cap"));
    m_session->Close();
    std::ifstream in(journal, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), first);

    // A Clear loses nothing that reached the program; the next spell has a
    // journal of its own.
    m_session->Clear();
    ASSERT_TRUE(Open());
    Send("NAME:P2\r\n");
    ASSERT_TRUE(Received(9));
    EXPECT_NE(m_session->JournalPath(), journal);
    EXPECT_EQ(m_session->SpellBytes(), 9u);
    EXPECT_TRUE(m_session->JournalError().empty());
}

TEST_F(ReceiveSession, AnUnwritableJournalIsReportedAndReceivingGoesOn) {
    WriteBytes("file", "x");
    m_session = std::make_unique<CReceiveSession>(GetModuleDirectory() + "ports/", LockFolder(),
                                                  PathOf("file") + "/captures");
    Link();
    ASSERT_TRUE(Open());
    EXPECT_FALSE(m_session->JournalError().empty());
    Send(LeebRecord("P1"));
    EXPECT_TRUE(Received(LeebRecord("P1").size()));
}

TEST_F(ReceiveSession, TakingLeavesARecordStillArrivingAndCountsWhatASpellLeftCutOff) {
    Link();
    ASSERT_TRUE(Open());
    const std::string second = LeebRecord("P2", "100746.9,987.5");
    const std::size_t cut = second.find("987");
    Send(LeebRecord("P1") + "\r\n" + second.substr(0, cut));
    ASSERT_TRUE(Received(LeebRecord("P1").size() + 2 + cut));
    STTakenRecords taken = m_session->TakeRecords();
    ASSERT_EQ(taken.m_records.size(), 1u);
    EXPECT_EQ(taken.m_nCutOff, 0u);
    EXPECT_EQ(Buffer(), second.substr(0, cut));  // still arriving
    Send(second.substr(cut));
    ASSERT_TRUE(Received(second.size()));
    taken = m_session->TakeRecords();
    ASSERT_EQ(taken.m_records.size(), 1u);
    EXPECT_NE(taken.m_records[0].find(u"VALUE:100746.9,987.5"), std::u16string::npos);
    EXPECT_EQ(taken.m_journals, std::vector<std::string>{m_session->JournalPath()});

    // Closed inside a record: its tail never joins the next spell's record.
    Send("NAME:P3\r\nIMPACT:D\r\nVALUE:4");
    ASSERT_TRUE(Received(26));
    m_session->Close();
    ASSERT_TRUE(Open());
    Send(LeebRecord("P4"));
    ASSERT_TRUE(Received(26 + LeebRecord("P4").size()));
    taken = m_session->TakeRecords();
    ASSERT_EQ(taken.m_records.size(), 1u);
    EXPECT_NE(taken.m_records[0].find(u"NAME:P4"), std::u16string::npos);
    EXPECT_EQ(taken.m_nCutOff, 1u);
    EXPECT_EQ(taken.m_journals.size(), 2u);
    EXPECT_TRUE(Buffer().empty());
}

TEST_F(ReceiveSession, ADateLineWithoutLineEndIsCompleteAfterAQuietSpell) {
    m_session->ApplyChunk("NAME:P1\r\nIMPACT:D\r\nDATE:2026-1");
    EXPECT_FALSE(m_session->RecordsReady());  // a chunk may end inside the DATE line
    m_session->ApplyChunk("2-07 10:48:06");
    EXPECT_FALSE(m_session->RecordsReady());
    EXPECT_EQ(m_session->TakeRecords().Count(), 0u);
    bool quiet = false;
    QObject::connect(m_session.get(), &CReceiveSession::lineQuiet, [&quiet] { quiet = true; });
    ASSERT_TRUE(WaitFor([&] { return quiet; }, 2s));
    EXPECT_EQ(m_session->WholeRecordsReady(), 1u);
    const STTakenRecords taken = m_session->TakeRecords();
    ASSERT_EQ(taken.m_records.size(), 1u);
    EXPECT_NE(taken.m_records[0].find(u"DATE:2026-12-07 10:48:06"), std::u16string::npos);
    EXPECT_TRUE(taken.m_journals.empty());  // no port: no journal
    EXPECT_TRUE(Buffer().empty());
}

TEST_F(ReceiveSession, AHungUpDeviceIsWaitedForAndReopenedWhenItReturns) {
    Link();
    ASSERT_TRUE(Open());
    const std::string journal = m_session->JournalPath();
    Send("NAME:P1\r\nIMPACT:D\r\nVAL");
    ASSERT_TRUE(Received(22));
    bool ended = false;
    QObject::connect(m_session.get(), &CReceiveSession::spellEnded, [&ended] { ended = true; });
    HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_session->State() == EPortState::kWaitingForDevice; }, 1s));
    EXPECT_TRUE(ended);
    EXPECT_FALSE(m_session->IsOpen());
    Pump(600ms);  // the old device stays gone
    EXPECT_EQ(m_session->State(), EPortState::kWaitingForDevice);

    CloseTerminal();
    NewTerminal();
    Link();  // the adapter is plugged back in
    ASSERT_TRUE(WaitFor([&] { return m_session->State() == EPortState::kOpen; }, 2s));
    EXPECT_TRUE(m_session->Reopened());
    EXPECT_NE(m_session->JournalPath(), journal);
    Send(LeebRecord("P2"));
    ASSERT_TRUE(Received(22 + LeebRecord("P2").size()));
    const STTakenRecords taken = m_session->TakeRecords();
    EXPECT_EQ(taken.m_records.size(), 1u);
    EXPECT_EQ(taken.m_nCutOff, 1u);

    // The operator's Close ends a wait for the device.
    HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_session->State() == EPortState::kWaitingForDevice; }, 1s));
    m_session->Close();
    EXPECT_EQ(m_session->State(), EPortState::kClosed);
    CloseTerminal();
    NewTerminal();
    Link();
    Pump(700ms);
    EXPECT_EQ(m_session->State(), EPortState::kClosed);
}

TEST_F(ReceiveSession, APortHeldByAnotherProgramIsRefusedNamingIt) {
    Link();
    // The child says when it holds the terminal as another program would: its
    // copy of the far end closed (the fork hands it both ends), the near end
    // open.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        ::close(m_master);
        const int fd = ::open(m_strSlave.c_str(), O_RDWR | O_NOCTTY);
        const char held = fd >= 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t told = ::write(ready[1], &held, 1);
        ::pause();
        _exit(0);
    }
    ::close(ready[1]);
    char held = 0;
    const ssize_t heard = ::read(ready[0], &held, 1);
    ::close(ready[0]);
    ASSERT_EQ(heard, 1);
    ASSERT_EQ(held, 1);
    EXPECT_FALSE(Open());
    EXPECT_EQ(m_session->State(), EPortState::kFailed);
    EXPECT_TRUE(m_session->Failure().m_bInUse);
    EXPECT_NE(m_session->Failure().m_strReason.find("(PID " + std::to_string(holder) + ")"),
              std::string::npos);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(Open());
}

TEST_F(ReceiveSession, AStaleLockFileIsTakenOver) {
    Link();
    const pid_t gone = ::fork();
    if (gone == 0) {
        _exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string name = m_strSlave.substr(std::string("/dev/").size());
    const std::string lock =
        LockFolder() + "/LCK.." + std::string(name).replace(name.find('/'), 1, "_");
    std::ofstream(lock) << std::string(10 - std::to_string(gone).size(), ' ') << gone << '\n';
    ASSERT_TRUE(Open());
    std::ifstream in(lock);
    pid_t owner = 0;
    in >> owner;
    EXPECT_EQ(owner, ::getpid());
    m_session->Close();
    EXPECT_FALSE(std::filesystem::exists(lock));
}

// The reader waits up to seconds for a byte; Close must not wait with it.
TEST_F(ReceiveSession, CloseOnASilentLineReturnsAtOnce) {
    Link();
    for (const auto silence : {50ms, 400ms, 900ms}) {
        ASSERT_TRUE(Open());
        Pump(silence);
        const auto start = std::chrono::steady_clock::now();
        m_session->Close();
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_LT(took, 500ms) << "after " << silence.count() << " ms of silence";
    }
}
