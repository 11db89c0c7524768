#include "serial/serial_port.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <array>
#include <chrono>
#include <thread>

#include "pseudo_terminal.h"
#include "serial/port_holders.h"
#include "serial/port_lock.h"
#include "sleeping_child.h"
#include "support/temp_folder.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using namespace std::string_literals;

namespace {

class SerialPortTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ASSERT_TRUE(m_terminal.IsOpen());
        m_terminal.LinkAs(m_root, 3);
        std::filesystem::create_directory(m_root / "locks");
    }
    std::string Links() const { return m_root.string() + "/"; }
    std::string Locks() const { return PathOf("locks"); }
    std::string LockName() const { return "locks/" + LockFileName(m_terminal.SlavePath()); }
    // The PID the terminal's lock file holds; 0 when there is none.
    pid_t LockPid() const { return ParseLockPid(ReadBytes(LockName())); }

    PseudoTerminal m_terminal;
};

}  // namespace

TEST_F(SerialPortTest, OpensALinkedTerminalInRawModeWithTheLineParameters) {
    SerialPort port(Links(), Locks());
    ASSERT_EQ(port.OpenPort(3, 250000, 8, 0, 2), 1) << port.LastOpenError();
    EXPECT_TRUE(port.IsOpen());
    termios line{};
    ASSERT_EQ(tcgetattr(m_terminal.Slave(), &line), 0);
    EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | IXON | PARMRK), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CREAD | CLOCAL),
              CS8 | CSTOPB | CREAD | CLOCAL);
    STLineFlags flags;
    ASSERT_TRUE(GetLineFlags(m_terminal.Slave(), flags));
    EXPECT_EQ(flags.m_ulSpeed, 250000u);
    EXPECT_EQ(port.DevicePath(), m_terminal.SlavePath());
    EXPECT_EQ(port.ClosePort(), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.DevicePath(), "");
}

TEST_F(SerialPortTest, FailsWithAReasonAndTheDeviceClosed) {
    SerialPort port(Links(), Locks());
    EXPECT_EQ(port.OpenPort(-1, 115200, 8, 0, 0), -1);
    EXPECT_FALSE(port.LastOpenError().empty());
    std::filesystem::create_symlink(m_root / "missing", m_root / "COM9");
    EXPECT_EQ(port.OpenPort(9, 115200, 8, 0, 0), -1);
    EXPECT_NE(port.LastOpenError().find("No such file or directory"), std::string::npos);
    WriteBytes("COM10", "not a terminal");
    EXPECT_EQ(port.OpenPort(10, 115200, 8, 0, 0), -1);
    EXPECT_NE(port.LastOpenError().find("not a serial port"), std::string::npos);
    EXPECT_EQ(port.OpenPort(3, 115200, 8, 0, 1), -1);  // 1.5 stop bits need 5 data bits
    // A pseudo-terminal always runs 8 bits without parity: the driver refuses.
    EXPECT_EQ(port.OpenPort(3, 115200, 7, 2, 0), -1);
    EXPECT_NE(port.LastOpenError().find("refused"), std::string::npos);
    EXPECT_EQ(port.LastOpenFailure().m_strDevice, m_terminal.SlavePath());
    EXPECT_FALSE(port.LastOpenFailure().m_bInUse);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(std::filesystem::is_empty(Locks()));  // nor from COM10's file
    ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
    EXPECT_EQ(port.LastOpenError(), "");
}

TEST_F(SerialPortTest, ASecondOpenOfTheSameDeviceFails) {
    SerialPort first(Links(), Locks());
    SerialPort second(Links(), Locks());
    ASSERT_EQ(first.OpenPort(3, 115200, 8, 0, 0), 1);
    EXPECT_EQ(second.OpenPort(3, 115200, 8, 0, 0), -1);
    EXPECT_EQ(second.LastOpenFailure().m_strReason, "in use by another program");
    EXPECT_TRUE(second.LastOpenFailure().m_bInUse);
    EXPECT_EQ(LockPid(), ::getpid());  // the failed open left the first one's lock
    first.ClosePort();
    EXPECT_EQ(LockPid(), 0);
    EXPECT_EQ(second.OpenPort(3, 115200, 8, 0, 0), 1);
    EXPECT_EQ(LockPid(), ::getpid());
}

// Our own PID in a lock that no port of ours holds is left over as well.
TEST_F(SerialPortTest, AStaleLockIsReplacedAndALiveOneRefuses) {
    SerialPort port(Links(), Locks());
    const pid_t exited = CSleepingChild().Pid();  // killed and reaped at once
    for (const std::string& stale : {std::to_string(exited), std::to_string(::getpid()), "junk"s}) {
        WriteBytes(LockName(), stale + "\n");
        ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1) << port.LastOpenError();
        EXPECT_EQ(LockPid(), ::getpid());
        port.ClosePort();
        EXPECT_EQ(LockPid(), 0);
    }
    CSleepingChild owner;
    WriteBytes(LockName(), std::to_string(owner.Pid()));
    EXPECT_EQ(port.OpenPort(3, 115200, 8, 0, 0), -1);
    const std::string reason = "in use by sleep (PID " + std::to_string(owner.Pid()) + ")";
    EXPECT_EQ(port.LastOpenFailure().m_strReason, reason);
    EXPECT_TRUE(port.LastOpenFailure().m_bInUse);
    EXPECT_EQ(port.LastOpenError(), PathOf("COM3") + ": " + reason);
    EXPECT_EQ(LockPid(), owner.Pid());
    // Nor is a lock that has changed hands since the open ours to remove.
    std::filesystem::remove(PathOf(LockName()));
    ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
    WriteBytes(LockName(), std::to_string(owner.Pid()));
    port.ClosePort();
    EXPECT_EQ(LockPid(), owner.Pid());
}

TEST_F(SerialPortTest, ADeviceAnotherProcessHoldsIsRefusedUntilItEnds) {
    EXPECT_FALSE(FindPortHolder(m_terminal.SlavePath()).has_value());  // this one holds it too
    CSleepingChild holder(m_terminal.SlavePath());
    SerialPort port(Links(), Locks());
    EXPECT_EQ(port.OpenPort(3, 115200, 8, 0, 0), -1);
    EXPECT_EQ(port.LastOpenFailure().m_strReason,
              "in use by sleep (PID " + std::to_string(holder.Pid()) + ")");
    EXPECT_EQ(port.LastOpenFailure().m_strDevice, m_terminal.SlavePath());
    EXPECT_TRUE(std::filesystem::is_empty(Locks()));
    holder.Kill();
    SerialPort unlocked(Links(), PathOf("missing"));  // and no lock folder is no refusal
    EXPECT_EQ(unlocked.OpenPort(3, 115200, 8, 0, 0), 1) << unlocked.LastOpenError();
}

// As marlo-sim does, to keep the line from hanging up between readers.
TEST_F(SerialPortTest, AProcessHoldingBothEndsOfAPseudoTerminalIsItsFarEndAndNoHolder) {
    CSleepingChild simulator(m_terminal.SlavePath(), m_terminal.Master());
    SerialPort port(Links(), Locks());
    EXPECT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1) << port.LastOpenError();
}

TEST_F(SerialPortTest, OpeningDiscardsWhatWasQueuedAndABurstComesIn256ByteChunks) {
    ASSERT_TRUE(m_terminal.Send("stale"));
    SerialPort port(Links(), Locks());
    ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
    std::string sent;
    for (int i = 0; i < 600; ++i) {
        sent.push_back(static_cast<char>('0' + i % 75));
    }
    ASSERT_TRUE(m_terminal.Send(sent));
    std::array<std::uint8_t, 512> buffer{};
    std::string received;
    std::vector<std::size_t> sizes;
    while (received.size() < sent.size()) {
        const std::size_t count = port.ReadChunk(buffer);
        ASSERT_GT(count, 0u);
        sizes.push_back(count);
        received.append(reinterpret_cast<const char*>(buffer.data()), count);
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256, 88}));
    EXPECT_EQ(received, sent);
}

TEST_F(SerialPortTest, ASilentLineReadsNothingAfterTheTotalTimeOut) {
    SerialPort port(Links(), Locks());
    ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
    std::array<std::uint8_t, 512> buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(port.ReadChunk(buffer), 0u);
    const auto took = Clock::now() - start;
    EXPECT_GE(took, kReadTotalTimeout);
    EXPECT_LT(took, kReadTotalTimeout + 500ms);

    port.ClosePort();
    EXPECT_EQ(port.ReadChunk(buffer), 0u);  // closed: at once
}

// Another thread interrupts a read of the silent line; the interrupt holds
// for every later read, bytes queued meanwhile included, until it is lifted.
TEST_F(SerialPortTest, AnInterruptEndsASilentReadAndHoldsUntilLifted) {
    const struct {
        const char* lift;
        bool reopen;
    } cases[] = {{"ResumeRead", false}, {"OpenPort", true}};
    for (const auto& [lift, reopen] : cases) {
        SCOPED_TRACE(lift);
        SerialPort port(Links(), Locks());
        ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
        std::array<std::uint8_t, 512> buffer{};
        const auto start = Clock::now();
        std::thread interrupter([&port] {
            std::this_thread::sleep_for(100ms);
            port.InterruptRead();
        });
        EXPECT_EQ(port.ReadChunk(buffer), 0u);
        const auto took = Clock::now() - start;
        interrupter.join();
        EXPECT_GE(took, 100ms);
        EXPECT_LT(took, 500ms);

        ASSERT_TRUE(m_terminal.Send("abc"));
        std::this_thread::sleep_for(20ms);
        EXPECT_TRUE(port.IsReadInterrupted());
        EXPECT_EQ(port.ReadChunk(buffer), 0u);  // at once, leaving the bytes queued
        if (reopen) {
            ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);  // which purges them
            ASSERT_TRUE(m_terminal.Send("abc"));
        } else {
            port.ResumeRead();
        }
        EXPECT_FALSE(port.IsReadInterrupted());
        ASSERT_EQ(port.ReadChunk(buffer), 3u);
        EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 3), "abc");
        port.ClosePort();
        port.InterruptRead();  // harmless on a closed port
    }
}
