#include "serial/serial_port.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <array>
#include <chrono>

#include "pseudo_terminal.h"
#include "support/temp_folder.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class SerialPortTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ASSERT_TRUE(m_terminal.IsOpen());
        m_terminal.LinkAs(m_root, 3);
    }
    std::string Links() const { return m_root.string() + "/"; }

    PseudoTerminal m_terminal;
};

}  // namespace

TEST_F(SerialPortTest, OpensALinkedTerminalInRawModeWithTheLineParameters) {
    SerialPort port(Links());
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
    EXPECT_EQ(port.ClosePort(), 0);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortTest, FailsWithAReasonAndTheDeviceClosed) {
    SerialPort port(Links());
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
    EXPECT_FALSE(port.IsOpen());
    ASSERT_EQ(port.OpenPort(3, 115200, 8, 0, 0), 1);
    EXPECT_EQ(port.LastOpenError(), "");
}

TEST_F(SerialPortTest, ASecondOpenOfTheSameDeviceFails) {
    SerialPort first(Links());
    SerialPort second(Links());
    ASSERT_EQ(first.OpenPort(3, 115200, 8, 0, 0), 1);
    EXPECT_EQ(second.OpenPort(3, 115200, 8, 0, 0), -1);
    EXPECT_NE(second.LastOpenError().find("in use"), std::string::npos);
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(3, 115200, 8, 0, 0), 1);
}

TEST_F(SerialPortTest, OpeningDiscardsWhatWasQueuedAndABurstComesIn256ByteChunks) {
    ASSERT_TRUE(m_terminal.Send("stale"));
    SerialPort port(Links());
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
    SerialPort port(Links());
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
