// The receive path through the real window and a pseudo-terminal standing
// in for the tester, linked as the window's ports/COMn.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <poll.h>
#include <QCoreApplication>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/ledgermill_dlg.h"
#include "common/paths.h"
#include "persistence/setting.h"
#include "scripted_modal.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

class ReceivePath : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
        ASSERT_EQ(::openpty(&m_master, &m_slave, m_slaveName, nullptr, nullptr), 0);
        // A port number of this test's own, so parallel tests never meet.
        g_stSetting.m_nCom = 5000 + static_cast<int>(::getpid() % 4000);
        m_link =
            fs::path(GetModuleDirectory()) / "ports" / ("COM" + std::to_string(g_stSetting.m_nCom));
        fs::create_directories(m_link.parent_path());
        fs::remove(m_link);
        m_window = std::make_unique<CLedgermillDlg>();
    }
    void TearDown() override {
        m_window.reset();
        fs::remove(m_link);
        ::close(m_master);
        ::close(m_slave);
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    void Link() { fs::create_symlink(m_slaveName, m_link); }
    void Send(const std::string& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    template <class Condition>
    bool WaitFor(Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return condition();
    }
    QString RawText() const { return m_window->m_rawText.toPlainText(); }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
    int m_master = -1;
    int m_slave = -1;
    char m_slaveName[256] = {};
    fs::path m_link;
};

const std::string kMixed =
    "NAME:L1\r\nIMPACT:D\r\nVALUE:448\r\nDATE:x\r\n\r\n"
    "NAME:U1\r\nF:HV10\r\nVALUE:300\r\nDATE:y\r\n\r\n"
    "NAME:L2\r\nIMPACT:D\r\nVALUE:452\r\nDATE:z\r\n";

}  // namespace

TEST_F(ReceivePath, AFailedOpenSaysWhyInTheTooltipAndOpenRetries) {
    m_window->OnOpen();
    EXPECT_EQ(m_window->m_openButton.text(), "Open");
    EXPECT_TRUE(m_window->m_openButton.toolTip().startsWith(
        QStringLiteral("COM%1 (").arg(g_stSetting.m_nCom)));
    EXPECT_TRUE(m_pModal->m_messages.empty());
    Link();
    m_window->OnOpen();
    EXPECT_EQ(m_window->m_openButton.text(), "Close");
    EXPECT_TRUE(m_window->m_openButton.toolTip().isEmpty());
}

TEST_F(ReceivePath, RecordsArriveAndAddFilesTheAcceptedOnes) {
    Link();
    m_window->OnNew();  // a Batch batch; now Leeb
    m_window->m_pCurBatch->m_nTestMethod = kTestMethodLeeb;
    m_window->ShowBatchSelection();
    m_window->OnOpen();
    Send(kMixed.substr(0, 20));
    Send(kMixed.substr(20));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("DATE:z"); }));
    EXPECT_EQ(m_window->m_recvBuffer.m_nLength, static_cast<std::int32_t>(kMixed.size()));
    m_window->OnOpen();  // Close keeps the text
    EXPECT_EQ(m_window->m_openButton.text(), "Open");
    EXPECT_TRUE(RawText().contains("NAME:L1"));
    m_window->OnAdd();
    EXPECT_EQ(m_window->m_leebList.rowCount(), 2);
    EXPECT_EQ(m_window->m_chart.GetDataCount(), 2);
    EXPECT_EQ(m_window->m_batchList.item(0, 4)->text(), "2");
    EXPECT_EQ(m_window->m_leebList.currentRow(), 1);
    ASSERT_EQ(m_pModal->m_messages.size(), 1u);
    EXPECT_EQ(m_pModal->m_messages[0], "Marlo|Part of the data is the error data.");
    EXPECT_TRUE(RawText().isEmpty());
    EXPECT_EQ(m_window->m_recvBuffer.m_nLength, 0);
    EXPECT_EQ(m_window->m_unsaved.size(), 1u);
}

TEST_F(ReceivePath, RealTimeModeAddsWhenTheLastLineStartsWithDate) {
    Link();
    g_stSetting.m_bShowOnline = true;
    m_window->OnNew();
    m_window->m_pCurBatch->m_nTestMethod = kTestMethodLeeb;
    m_window->OnOpen();
    Send("NAME:L1\r\nIMPACT:D\r\nVALUE:448\r\nNAME2:x");
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("NAME2"); }));
    EXPECT_EQ(m_window->m_pCurBatch->m_itemVector.size(), 0u);
    Send("\r\ndate: 2016\r\n  ");
    ASSERT_TRUE(WaitFor([&] { return m_window->m_pCurBatch->m_itemVector.size() == 1; }));
    EXPECT_TRUE(RawText().isEmpty());
}

TEST_F(ReceivePath, ZeroBytesHideNothingAndSplitCharactersStayWhole) {
    m_window->OnNew();
    m_window->m_pCurBatch->m_nTestMethod = kTestMethodLeeb;
    const std::string text = "NAME:Zo\xC3\xAB\r\nIMPACT:D\r\nVALUE:4\00048\r\nDATE:x"s;
    m_window->OnSerialData(QByteArray(text.data(), 8));  // splits the two bytes of e-umlaut
    EXPECT_EQ(RawText(), "NAME:Zo");
    m_window->OnSerialData(QByteArray(text.data() + 8, static_cast<qsizetype>(text.size() - 8)));
    EXPECT_EQ(m_window->m_recvBuffer.m_nLength, static_cast<std::int32_t>(text.size()));
    EXPECT_TRUE(RawText().startsWith(QString::fromUtf8("NAME:Zo\u00EB")));
    EXPECT_TRUE(RawText().contains("VALUE:448"));

    setenv("HOME", m_root.c_str(), 1);
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("aafff.txt"), text);
    m_window->OnAdd();
    ASSERT_EQ(m_window->m_pCurBatch->m_itemVector.size(), 1u);
    EXPECT_EQ(m_window->m_pCurBatch->m_itemVector[0]->m_values, std::vector<double>{448});
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("aafff.txt"), "");
}

TEST_F(ReceivePath, AverageRecordsGoToAverageBatchesOnlyAndNeedNoBatchSelectedToWait) {
    const std::string averages =
        "NAME:A1\r\nIMPACT:D\r\nLIST:440,450,460\r\nAVE:450\r\nDATE:x\r\n\r\n"
        "NAME:A2\r\nIMPACT:D\r\nLIST:430,450\r\nAVE:440\r\nDATE:y\r\n";
    g_stSetting.m_bShowOnline = true;
    m_window->OnSerialData(QByteArray::fromStdString(averages));  // no batch: it waits
    EXPECT_TRUE(RawText().contains("NAME:A2"));
    g_stSetting.m_bShowOnline = false;

    g_stSetting.m_nTestMethod = kTestMethodLeeb;
    m_window->OnNew();  // Batch model: average records are refused
    m_window->OnAdd();
    EXPECT_EQ(m_window->m_pCurBatch->m_itemVector.size(), 0u);
    EXPECT_EQ(m_window->m_batchList.item(0, 4)->text(), "0");
    EXPECT_EQ(m_pModal->m_messages.back(), "Marlo|Part of the data is the error data.");

    m_window->m_pCurBatch->m_nTestModel = kTestModelAverage;
    m_window->ShowBatchSelection();
    m_window->OnSerialData(QByteArray::fromStdString(averages));
    m_window->OnAdd();
    EXPECT_EQ(m_window->m_leebList.rowCount(), 2);
    EXPECT_EQ(m_window->m_batchList.item(0, 4)->text(), "2");
    // The last row is selected: the chart holds that record's readings only.
    EXPECT_EQ(m_window->m_leebList.currentRow(), 1);
    EXPECT_EQ(m_window->m_chart.GetDataCount(), 2);
    EXPECT_EQ(m_window->m_valuesList.rowCount(), 2);
}

// Closing while a tester sends without pause: no hang, and what arrived in
// each open spell is the sent stream without a gap or a repeat.
TEST_F(ReceivePath, TwoHundredClosesInAFastTransmission) {
    Link();
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        std::uint8_t next = 1;
        while (sending) {
            std::array<std::uint8_t, 64> bytes{};
            for (auto& byte : bytes) {
                byte = next;
                next = static_cast<std::uint8_t>(next % 251 + 1);
            }
            pollfd writable{m_master, POLLOUT, 0};
            if (::poll(&writable, 1, 10) == 1) {
                std::size_t sent = 0;
                while (sending && sent < bytes.size()) {
                    const ssize_t written =
                        ::write(m_master, bytes.data() + sent, bytes.size() - sent);
                    sent += written > 0 ? static_cast<std::size_t>(written) : 0;
                }
            }
        }
    });
    for (int cycle = 0; cycle < 200; ++cycle) {
        m_window->OnOpen();
        ASSERT_EQ(m_window->m_openButton.text(), "Close");
        const auto life = cycle % 40 == 39 ? 600ms : 2ms;
        const auto until = std::chrono::steady_clock::now() + life;
        while (std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        m_window->OnOpen();
        QCoreApplication::processEvents();
    }
    sending = false;
    sender.join();
    QCoreApplication::processEvents();
    const ReceiveBuffer& buffer = m_window->m_recvBuffer;
    ASSERT_GT(buffer.m_nLength, 1000);
    int breaks = 0;
    for (std::int32_t i = 1; i < buffer.m_nLength; ++i) {
        breaks += buffer.m_pData[static_cast<std::size_t>(i)] !=
                          buffer.m_pData[static_cast<std::size_t>(i - 1)] % 251 + 1
                      ? 1
                      : 0;
    }
    EXPECT_LE(breaks, 200);  // at most one where each open spell began
    // The pattern is no UTF-8: each byte shows as one character, or waits
    // at the end as the possible start of one; only where two spells meet
    // can two bytes happen to form one character.
    const std::size_t shown = m_window->m_strRecvText.size() + m_window->m_strPendingBytes.size();
    EXPECT_LE(shown, static_cast<std::size_t>(buffer.m_nLength));
    EXPECT_GE(shown + 200, static_cast<std::size_t>(buffer.m_nLength));
}

TEST_F(ReceivePath, ADeviceThatVanishesCanBeClosedAndANewOneOpened) {
    Link();
    m_window->OnOpen();
    ::close(m_master);  // the far end hangs up
    m_master = -1;
    const auto until = std::chrono::steady_clock::now() + 700ms;
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    m_window->OnOpen();
    EXPECT_EQ(m_window->m_openButton.text(), "Open");
    ::close(m_slave);
    fs::remove(m_link);
    ASSERT_EQ(::openpty(&m_master, &m_slave, m_slaveName, nullptr, nullptr), 0);
    Link();
    m_window->OnOpen();
    EXPECT_EQ(m_window->m_openButton.text(), "Close");
    Send("NAME:N\r\n");
    EXPECT_TRUE(WaitFor([&] { return RawText().contains("NAME:N"); }));
}
