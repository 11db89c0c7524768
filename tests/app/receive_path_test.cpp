// The receive path through the real window and a pseudo-terminal standing
// in for the tester, linked as the window's ports/COMn.
#include <gtest/gtest.h>
#include <poll.h>

#include <QApplication>
#include <QKeyEvent>
#include <array>
#include <atomic>
#include <random>

#include "app/ledgermill_dlg.h"
#include "app/window_text.h"
#include "common/number_text.h"
#include "instrument/capability.h"
#include "list_cells.h"
#include "model/statistics.h"
#include "persistence/batch_file_writer.h"
#include "port_fixture.h"
#include "scripted_modal.h"

using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

class ReceivePath : public PortFixture {
protected:
    void SetUp() override {
        PortFixture::SetUp();
        m_pModal = InstallScriptedModal();
        m_window = std::make_unique<CLedgermillDlg>(nullptr, LockFolder(), JournalFolder());
    }
    void TearDown() override {
        m_window.reset();
        CModal::Install(nullptr);
        PortFixture::TearDown();
    }

    // A new Leeb batch of the given model, selected and on display.
    STLedgermill& NewLeebBatch(int model = kTestModelBatch) {
        g_stSetting.m_nTestMethod = kTestMethodLeeb;
        g_stSetting.m_nTestModel = model;
        m_window->OnNew();
        return *m_window->m_pCurBatch;
    }
    QString RawText() const {
        m_window->m_rawView.Flush();
        return m_window->m_rawText.toPlainText();
    }
    std::size_t Buffered() const {
        return static_cast<std::size_t>(m_window->m_receive.Buffer().m_nLength);
    }
    std::size_t Filed() const { return m_window->m_pCurBatch->m_itemVector.size(); }
    std::u16string FiledField(std::size_t index, std::u16string_view key) const {
        return m_window->m_pCurBatch->m_itemVector.at(index)->m_subItem.at(std::u16string(key));
    }
    QString Notice() const {
        return m_window->m_refusalNotice.IsOpen() ? m_window->m_refusalNotice.Text() : QString();
    }
    void OpenPort() {
        m_window->OnOpen();
        ASSERT_EQ(m_window->m_openButton.text(), "Close");
    }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
};

const std::string kMixed =
    "NAME:L1\r\nIMPACT:D\r\nVALUE:448\r\nDATE:x\r\n\r\n"
    "NAME:U1\r\nF:HV10\r\nVALUE:300\r\nDATE:y\r\n\r\n"
    "NAME:L2\r\nIMPACT:D\r\nVALUE:452\r\nDATE:z\r\n";

const std::string kUciRecord = "NAME:U1\r\nF:HV10\r\nVALUE:300\r\nDATE:y\r\n";

}  // namespace

TEST_F(ReceivePath, AFailedOpenSaysWhyInTheTooltipAndTheStatusLineAndOpenRetries) {
    m_window->OnOpen();
    EXPECT_EQ(m_window->m_openButton.text(), "Open");
    const QString why = m_window->m_openButton.toolTip();
    EXPECT_TRUE(why.startsWith(QStringLiteral("COM%1 (").arg(g_stSetting.m_nCom)))
        << why.toStdString();
    EXPECT_EQ(m_window->m_statusBar.PortText(), why);
    EXPECT_FALSE(m_window->m_refusalNotice.IsOpen());
    Link();
    OpenPort();
    EXPECT_TRUE(m_window->m_openButton.toolTip().isEmpty());
    EXPECT_EQ(m_window->m_statusBar.PortText(), QStringLiteral("COM%1 \u2192 %2, 115200 8N1")
                                                    .arg(g_stSetting.m_nCom)
                                                    .arg(QString::fromStdString(m_strSlave)));
    EXPECT_TRUE(m_window->m_statusBar.JournalText().startsWith("Journal: "));
    Send(kMixed);
    ASSERT_TRUE(WaitFor([&] { return Buffered() == kMixed.size(); }));
    m_window->m_statusBar.Refresh();
    EXPECT_EQ(m_window->m_statusBar.CountsText(),
              QStringLiteral("%1 bytes, 3 records").arg(kMixed.size()));
}

TEST_F(ReceivePath, RecordsArriveAndAddFilesTheAcceptedOnes) {
    Link();
    NewLeebBatch();
    OpenPort();
    Send(kMixed.substr(0, 20));
    Send(kMixed.substr(20));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("DATE:z"); }));
    EXPECT_EQ(Buffered(), kMixed.size());
    m_window->OnOpen();  // Close keeps the text
    EXPECT_EQ(m_window->m_openButton.text(), "Open");
    EXPECT_TRUE(RawText().contains("NAME:L1"));
    m_window->OnAdd();
    EXPECT_EQ(m_window->m_leebList.rowCount(), 2);
    EXPECT_EQ(m_window->m_chart.GetDataCount(), 2);
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "2");
    EXPECT_EQ(m_window->m_leebList.currentRow(), 1);
    const QString notice = Notice();
    EXPECT_TRUE(
        notice.startsWith("Part of the data is the error data.\n"
                          "1 of 3 records refused: 1 is a UCI record, the batch takes Leeb "
                          "single readings.\nThe received bytes are kept in "))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(JournalFolder().c_str()));
    EXPECT_TRUE(RawText().isEmpty());
    EXPECT_EQ(Buffered(), 0u);
    EXPECT_EQ(m_window->m_batches.UnsavedCount(), 1u);
    EXPECT_TRUE(m_pModal->m_messages.empty());  // nothing modal on the receive path
}

TEST_F(ReceivePath, TransmissionsWaitingForOneAddAreFiledOneRecordEach) {
    Link();
    NewLeebBatch();
    OpenPort();
    // As a tester sends them: each transmission ends with its DATE line and
    // one CR LF, the next follows without an empty line.
    SendPieces({LeebRecord("P1"), LeebRecord("P2"), LeebRecord("P3")});
    ASSERT_TRUE(WaitFor([&] { return Buffered() == 3 * LeebRecord("P1").size(); }));
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 3u);
    SendPieces({Transmission({LeebRecord("A1"), LeebRecord("A2"), LeebRecord("A3"),
                              LeebRecord("A4"), LeebRecord("A5")}),
                Transmission({LeebRecord("B1"), LeebRecord("B2"), LeebRecord("B3"),
                              LeebRecord("B4"), LeebRecord("B5")})});
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("NAME:B5"); }));
    Pump(50ms);
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 13u);
    EXPECT_EQ(FiledField(7, u"NAME"), u"A5");
    EXPECT_EQ(FiledField(8, u"NAME"), u"B1");
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "13");
    EXPECT_FALSE(m_window->m_refusalNotice.IsOpen());
}

TEST_F(ReceivePath, RealTimeFilesEveryRecordWholeWhenChunksEndInsideDateLines) {
    Link();
    g_stSetting.m_bShowOnline = true;
    NewLeebBatch();
    OpenPort();
    const std::string one = LeebRecord("P1");
    const std::size_t inDate = one.find("DATE:2026-1") + 11;
    for (const char* name : {"P1", "P2", "P3"}) {
        const std::string record = LeebRecord(name);
        SendPieces({record.substr(0, inDate), record.substr(inDate, 3), record.substr(inDate + 3)});
    }
    // At 9600 baud, a byte a millisecond: chunk ends fall anywhere.
    std::thread sender([this] {
        for (const char byte : Transmission({LeebRecord("Q1"), LeebRecord("Q2")})) {
            ::write(m_master, &byte, 1);
            std::this_thread::sleep_for(1ms);
        }
    });
    ASSERT_TRUE(WaitFor([&] { return Filed() == 5; }));
    sender.join();
    for (std::size_t i = 0; i < Filed(); ++i) {
        EXPECT_EQ(FiledField(i, u"DATE"), u"2026-12-07 10:48:06") << i;
    }
    EXPECT_EQ(FiledField(4, u"NAME"), u"Q2");
    Pump(100ms);
    EXPECT_FALSE(m_window->m_refusalNotice.IsOpen());
    EXPECT_TRUE(RawText().trimmed().isEmpty());
}

TEST_F(ReceivePath, RealTimeFilingShowsTheLastRowWithoutTakingTheFocus) {
    g_stSetting.m_bShowOnline = true;
    NewLeebBatch();
    m_window->show();
    m_window->activateWindow();
    QApplication::setActiveWindow(m_window.get());
    m_window->m_batchList.setFocus();
    ASSERT_TRUE(WaitFor([&] { return m_window->m_batchList.hasFocus(); }, 1s));
    m_window->OnSerialData(QByteArray::fromStdString(LeebRecord("P1") + LeebRecord("P2")));
    ASSERT_EQ(Filed(), 2u);
    EXPECT_EQ(m_window->m_leebList.currentRow(), 1);
    EXPECT_EQ(m_window->m_leebList.SelectedRow(), 1);
    EXPECT_TRUE(m_window->m_batchList.hasFocus());
}

TEST_F(ReceivePath, RealTimeModeAddsWhenTheLastLineStartsWithDate) {
    g_stSetting.m_bShowOnline = true;
    NewLeebBatch();
    m_window->OnSerialData("NAME:L1\r\nIMPACT:D\r\nVALUE:448\r\nNAME2:x");
    EXPECT_EQ(Filed(), 0u);
    m_window->OnSerialData("\r\ndate: 2016\r\n  ");
    EXPECT_EQ(Filed(), 1u);
    EXPECT_TRUE(RawText().trimmed().isEmpty());
    // A tester that ends its DATE line without a line end: filed once the
    // line has been quiet, and only with a whole date and time.
    m_window->OnSerialData("NAME:L2\r\nIMPACT:D\r\nVALUE:452\r\nDATE:2016-05-04 10:20:30");
    EXPECT_EQ(Filed(), 1u);
    EXPECT_TRUE(WaitFor([&] { return Filed() == 2; }, 2s));
    m_window->OnSerialData("NAME:L3\r\nIMPACT:D\r\nVALUE:452\r\nDATE:2016-05-04 10:20:");
    Pump(500ms);
    EXPECT_EQ(Filed(), 2u);
    EXPECT_TRUE(RawText().contains("NAME:L3"));
}

TEST_F(ReceivePath, AddDuringATransmissionLeavesTheRecordStillArriving) {
    Link();
    NewLeebBatch();
    OpenPort();
    const std::string second = LeebRecord("P2", "100746.9,987.5");
    const std::size_t cut = second.find("987") + 3;
    Send(LeebRecord("P1") + "\r\n" + second.substr(0, cut));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("987"); }));
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 1u);
    EXPECT_TRUE(RawText().contains("VALUE:100746.9,987"));
    Send(second.substr(cut));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("DATE"); }));
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 2u);
    EXPECT_EQ(m_window->m_pCurBatch->m_itemVector[1]->m_values,
              (std::vector<double>{100746.9, 987.5}));
    EXPECT_FALSE(m_window->m_refusalNotice.IsOpen());
}

TEST_F(ReceivePath, AddDuringAPauseInsideARecordFilesNothingAndClearAsksForUnfiledRecords) {
    NewLeebBatch();
    m_window->OnSerialData("NAME:P1\r\nIMPACT:D\r\nVALUE:4");
    Pump(400ms);  // longer than the quiet time
    m_window->OnAdd();
    EXPECT_EQ(Filed(), 0u);
    EXPECT_FALSE(m_window->m_refusalNotice.IsOpen());
    EXPECT_TRUE(RawText().contains("VALUE:4"));
    m_window->OnSerialData(QByteArray::fromStdString("45\r\nDATE:2026-12-08 11:01:04\r\n" +
                                                     LeebRecord("P2") + "NAME:P3\r\nIMP"));

    // Two whole records were never filed: Clear asks, No by default.
    m_pModal->m_bYes = false;
    m_window->OnClear();
    ASSERT_FALSE(m_pModal->m_messages.empty());
    EXPECT_EQ(m_pModal->m_messages.back(),
              "Marlo|2 received records have not been added. Clear anyway?");
    EXPECT_FALSE(m_pModal->m_bLastDefaultYes);
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 2u);
    EXPECT_EQ(m_window->m_pCurBatch->m_itemVector[0]->m_values, std::vector<double>{445});
    EXPECT_EQ(RawText(), "NAME:P3\nIMP");

    // A record still arriving goes without a question; its rest is cut off.
    const std::size_t asked = m_pModal->m_messages.size();
    m_window->OnClear();
    EXPECT_EQ(m_pModal->m_messages.size(), asked);
    EXPECT_TRUE(RawText().isEmpty());
    m_window->OnSerialData("ACT:D\r\nDATE:2026-12-08 11:01:05\r\n");
    m_window->OnAdd();
    EXPECT_EQ(Filed(), 2u);
    EXPECT_TRUE(Notice().contains("\n1 of 1 records refused: 1 was cut off."))
        << Notice().toStdString();
}

TEST_F(ReceivePath, RealTimeFilesEachRecordOfAStreamWithoutPausesAndTheCountsAgree) {
    g_stSetting.m_bShowOnline = true;
    NewLeebBatch();
    std::string stream;
    for (int n = 1; n <= 12; ++n) {
        const std::string name = "R" + std::to_string(n);
        // Noise in three records: XON before a NAME, a zero byte in a
        // reading, ESC in a DATE line.
        stream += n == 4   ? "\x11" + LeebRecord(name)
                  : n == 7 ? LeebRecord(name, "45\0"s + "1")
                  : n == 9 ? "NAME:R9\r\nIMPACT:D\r\nVALUE:448\r\nDATE:\x1B"
                             "2026-12-07 10:48:06\r\n"
                           : LeebRecord(name);
    }
    stream += "NAME:R13\r\nIMPACT:D\r\nVAL";
    m_window->OnSerialData(QByteArray(stream.data(), static_cast<qsizetype>(stream.size())));
    ASSERT_EQ(Filed(), 9u);
    EXPECT_EQ(FiledField(3, u"NAME"), u"R5");
    EXPECT_TRUE(Notice().contains("\n3 of 12 records refused: 3 were damaged on the line."))
        << Notice().toStdString();
    m_window->m_statusBar.Refresh();
    EXPECT_TRUE(m_window->m_statusBar.CountsText().endsWith(", 12 records"))
        << m_window->m_statusBar.CountsText().toStdString();
    EXPECT_EQ(RawText(), "NAME:R13\nIMPACT:D\nVAL");
    // Filed while the message is open: counted in it too.
    m_window->OnSerialData("ACT:D\r\nVALUE:448\r\nDATE:2026-12-07 10:48:06\r\n");
    EXPECT_TRUE(Notice().contains("\n3 of 13 records refused: 3 were damaged on the line."))
        << Notice().toStdString();
}

// Whatever filing, deleting and loading did, the figures are those of a full
// recompute of the same items, bit for bit, and so is what the window shows.
TEST_F(ReceivePath, FiguresAfterFilingDeletingAndLoadingEqualAFullRecompute) {
    const auto expectRecomputed = [this](const STLedgermill& batch, int step) {
        const STStatistics expected = ComputeStatistics(
            batch.m_itemVector, [](const auto& item) { return item->m_dAverage; });
        EXPECT_EQ(batch.m_dMax, expected.m_dMax) << step;
        EXPECT_EQ(batch.m_dMin, expected.m_dMin) << step;
        EXPECT_EQ(batch.m_dAverage, expected.m_dAverage) << step;
        EXPECT_EQ(batch.m_dStandardDeviation, expected.m_dStandardDeviation) << step;
        if (&batch == m_window->m_pCurBatch) {
            m_window->RefreshNow();
            EXPECT_EQ(m_window->m_averageEdit.text(), Text(DoubleToText(expected.m_dAverage)))
                << step;
            EXPECT_EQ(m_window->m_deviationEdit.text(),
                      Text(DoubleToText(expected.m_dStandardDeviation)))
                << step;
            const STCapability capability = ComputeCapability(batch);
            EXPECT_TRUE(m_window->m_capabilityLabel.text().startsWith(
                "Cp: " + Text(CapabilityIndexText(capability.m_oCp)) + "   Cpk: "))
                << step << " " << m_window->m_capabilityLabel.text().toStdString();
        }
    };
    g_stSetting.m_bUseLimit = true;
    g_stSetting.m_dLowerLimit = 400;
    g_stSetting.m_dUpperLimit = 500;
    STLedgermill& batch = NewLeebBatch();
    std::mt19937 engine(20261208);
    const std::vector<std::string> readings{"452.9", "452.9", "452.9", "448",
                                            "500.5", "9.5",   "0",     "452.9,453.1"};
    const auto pick = [&engine](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(engine);
    };
    for (int step = 0; step < 200; ++step) {
        const int operation = pick(10);
        if (operation < 7) {
            g_stSetting.m_bShowOnline = operation < 4;
            std::string text;
            for (int n = pick(20); n >= 0; --n) {
                text += LeebRecord("P", readings[static_cast<std::size_t>(pick(8))]);
            }
            m_window->OnSerialData(QByteArray::fromStdString(text));
            m_window->OnAdd();
        } else if (Filed() > 0) {
            m_window->m_leebList.SelectAndShow(pick(static_cast<int>(Filed())));
            m_window->OnDeleteMeasurement();
        }
        expectRecomputed(batch, step);
    }
    // Loaded back from its file, the batch has the same figures again.
    ASSERT_GT(Filed(), 0u);
    STLedgermill copy(batch);
    copy.m_time += 10;
    ASSERT_TRUE(SaveBatchFile(PathOf("copy.hdb"), copy));
    m_window->LoadFiles({PathOf("copy.hdb")});
    m_window->WaitForAllWork();
    ASSERT_EQ(m_window->m_batches.Count(), 2);
    expectRecomputed(*m_window->m_batches.At(1), -1);
}

TEST_F(ReceivePath, ARecordCutOffByCloseOrAnUnplugIsRefusedAndNeverGluedToTheNext) {
    Link();
    NewLeebBatch();
    OpenPort();
    Send("NAME:P1\r\nIMPACT:D\r\nVALUE:44");
    ASSERT_TRUE(WaitFor([&] { return Buffered() == 27; }));
    m_window->OnOpen();
    OpenPort();
    Send(LeebRecord("P2"));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("DATE"); }));
    EXPECT_TRUE(RawText().contains("VALUE:44\nNAME:P2"));  // not glued on screen either
    bool older = false;
    EXPECT_NE(m_window->m_receive.DisplayText(1 << 20, older).find(u"VALUE:44\nNAME:P2"),
              std::u16string::npos);
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 1u);
    EXPECT_EQ(FiledField(0, u"NAME"), u"P2");
    EXPECT_EQ(FiledField(0, u"VALUE"), u"448");
    EXPECT_TRUE(Notice().contains("\n1 of 2 records refused: 1 was cut off.\n"))
        << Notice().toStdString();

    // In real-time mode an unplug reports the cut-off record at once.
    m_window->m_refusalNotice.Dismiss();
    g_stSetting.m_bShowOnline = true;
    Send("NAME:P3\r\nIMPACT:D\r\n");
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("P3"); }));
    HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_window->m_openButton.text() == "Open"; }, 1s));
    EXPECT_TRUE(m_window->m_statusBar.PortText().contains("disconnected, waiting for the device"));
    EXPECT_TRUE(Notice().contains("1 of 1 records refused: 1 was cut off."))
        << Notice().toStdString();
    EXPECT_EQ(Filed(), 1u);
}

TEST_F(ReceivePath, APluggedBackDeviceIsReopenedAndOpenStillWorksWhileWaiting) {
    Link();
    NewLeebBatch();
    OpenPort();
    HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_window->m_openButton.text() == "Open"; }, 1s));
    CloseTerminal();
    NewTerminal();
    Link();
    ASSERT_TRUE(WaitFor([&] { return m_window->m_openButton.text() == "Close"; }, 2s));
    EXPECT_TRUE(m_window->m_statusBar.PortText().contains("reopened"));
    Send(LeebRecord("P1"));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("DATE"); }));

    // Open pressed while the device is awaited opens it at once.
    HangUp();
    ASSERT_TRUE(WaitFor([&] { return m_window->m_openButton.text() == "Open"; }, 1s));
    CloseTerminal();
    NewTerminal();
    Link();
    OpenPort();
    Send(LeebRecord("P2"));
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("P2"); }));
    m_window->OnAdd();
    EXPECT_EQ(Filed(), 2u);
}

TEST_F(ReceivePath, NoiseDamagesTheRecordItIsInAndNothingBetweenRecords) {
    NewLeebBatch();
    const std::string text = "\xFF\0\r\n"s + LeebRecord("P1") + "\r\n\0\0\r\n\r\n"s +
                             LeebRecord("P2",
                                        "4\0"s
                                        "50") +
                             "\r\n" + LeebRecord("P3");
    m_window->OnSerialData(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    m_window->OnAdd();
    ASSERT_EQ(Filed(), 2u);
    EXPECT_EQ(FiledField(1, u"NAME"), u"P3");
    EXPECT_TRUE(Notice().contains("\n1 of 3 records refused: 1 was damaged on the line."))
        << Notice().toStdString();
}

TEST_F(ReceivePath, ZeroBytesHideNothingAndSplitCharactersStayWhole) {
    NewLeebBatch();
    // A CR LF split between two chunks is one line break.
    m_window->OnSerialData("A:1\r");
    m_window->OnSerialData("\nB:2\r\n");
    EXPECT_EQ(RawText(), "A:1\nB:2\n");
    m_window->OnClear();
    EXPECT_EQ(RawText(), "");
    const std::string text = "NAME:Zo\xC3\xAB\r\nIMPACT:D\r\nVALUE:448\0\r\nDATE:x\r\n"s;
    m_window->OnSerialData(QByteArray(text.data(), 8));  // splits the two bytes of e-umlaut
    EXPECT_EQ(RawText(), "NAME:Zo");
    m_window->OnSerialData(QByteArray(text.data() + 8, static_cast<qsizetype>(text.size() - 8)));
    EXPECT_EQ(Buffered(), text.size());
    EXPECT_TRUE(RawText().startsWith(QString::fromUtf8("NAME:Zo\u00EB\nIMPACT")));
    EXPECT_TRUE(RawText().contains("VALUE:448\nDATE"));

    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", m_root.c_str(), 1);
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("aafff.txt"), text);
    m_window->OnAdd();
    EXPECT_EQ(Filed(), 0u);  // the zero byte lies inside the record
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("aafff.txt"), "");
    setenv("HOME", home.c_str(), 1);
}

TEST_F(ReceivePath, AverageRecordsGoToAverageBatchesOnlyAndNeedNoBatchSelectedToWait) {
    const std::string averages =
        "NAME:A1\r\nIMPACT:D\r\nLIST:440,450,460\r\nAVE:450\r\nDATE:x\r\n\r\n"
        "NAME:A2\r\nIMPACT:D\r\nLIST:430,450\r\nAVE:440\r\nDATE:y\r\n";
    g_stSetting.m_bShowOnline = true;
    m_window->OnSerialData(QByteArray::fromStdString(averages));  // no batch: it waits
    EXPECT_TRUE(RawText().contains("NAME:A2"));
    g_stSetting.m_bShowOnline = false;

    NewLeebBatch();  // Batch model: average records are refused
    m_window->OnAdd();
    EXPECT_EQ(Filed(), 0u);
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "0");
    EXPECT_TRUE(
        Notice().contains("2 of 2 records refused: 2 are Leeb average records, the batch takes "
                          "Leeb single readings."));

    m_window->m_pCurBatch->m_nTestModel = kTestModelAverage;
    m_window->ShowBatchSelection();
    m_window->OnSerialData(QByteArray::fromStdString(averages));
    m_window->OnAdd();
    EXPECT_EQ(m_window->m_leebList.rowCount(), 2);
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "2");
    // The last row is selected: the chart holds that record's readings only.
    EXPECT_EQ(m_window->m_leebList.currentRow(), 1);
    EXPECT_EQ(m_window->m_chart.GetDataCount(), 2);
    EXPECT_EQ(m_window->m_valuesList.rowCount(), 2);
}

// While the refusal message is open, chunks keep arriving in order, and a
// second refusal is added to the one message.
TEST_F(ReceivePath, ChunksStayInOrderWhileTheRefusalMessageIsOpen) {
    Link();
    g_stSetting.m_bShowOnline = true;
    NewLeebBatch();
    OpenPort();
    Pump(600ms);  // the reader's first pause, so each piece is a chunk of its own
    // Three chunks waiting to be taken together: the first is filed and
    // refused, the other two follow it.
    for (const std::string& piece : {kUciRecord, "B1-"s, "B2-"s}) {
        Send(piece);
        std::this_thread::sleep_for(30ms);
    }
    ASSERT_TRUE(WaitFor([&] { return m_window->m_refusalNotice.IsOpen(); }));
    Send("XYZ");
    ASSERT_TRUE(WaitFor([&] { return RawText().contains("XYZ"); }));
    EXPECT_EQ(RawText().trimmed(), "B1-B2-XYZ");
    EXPECT_TRUE(m_window->m_refusalNotice.IsOpen());
    Send("\r\n\r\n" + kUciRecord);
    ASSERT_TRUE(WaitFor([&] { return Notice().contains("3 of 3"); }));
    EXPECT_TRUE(
        Notice().contains("3 of 3 records refused: 2 are UCI records, the batch takes Leeb "
                          "single readings; 1 was cut off."))
        << Notice().toStdString();
    EXPECT_EQ(m_window->findChildren<QMessageBox*>().size(), 1);
}

TEST_F(ReceivePath, ALongLineWithoutLineEndShowsItsEndAndKeepsEveryByte) {
    NewLeebBatch();
    const std::string line(300 * 1024, 'x');
    for (std::size_t at = 0; at < line.size(); at += 256) {
        m_window->OnSerialData(QByteArray(line.data() + at, 256));
    }
    const QString shown = RawText();
    EXPECT_TRUE(shown.startsWith(CRawTextView::kOlderHidden + u'\n'));
    EXPECT_LE(shown.size(), CRawTextView::kShownChars + CRawTextView::kOlderHidden.size() + 1);
    EXPECT_GE(shown.size(), CRawTextView::kShownChars - CRawTextView::kLineChars);
    EXPECT_EQ(Buffered(), line.size());
    setenv("HOME", m_root.c_str(), 1);
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("aafff.txt").size(), line.size());
    m_window->OnClear();
    EXPECT_TRUE(RawText().isEmpty());
}

TEST_F(ReceivePath, EnterNeitherOpensNorClosesThePort) {
    Link();
    const auto pressEnter = [](QWidget& widget) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
    };
    for (QWidget* widget : std::initializer_list<QWidget*>{
             &m_window->m_rawText, &m_window->m_batchList, &m_window->m_leebList, m_window.get()}) {
        pressEnter(*widget);
    }
    EXPECT_FALSE(m_window->m_receive.IsOpen());
    EXPECT_EQ(m_window->result(), 0);
    OpenPort();
    pressEnter(m_window->m_rawText);
    pressEnter(*m_window);
    EXPECT_TRUE(m_window->m_receive.IsOpen());
}

TEST_F(ReceivePath, EscapeLeavesTheWindowOpenAndReceiving) {
    Link();
    m_window->show();
    OpenPort();
    for (QWidget* widget : std::initializer_list<QWidget*>{
             &m_window->m_rawText, &m_window->m_batchList, &m_window->m_leebList, m_window.get()}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &press);
    }
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(m_window->m_receive.IsOpen());
    EXPECT_TRUE(m_pModal->m_messages.empty());  // not even the question of closing
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
        Pump(cycle % 40 == 39 ? 600ms : 2ms);
        m_window->OnOpen();
        QCoreApplication::processEvents();
    }
    sending = false;
    sender.join();
    QCoreApplication::processEvents();
    const ReceiveBuffer& buffer = m_window->m_receive.Buffer();
    ASSERT_GT(buffer.m_nLength, 1000);
    int breaks = 0;
    for (std::int32_t i = 1; i < buffer.m_nLength; ++i) {
        breaks += buffer.m_pData[static_cast<std::size_t>(i)] !=
                          buffer.m_pData[static_cast<std::size_t>(i - 1)] % 251 + 1
                      ? 1
                      : 0;
    }
    EXPECT_LE(breaks, 200);  // at most one where each open spell began
}

TEST(RefusalText, CountsAndReasons) {
    STRefusalCounts counts;
    counts.m_nOffered = 12;
    counts.m_wrongKinds = {{"UCI record", 2}};
    counts.m_strBatchTakes = "Leeb single readings";
    counts.m_nCutOff = 1;
    EXPECT_EQ(RefusalText(counts),
              "3 of 12 records refused: 2 are UCI records, the batch takes Leeb single readings; "
              "1 was cut off.");
    counts = {};
    counts.m_nOffered = 5;
    counts.m_wrongKinds = {{"record without fields", 1}, {"Leeb average record", 1}};
    counts.m_strBatchTakes = "Leeb single readings";
    counts.m_nDamaged = 2;
    EXPECT_EQ(RefusalText(counts),
              "4 of 5 records refused: 1 is a record without fields, 1 is a Leeb average record, "
              "the batch "
              "takes Leeb single readings; 2 were damaged on the line.");
}

TEST_F(ReceivePath, TheDumpReplacesALinkAtItsNameAndAFailureShowsInTheStatusLine) {
    NewLeebBatch();
    m_window->OnSerialData("A:1\r\n");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", m_root.c_str(), 1);
    WriteBytes("victim", "precious");
    ASSERT_EQ(::symlink(PathOf("victim").c_str(), PathOf("aafff.txt").c_str()), 0);
    m_window->DumpReceiveBuffer();
    EXPECT_EQ(ReadBytes("victim"), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(PathOf("aafff.txt")));
    EXPECT_EQ(ReadBytes("aafff.txt"), "A:1\r\n");
    EXPECT_TRUE(m_window->m_statusBar.currentMessage().isEmpty());

    setenv("HOME", PathOf("missing").c_str(), 1);
    m_window->DumpReceiveBuffer();
    EXPECT_TRUE(m_window->m_statusBar.currentMessage().startsWith(
        QString::fromStdString("Dump failed: " + PathOf("missing/aafff.txt") + ": ")))
        << m_window->m_statusBar.currentMessage().toStdString();
    setenv("HOME", home.c_str(), 1);
}
