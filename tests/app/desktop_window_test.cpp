// The window as a desktop application: its folders, the menu bar, batch
// files from the command line and from drops, the layout that grows with the
// window, and what an abrupt end keeps.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QResizeEvent>
#include <QUrl>
#include <csignal>
#include <filesystem>

#include "app/batch_rescue.h"
#include "app/ending_signals.h"
#include "app/ledgermill_app.h"
#include "app/ledgermill_dlg.h"
#include "app/run_record.h"
#include "app/window_text.h"
#include "archive/archive_database.h"
#include "archive/batch_archive.h"
#include "common/host_identity.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "persistence/batch_file.h"
#include "persistence/batch_file_reader.h"
#include "persistence/batch_file_writer.h"
#include "persistence/setting.h"
#include "scripted_modal.h"
#include "support/temp_folder.h"
#include "test_folders.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<STLedgermill> LeebBatch(std::int64_t time, int items) {
    auto batch = std::make_unique<STLedgermill>();
    batch->m_time = time;
    batch->m_nTestMethod = kTestMethodLeeb;
    for (int i = 0; i < items; ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", u"P01");
        item->m_values = {440.0 + i};
        item->UpdateStatistics();
        batch->AddItem(std::move(item));
    }
    batch->UpdateStatistics();
    return batch;
}

class DesktopWindow : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
        m_window = NewWindow();
    }
    void TearDown() override {
        m_window.reset();
        ResetDefaults(g_stSetting);
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    STProgramFolders Folders() const { return PortableFoldersIn(PathOf("")); }
    std::unique_ptr<CLedgermillDlg> NewWindow() const {
        return std::make_unique<CLedgermillDlg>(nullptr, PathOf(""), PathOf("captures/"), Folders());
    }
    // A batch file made at the given creation time.
    std::string BatchFile(const std::string& name, std::int64_t time, int items = 3) const {
        fs::create_directories(fs::path(PathOf(name)).parent_path());
        EXPECT_TRUE(SaveBatchFile(PathOf(name), *LeebBatch(time, items)));
        return PathOf(name);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const QString& message : m_pModal->m_messages) texts.push_back(message.toStdString());
        return texts;
    }
    QAction* MenuAction(const QString& text) const {
        for (QAction* action : m_window->m_menuBar.findChildren<QAction*>()) {
            if (action->text() == text) return action;
        }
        return nullptr;
    }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
};

TEST_F(DesktopWindow, FilesLoadInTurnAndAFailureStopsNoneOfTheOthers) {
    const std::string first = BatchFile("a.hdb", 1462350000);
    const std::string second = BatchFile("sub/b.hdb", 1462360000);
    m_window->LoadFiles({first, PathOf("missing.hdb"), second, first});
    m_window->WaitForAllWork();
    ASSERT_EQ(m_window->m_batches.Count(), 2);
    EXPECT_EQ(m_window->m_batches.At(0)->m_time, 1462350000);
    EXPECT_EQ(m_window->m_batches.At(1)->m_time, 1462360000);
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[0].starts_with("Marlo|Load Failed.\n" + PathOf("missing.hdb") + ": "));
    EXPECT_EQ(messages[1], "Marlo|Data Existed.");
    EXPECT_FALSE(m_window->m_batches.AnyUnsaved());

    // Newest first, without repeats; kept across runs.
    const QStringList recent = NewWindow()->m_state.RecentFiles();
    EXPECT_EQ(recent, (QStringList{QString::fromStdString(first), QString::fromStdString(second)}));
}

TEST_F(DesktopWindow, FileDialogsStartWhereTheLastBatchFileWasUsedEvenAfterARestart) {
    m_window->OnLoad();
    EXPECT_EQ(m_pModal->m_folder.toStdString(), PathOf("Documents/Marlo/"));
    EXPECT_TRUE(fs::is_directory(PathOf("Documents/Marlo/")));

    const std::string file = BatchFile("lab/line 2/a.hdb", 1462350000);
    m_pModal->m_fileName = QString::fromStdString(file);
    m_window->OnLoad();
    m_window->WaitForAllWork();
    m_pModal->m_fileName = QString::fromStdString(PathOf("saved/b.hdb"));
    fs::create_directories(PathOf("saved"));
    m_window->OnSave();
    m_window->WaitForAllWork();
    m_window->OnLoad();
    EXPECT_EQ(m_pModal->m_folder.toStdString(), PathOf("saved"));

    m_window = NewWindow();
    m_pModal->m_fileName.clear();
    m_window->OnSave();  // no batch: nothing asked
    m_window->OnLoad();
    EXPECT_EQ(m_pModal->m_folder.toStdString(), PathOf("saved"));
    // A folder that has gone falls back to the documents folder.
    fs::remove_all(PathOf("saved"));
    m_window->OnLoad();
    EXPECT_EQ(m_pModal->m_folder.toStdString(), PathOf("Documents/Marlo/"));
}

TEST_F(DesktopWindow, DroppedBatchFilesLoadAndOtherFilesAreRefused) {
    const std::string batch = BatchFile("a.HDB", 1462350000);
    BatchFile("notes.txt", 1462360000);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(PathOf("notes.txt")))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(PathOf("notes.txt"))),
                  QUrl::fromLocalFile(QString::fromStdString(batch))});
    QDragEnterEvent offered(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &offered);
    EXPECT_TRUE(offered.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window.get(), &drop);
    m_window->WaitForAllWork();
    ASSERT_EQ(m_window->m_batches.Count(), 1);
    EXPECT_EQ(m_window->m_batches.At(0)->m_time, 1462350000);
}

TEST_F(DesktopWindow, TheMenuBarCarriesTheCommandsWithTheirShortcuts) {
    const std::vector<std::pair<QString, QString>> shortcuts{
        {"&New Batch...", "Ctrl+N"}, {"&Load...", "Ctrl+O"}, {"&Save...", "Ctrl+S"},
        {"&Report", "Ctrl+R"},       {"&Quit", "Ctrl+Q"}};
    for (const auto& [text, keys] : shortcuts) {
        QAction* action = MenuAction(text);
        ASSERT_NE(action, nullptr) << text.toStdString();
        EXPECT_EQ(action->shortcut().toString(), keys) << text.toStdString();
    }
    for (const char* text : {"&Open", "&Settings...", "&About Marlo..."}) {
        EXPECT_NE(MenuAction(text), nullptr) << text;
    }
    MenuAction("&New Batch...")->trigger();
    EXPECT_EQ(m_window->m_batches.Count(), 1);

    // While a batch is being saved, the menu offers no second long work, as
    // the buttons do not.
    m_pModal->m_fileName = QString::fromStdString(PathOf("a.hdb"));
    m_window->OnSave();
    EXPECT_FALSE(MenuAction("&Report")->isEnabled());
    EXPECT_FALSE(MenuAction("&Settings...")->isEnabled());
    m_window->WaitForAllWork();
    EXPECT_TRUE(MenuAction("&Report")->isEnabled());

    // Quit asks as closing does: No keeps the window.
    m_window->show();
    m_window->m_batches.MarkUnsaved(m_window->m_batches.At(0));
    m_pModal->m_bYes = false;
    MenuAction("&Quit")->trigger();
    EXPECT_EQ(m_pModal->m_messages.back(), "Marlo|Some batches have not been saved. Close anyway?");
    EXPECT_TRUE(m_window->isVisible());
}

// The default layout is the smallest; extra room goes to the raw text, the
// lists and the chart, and the report's picture keeps its size.
TEST_F(DesktopWindow, GrowingTheWindowGrowsTheTextListsAndChartOnly) {
    // The offscreen screen is smaller than the window and keeps it from
    // growing there, so the resize events are delivered by hand to a hidden
    // window.
    const auto resize = [this](QSize size) {
        const QSize old = m_window->size();
        m_window->resize(size);
        QResizeEvent event(size, old);
        QApplication::sendEvent(m_window.get(), &event);
    };
    resize(m_window->size());
    const QSize initial = m_window->size();
    EXPECT_EQ(m_window->minimumSize(), initial);
    const QRect text = m_window->m_rawText.geometry();
    const QRect chart = m_window->m_chart.geometry();
    const QRect list = m_window->m_leebList.geometry();
    const QRect batches = m_window->m_batchList.geometry();
    const QRect setting = m_window->m_settingButton.geometry();
    const QRect report = m_window->m_reportButton.geometry();

    resize(initial + QSize(300, 200));
    EXPECT_EQ(m_window->m_rawText.width(), text.width() + 100);
    EXPECT_EQ(m_window->m_rawText.height(), text.height() + 100);
    EXPECT_EQ(m_window->m_batchList.geometry(), batches.adjusted(0, 100, 100, 200));
    EXPECT_EQ(m_window->m_chart.geometry(), chart.adjusted(100, 0, 300, 100));
    EXPECT_EQ(m_window->m_leebList.geometry(), list.adjusted(100, 100, 300, 200));
    EXPECT_EQ(m_window->m_settingButton.geometry(), setting);
    EXPECT_EQ(m_window->m_reportButton.geometry(), report.translated(100, 200));
    EXPECT_EQ(m_window->m_statusBar.geometry().bottom(), m_window->height() - 1);

    // Whatever the size, a list shown later takes the grown place too.
    m_window->OnNew();
    EXPECT_EQ(m_window->m_leebList.geometry(), list.adjusted(100, 100, 300, 200));
    resize(initial);
    EXPECT_EQ(m_window->m_leebList.geometry(), list);
    EXPECT_EQ(QSize(m_window->m_chart.ReportWidth(), m_window->m_chart.ReportHeight()),
              chart.size());
}

// A signal or the session ending: every batch not saved is written where the
// next start finds it, and the next start tells once which and where.
TEST_F(DesktopWindow, AnAbruptEndKeepsTheUnsavedBatchesAndTheNextStartTellsOfThem) {
    const std::string saved = BatchFile("saved.hdb", 1462350000);
    m_window->LoadFiles({saved});
    m_window->WaitForAllWork();
    for (const auto& [time, items] : {std::pair{1462360000, 4}, std::pair{1462370000, 0}}) {
        const int row = m_window->m_batchModel.AddBatch(LeebBatch(time, items));
        m_window->m_batches.MarkUnsaved(m_window->m_batches.At(row));
    }
    // One batch is already in the folder from an earlier end.
    fs::create_directories(PathOf("recovered"));
    WriteBytes("recovered/" + Utf16ToUtf8(FormatTime(3, 1462360000)) + ".hdb", "older");

    const STRescue rescue = m_window->RescueUnsavedBatches();
    const std::string stem = Utf16ToUtf8(FormatTime(3, 1462360000));
    const std::vector<std::string> expected{stem + "-2.hdb",
                                            Utf16ToUtf8(FormatTime(3, 1462370000)) + ".hdb"};
    EXPECT_EQ(rescue.m_written, expected);
    EXPECT_TRUE(rescue.m_failed.empty());
    STLedgermill reread;
    ASSERT_EQ(LoadBatchFile(PathOf("recovered/" + expected[0]), reread), EBatchLoadResult::kLoaded);
    EXPECT_EQ(reread.m_itemVector.size(), 4u);
    EXPECT_EQ(ReadBytes("recovered/" + stem + ".hdb"), "older");

    m_window.reset();
    m_pModal->m_messages.clear();
    CLedgermillApp(Folders()).Run();
    ASSERT_FALSE(m_pModal->m_messages.empty());
    EXPECT_EQ(m_pModal->m_messages.front().toStdString(),
              "Marlo|Marlo was ended with unsaved batches. They were recovered to " +
                  PathOf("recovered/") + ":\n" + expected[0] + "\n" + expected[1]);
    m_pModal->m_messages.clear();
    CLedgermillApp(Folders()).Run();
    EXPECT_TRUE(m_pModal->m_messages.empty());
}

// Whole records received but never filed are kept at an abrupt end: what
// the selected batch takes goes into it, the rest into batches of their own;
// a record still arriving is in the capture journal only.
TEST_F(DesktopWindow, AnAbruptEndFilesTheRecordsReceivedAndNeverFiled) {
    const std::string leeb = "NAME:L\r\nIMPACT:D\r\nVALUE:448\r\nDATE:2026-12-08 11:01:04\r\n";
    const std::string uci = "NAME:U\r\nF:HV10\r\nVALUE:300\r\nDATE:2026-12-08 11:01:05\r\n";
    const std::string neither = "NAME:N\r\nVALUE:1\r\nDATE:2026-12-08 11:01:06\r\n";
    const std::string received = leeb + uci + leeb + neither + "NAME:L\r\nIMP";
    for (const bool selected : {true, false}) {
        m_window = NewWindow();
        if (selected) {
            m_window->m_batchModel.AddBatch(LeebBatch(1462360000, 1));
            m_window->m_batchList.SelectAndShow(0);
        }
        m_window->OnSerialData(QByteArray::fromStdString(received));
        const STRescue rescue = m_window->RescueUnsavedBatches();
        ASSERT_EQ(rescue.m_written.size(), 2u) << selected;
        std::vector<std::size_t> counts;
        for (const std::string& name : rescue.m_written) {
            STLedgermill batch;
            ASSERT_EQ(LoadBatchFile(PathOf("recovered/" + name), batch), EBatchLoadResult::kLoaded);
            counts.push_back(batch.m_itemVector.size());
            std::error_code ignored;
            fs::remove(PathOf("recovered/" + name), ignored);
        }
        // The selected Leeb batch's own item and the two Leeb records, then
        // the UCI record; without a selection a Leeb batch of two.
        EXPECT_EQ(counts,
                  (selected ? std::vector<std::size_t>{3, 1} : std::vector<std::size_t>{2, 1}));
        TakeRescuedBatchNames(PathOf("recovered/"));
    }
}

// A capture is imported into the selected batch as Add files records, with
// the same counts; loading one as a batch says what it is and where to go.
TEST_F(DesktopWindow, ACaptureIsImportedIntoTheSelectedBatchAndLoadPointsThere) {
    const std::string record = "HD:HLD\r\nIMPACT:D\r\nVALUE:448\r\nDATE:2026-12-08 11:01:04\r\n";
    WriteBytes("spell.cap", ":P1\r\n" + record + "NAME:P2\r\n" + record + "NAME:P3\r\n" + record +
                                "NAME:U\r\nF:HV10\r\nDATE:2026-12-08 11:01:05\r\nNAME:P5\r\nVAL");
    m_window->LoadFiles({PathOf("spell.cap")});
    m_window->WaitForAllWork();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Marlo|Load Failed.\n" + PathOf("spell.cap") +
                                 ": a capture of received records, not a batch file. File > Import "
                                 "Capture... files its records into the selected batch.");

    m_pModal->m_messages.clear();
    m_pModal->m_fileName = QString::fromStdString(PathOf("spell.cap"));
    m_window->OnImportCapture();  // no batch selected yet
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Marlo|Select the batch that takes the records."});
    m_window->m_batchModel.AddBatch(LeebBatch(1462360000, 0));
    m_window->m_batchList.SelectAndShow(0);
    m_window->OnImportCapture();
    m_window->WaitForAllWork();
    const STLedgermill& batch = *m_window->m_batches.At(0);
    ASSERT_EQ(batch.m_itemVector.size(), 2u);
    EXPECT_EQ(batch.m_itemVector[0]->m_subItem.at(u"NAME"), u"P2");
    EXPECT_TRUE(m_window->m_refusalNotice.Text().contains(
        "\n3 of 5 records refused: 1 is a UCI record, the batch takes Leeb single readings; 2 "
        "were cut off.\nThe received bytes are kept in " +
        QString::fromStdString(PathOf("spell.cap"))))
        << m_window->m_refusalNotice.Text().toStdString();
    EXPECT_EQ(m_pModal->m_folder, QString::fromStdString(PathOf("captures/")));
}

// A run that was killed leaves its record: the next start offers once the
// batches it archived with changes never saved and the records its journal
// holds that were never filed.
TEST_F(DesktopWindow, AnUncleanEndIsOfferedOnceAtTheNextStart) {
    const std::string filed = "NAME:P1\r\nIMPACT:D\r\nVALUE:448\r\nDATE:2026-12-08 11:01:04\r\n";
    fs::create_directories(PathOf("captures"));
    WriteBytes("captures/spell.cap",
               filed + "NAME:P2\r\nIMPACT:D\r\nVALUE:452\r\nDATE:2026-12-08 11:01:05\r\n" +
                   "NAME:P3\r\nF:HV10\r\nVALUE:300\r\nDATE:2026-12-08 11:01:06\r\nNAME:P4\r\nVAL");
    const std::u16string unsavedKey = FormatTime(0, 1462360000);
    const std::u16string savedKey = FormatTime(0, 1462370000);
    STProgramFolders folders = Folders();
    folders.m_strArchiveFile = PathOf("archive.sqlite");
    {
        std::string failure;
        const auto archive = CArchiveDatabase::OpenStation(folders.m_strArchiveFile, failure);
        ASSERT_TRUE(archive) << failure;
        QSqlDatabase database = archive->Database();
        for (const std::int64_t time : {1462360000, 1462370000}) {
            ASSERT_TRUE(ArchiveBatch(database, *LeebBatch(time, 4), {HostName(), u"op"}, failure))
                << failure;
        }
    }
    const std::string runs = folders.m_strRecoveryFolder + "runs";
    const pid_t killed = ::fork();
    ASSERT_GE(killed, 0);
    if (killed == 0) {
        CRunRecord record(runs);
        record.NoteJournal(PathOf("captures/spell.cap"), 1000);
        record.NoteArchived(unsavedKey, true);
        record.NoteArchived(savedKey, true);
        record.NoteArchived(savedKey, false);
        record.NoteArchived(u"2016-05-04 11:23:20", true);
        record.NoteDeleted(u"2016-05-04 11:23:20");
        record.NoteHandled(1000 + filed.size());
        _exit(0);  // no End: as a kill or a power cut leaves it
    }
    ::waitpid(killed, nullptr, 0);

    m_window.reset();
    m_pModal->m_messages.clear();
    std::vector<std::size_t> counts;
    std::size_t unsaved = 0;
    m_pModal->m_answer = [&counts, &unsaved](QDialog& dialog) {
        if (auto* window = dynamic_cast<CLedgermillDlg*>(&dialog)) {
            for (int row = 0; row < window->m_batches.Count(); ++row) {
                counts.push_back(window->m_batches.At(row)->m_itemVector.size());
            }
            unsaved = window->m_batches.UnsavedCount();
        }
        return int(QDialog::Accepted);
    };
    CLedgermillApp(folders).Run();
    ASSERT_EQ(m_pModal->m_messages.size(), 1u) << Messages().back();
    const QString offer = m_pModal->m_messages.front();
    EXPECT_TRUE(offer.startsWith("Marlo|Marlo was not ended cleanly in the run begun "))
        << offer.toStdString();
    EXPECT_TRUE(offer.endsWith(
        ". It can bring back:\n1 batch archived after its last save: " + Text(unsavedKey) +
        "\n2 records received and never filed, kept in " +
        QString::fromStdString(PathOf("captures/spell.cap")) +
        "\nOpen the batches from the archive and file the records in batches of their own?"))
        << offer.toStdString();
    // The archived batch, then the Leeb and the UCI record in batches of their own.
    EXPECT_EQ(counts, (std::vector<std::size_t>{4, 1, 1}));
    EXPECT_EQ(unsaved, 3u);

    m_pModal->m_messages.clear();
    CLedgermillApp(folders).Run();
    EXPECT_TRUE(m_pModal->m_messages.empty());
}

// `marlo a.hdb b.hdb`, and settings kept the moment a dialog changes them.
TEST_F(DesktopWindow, TheProgramLoadsItsFileArgumentsAndKeepsSettingsAsTheyChange) {
    m_window.reset();
    const std::string first = BatchFile("a.hdb", 1462350000);
    const std::string second = BatchFile("b.hdb", 1462360000);
    int listed = 0;
    bool keptAtOnce = false;
    m_pModal->m_answer = [&](QDialog& dialog) {
        auto* window = dynamic_cast<CLedgermillDlg*>(&dialog);
        if (window == nullptr) return int(QDialog::Accepted);
        window->WaitForAllWork();
        listed = window->m_batches.Count();
        window->m_realTimeBox.click();
        keptAtOnce = ReadBytes("Setting.xml").find("m_bShowOnline class = \"bool\">\r\n\t\t\ttrue") !=
                     std::string::npos;
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(CLedgermillApp(Folders()).Run({first, second}), 0);
    EXPECT_EQ(listed, 2);
    EXPECT_TRUE(keptAtOnce) << ReadBytes("Setting.xml");
}

}  // namespace

// SIGTERM and SIGHUP arrive as a Qt signal on the window's thread instead of
// ending the process, and end it again as before once the object is gone.
TEST(EndingSignals, TermAndHangUpAreForwardedWhileTheObjectLives) {
    std::vector<int> received;
    {
        CEndingSignals endingSignals;
        QObject::connect(&endingSignals, &CEndingSignals::received,
                         [&received](int number) { received.push_back(number); });
        std::raise(SIGHUP);
        std::raise(SIGTERM);
        for (int round = 0; round < 100 && received.size() < 2; ++round) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    EXPECT_EQ(received, (std::vector<int>{SIGHUP, SIGTERM}));
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
