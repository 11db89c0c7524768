// The lab archive from the window: Save, Add and real-time filing hand their
// batch to the archive service, which writes it off the window's thread and
// tells the status line; a failing archive never stops saving or receiving.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <thread>

#include "app/archive_service.h"
#include "app/archive_window.h"
#include "app/ledgermill_dlg.h"
#include "archive/archive_database.h"
#include "archive/archive_listing.h"
#include "common/host_identity.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "dialogs/dlg_archive_server.h"
#include "persistence/setting.h"
#include "scripted_modal.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "support/test_postgres.h"
#include "test_folders.h"

using namespace std::chrono_literals;

namespace {

template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

std::string LeebRecord(int n) {
    return "NAME:R" + std::to_string(n) + "\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\nVALUE:450\r\nDATE:2016-05-04 10:20:30\r\n\r\n";
}

class ArchiveFromWindow : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        g_stSetting.m_nTestMethod = kTestMethodLeeb;
        m_pModal = InstallScriptedModal();
        OpenWindow(ArchiveFile());
    }
    void TearDown() override {
        m_window.reset();
        ResetDefaults(g_stSetting);
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    // In folders the first archive makes.
    std::string ArchiveFile() const { return PathOf("data/marlo/archive.sqlite"); }
    void OpenWindow(const std::string& archiveFile) {
        STProgramFolders folders = PortableFoldersIn(PathOf(""));
        folders.m_strArchiveFile = archiveFile;
        m_window.reset();
        m_window = std::make_unique<CLedgermillDlg>(nullptr, "/run/lock", CLedgermillDlg::DefaultJournalFolder(),
                                                    folders);
    }
    STLedgermill& NewBatch() {
        m_window->OnNew();
        return *m_window->m_pCurBatch;
    }
    void Save(const std::string& name) {
        m_pModal->m_fileName = QString::fromStdString(PathOf(name));
        m_window->OnSave();
        m_window->WaitForLongWork();
    }
    void Receive(int from, int to) {
        for (int n = from; n <= to; ++n) {
            m_window->OnSerialData(QByteArray::fromStdString(LeebRecord(n)));
        }
    }
    // What this station's archive holds: the batch created at time (no
    // items when there is none), who archived it, and how many batches.
    struct STArchived {
        STLedgermill m_batch;
        STArchiveOrigin m_origin;
        std::size_t m_nBatches = 0;
    };
    STArchived Archived(std::int64_t time) {
        STArchived archived;
        std::string failure;
        const auto archive = CArchiveDatabase::OpenSqlite(ArchiveFile(), failure);
        if (!archive) {
            ADD_FAILURE() << failure;
            return archived;
        }
        QSqlDatabase database = archive->Database();
        LoadArchivedBatch(database, HostName(), FormatTime(0, time), archived.m_batch, archived.m_origin, failure);
        EXPECT_EQ(failure, "");
        std::vector<STArchivedBatch> batches;
        EXPECT_TRUE(ListArchivedBatches(database, {}, batches, failure)) << failure;
        archived.m_nBatches = batches.size();
        return archived;
    }
    std::size_t ArchivedItems(std::int64_t time) { return Archived(time).m_batch.m_itemVector.size(); }
    QString ArchiveStatus() const { return m_window->m_archiveStatus.FullText(); }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
};

}  // namespace

TEST_F(ArchiveFromWindow, SaveArchivesTheBatchAndSavingAgainReplacesIt) {
    STLedgermill& batch = NewBatch();
    Receive(1, 2);
    m_window->OnAdd();
    Save("run.hdb");
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(BatchDifference(batch, Archived(batch.m_time).m_batch), "");
    const QString archivedText = "Archived " + QString::fromStdU16String(BatchKey(batch));
    EXPECT_TRUE(WaitFor([&] { return ArchiveStatus() == archivedText; })) << ArchiveStatus().toStdString();
    // The port's state stays in view.
    EXPECT_TRUE(m_window->m_statusBar.currentMessage().isEmpty());

    Receive(3, 3);
    m_window->AddReceivedText();  // filed as real-time filing does: archived later
    Save("run.hdb");
    m_window->m_archive.WaitForLocalWrites();
    const STArchived again = Archived(batch.m_time);
    EXPECT_EQ(BatchDifference(batch, again.m_batch), "");
    EXPECT_EQ(again.m_nBatches, 1u);
    // The login archives it until the report names an operator.
    EXPECT_EQ(again.m_origin.m_strOperator, LoginName());
    g_stSetting.m_strOperator = u"J. Smith";
    Save("run.hdb");
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(Archived(batch.m_time).m_origin.m_strOperator, u"J. Smith");
}

TEST_F(ArchiveFromWindow, AddArchivesTheRecordsItFiled) {
    STLedgermill& batch = NewBatch();
    Receive(1, 4);
    m_window->OnAdd();
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(ArchivedItems(batch.m_time), 4u);
    // Nothing to file: nothing archived again.
    const std::int64_t writes = m_window->m_archive.WriteCount();
    m_window->OnAdd();
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(m_window->m_archive.WriteCount(), writes);
}

TEST_F(ArchiveFromWindow, ABurstOfRealTimeRecordsIsArchivedOnceWithEveryItem) {
    g_stSetting.m_bShowOnline = true;
    m_window->m_realTimeBox.setChecked(true);
    const STLedgermill& batch = NewBatch();
    const std::int64_t time = batch.m_time;
    Receive(1, 100);
    ASSERT_EQ(batch.m_itemVector.size(), 100u);
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(m_window->m_archive.WriteCount(), 0);
    // Once its wait is over the batch goes as it stands then.
    EXPECT_TRUE(WaitFor([&] { return m_window->m_archive.WriteCount() == 1; }, 15s));
    m_window->m_archive.WaitForLocalWrites();
    EXPECT_EQ(ArchivedItems(time), 100u);

    // Closing archives what was filed since, without waiting.
    Receive(101, 120);
    m_window.reset();
    EXPECT_EQ(ArchivedItems(time), 120u);
}

TEST_F(ArchiveFromWindow, AnArchiveThatCannotBeWrittenIsToldWhileSavingAndReceivingGoOn) {
    std::filesystem::create_directory(PathOf("archive-folder"));
    OpenWindow(PathOf("archive-folder"));  // a folder is no database file
    STLedgermill& batch = NewBatch();
    Receive(1, 2);
    m_window->OnAdd();
    Save("kept.hdb");
    EXPECT_TRUE(std::filesystem::exists(PathOf("kept.hdb")));
    EXPECT_FALSE(m_window->m_batches.IsUnsaved(&batch));
    EXPECT_EQ(m_pModal->m_messages.back(), "Save HDB File");  // no "Save Failed."
    EXPECT_TRUE(WaitFor([&] { return ArchiveStatus().startsWith("Archive failed: "); }))
        << ArchiveStatus().toStdString();
    EXPECT_TRUE(m_window->m_statusBar.currentMessage().isEmpty());
    EXPECT_FALSE(m_window->m_statusBar.PortText().isEmpty());
    Receive(3, 5);
    m_window->OnAdd();
    EXPECT_EQ(batch.m_itemVector.size(), 5u);
}

TEST_F(ArchiveFromWindow, TheServerSetInItsDialogIsKeptInTheSettingsFileWithoutAPassword) {
    const std::string settings = PathOf("Setting.xml");
    int kept = 0;
    m_window->m_fnSettingsChanged = [&] {
        ++kept;
        ASSERT_TRUE(SaveSettings(settings));
    };
    m_pModal->m_answer = [](QDialog& dialog) {
        auto* server = dynamic_cast<CDlgArchiveServer*>(&dialog);
        if (server == nullptr) {
            return int(QDialog::Rejected);
        }
        server->OnInitDialog();
        server->m_useBox.setChecked(true);
        server->m_hostEdit.setText(QStringLiteral(" lab-db.example "));
        server->m_portBox.setValue(5433);
        server->m_databaseEdit.setText(QStringLiteral("lab"));
        server->m_userEdit.setText(QStringLiteral("marlo"));
        server->OnOK();
        return server->result();
    };
    // File > Archive Server..., after Export CSV.
    QAction* menuEntry = nullptr;
    for (QAction* action : m_window->m_menuBar.findChildren<QAction*>()) {
        if (action->text() == "Archive Ser&ver...") menuEntry = action;
    }
    ASSERT_NE(menuEntry, nullptr);
    menuEntry->trigger();
    ASSERT_EQ(kept, 1);
    const STArchiveServerSetting expected{true, u"lab-db.example", 5433, u"lab", u"marlo"};
    EXPECT_EQ(g_stSetting.m_archiveServer, expected);
    EXPECT_EQ(ReadBytes("Setting.xml").find("assword"), std::string::npos);
    ResetDefaults(g_stSetting);
    LoadSettings(settings);
    EXPECT_EQ(g_stSetting.m_archiveServer, expected);
    // The same server again changes nothing and keeps nothing.
    m_window->OnArchiveServer();
    EXPECT_EQ(kept, 1);
}

// The shared server: while it is down the batches wait at the station and the
// status line says so; the next batch archived once it is back takes them
// all there.
TEST_F(ArchiveFromWindow, BatchesWaitForAServerThatIsDownAndReachItWhenItIsBack) {
    CTestPostgres postgres(PathOf("postgres.state"));
    ASSERT_TRUE(postgres.Running());
    std::string failure;
    const STArchiveServer server = postgres.NewDatabase(failure);
    ASSERT_EQ(failure, "");
    ASSERT_TRUE(postgres.Pause());
    g_stSetting.m_archiveServer = {true, u"127.0.0.1", server.m_nPort, Utf8ToUtf16(server.m_strDatabase),
                                   Utf8ToUtf16(server.m_strUser)};
    OpenWindow(ArchiveFile());
    STLedgermill& batch = NewBatch();
    const std::int64_t time = batch.m_time;
    Receive(1, 3);
    m_window->OnAdd();
    EXPECT_TRUE(WaitFor([&] { return ArchiveStatus().startsWith("1 batch waiting for the archive server: "); }, 20s))
        << ArchiveStatus().toStdString();
    EXPECT_TRUE(m_window->m_statusBar.currentMessage().isEmpty());
    EXPECT_EQ(ArchivedItems(time), 3u);  // the station's own archive has it

    ASSERT_TRUE(postgres.Resume());
    Receive(4, 5);
    m_window->OnAdd();
    EXPECT_TRUE(WaitFor([&] { return ArchiveStatus() == "The archive server has every batch"; }, 20s))
        << ArchiveStatus().toStdString();
    const auto shared = CArchiveDatabase::OpenServer(server, failure);
    ASSERT_NE(shared, nullptr) << failure;
    QSqlDatabase database = shared->Database();
    STLedgermill pushed;
    ASSERT_TRUE(LoadArchivedBatch(database, HostName(), BatchKey(batch), pushed, failure)) << failure;
    EXPECT_EQ(BatchDifference(batch, pushed), "");
    // File > Archive lists the lab's archive: another station's batch too.
    ASSERT_TRUE(ArchiveBatch(database, pushed, {u"Line 9", u"A. Other"}, failure)) << failure;
    m_window->OnArchive();
    const auto* archiveWindow = m_window->findChild<CArchiveWindow*>();
    ASSERT_NE(archiveWindow, nullptr);
    EXPECT_EQ(archiveWindow->m_model.rowCount(), 2);
    // Closing does not wait for a server that has gone again.
    ASSERT_TRUE(postgres.Pause());
    Receive(6, 6);
    m_window->OnAdd();
    m_window.reset();
    EXPECT_EQ(ArchivedItems(time), 6u);
}

// The service alone: only the latest snapshot of a batch waiting is written,
// and each report arrives on the thread of its context.
TEST_F(ArchiveFromWindow, TheServiceWritesOnlyTheLatestSnapshotOfEachBatchWaiting) {
    std::vector<STArchiveReport> reports;
    QObject context;
    STLedgermill batch;
    batch.m_time = 1462357230;
    batch.m_nTestMethod = kTestMethodLeeb;
    {
        CArchiveService service(ArchiveFile(), &context, [&](const STArchiveReport& report) {
            EXPECT_EQ(QThread::currentThread(), context.thread());
            reports.push_back(report);
        });
        for (int n = 1; n <= 100; ++n) {
            auto item = std::make_unique<STLedgermillItem>();
            item->m_subItem.emplace(u"NAME", Utf8ToUtf16("R" + std::to_string(n)));
            item->m_values = {400.0 + n};
            item->UpdateStatistics();
            batch.AddItem(std::move(item));
            batch.UpdateStatistics();
            service.Archive(std::make_shared<const STLedgermill>(batch), {u"Station A", u"J. Smith"});
        }
        service.WaitForLocalWrites();
        EXPECT_LT(service.WriteCount(), 50);
        EXPECT_TRUE(WaitFor([&] { return static_cast<std::int64_t>(reports.size()) == service.WriteCount(); }));
    }
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().m_eKind, STArchiveReport::EKind::kArchived);
    EXPECT_EQ(reports.back().m_strKey, BatchKey(batch));
    std::string failure;
    const auto archive = CArchiveDatabase::OpenSqlite(ArchiveFile(), failure);
    QSqlDatabase database = archive->Database();
    STLedgermill archived;
    ASSERT_TRUE(LoadArchivedBatch(database, u"Station A", BatchKey(batch), archived, failure)) << failure;
    EXPECT_EQ(BatchDifference(batch, archived), "");
}
