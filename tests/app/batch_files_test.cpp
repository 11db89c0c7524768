// Load, Save and closing with changes not yet saved, through the window.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "app/ledgermill_app.h"
#include "app/ledgermill_dlg.h"
#include "persistence/batch_file.h"
#include "persistence/batch_file_writer.h"
#include "persistence/serializer.h"
#include "persistence/setting.h"
#include "list_cells.h"
#include "scripted_modal.h"
#include "test_folders.h"
#include "support/temp_folder.h"

namespace {

class BatchFiles : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
        m_window = std::make_unique<CLedgermillDlg>();
    }
    void TearDown() override {
        m_window.reset();
        ResetDefaults(g_stSetting);  // no test leaves its settings to the next
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    void Answer(const std::string& name) {
        m_pModal->m_fileName = name.empty() ? QString() : QString::fromStdString(PathOf(name));
    }
    QString LastMessage() const { return m_pModal->m_messages.back(); }
    STProgramFolders Folders() const { return PortableFoldersIn(PathOf("")); }
    STLedgermill& AddBatchWithItems() {
        m_window->OnNew();
        STLedgermill& batch = *m_window->m_pCurBatch;
        for (const double reading : {448.0, 470.0}) {
            auto item = std::make_unique<STLedgermillItem>();
            item->m_subItem.emplace(u"NAME", u"P01");
            item->m_values = {reading};
            item->UpdateStatistics();
            batch.AddItem(std::move(item));
        }
        batch.UpdateStatistics();
        m_window->ShowBatchSelection();
        return batch;
    }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
};

}  // namespace

TEST_F(BatchFiles, SaveAddsTheExtensionAndLoadingTheSameBatchTwiceIsRefused) {
    m_window->OnSave();  // nothing selected: no dialog at all
    m_window->WaitForLongWork();
    EXPECT_TRUE(m_pModal->m_messages.empty());
    STLedgermill& batch = AddBatchWithItems();
    Answer("run1");
    m_window->OnSave();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage(), "Save HDB File");
    EXPECT_TRUE(std::filesystem::exists(m_root / "run1.hdb"));
    Answer("RUN2.HDB");
    m_window->OnSave();
    m_window->WaitForLongWork();
    EXPECT_TRUE(std::filesystem::exists(m_root / "RUN2.HDB"));
    Answer("run3.txt");
    m_window->OnSave();
    m_window->WaitForLongWork();
    EXPECT_TRUE(std::filesystem::exists(m_root / "run3.txt.hdb"));

    Answer("run1.hdb");
    m_window->OnLoad();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage(), "Marlo|Data Existed.");
    EXPECT_EQ(m_window->m_batchList.rowCount(), 1);
    EXPECT_EQ(m_window->m_pCurBatch, &batch);
}

TEST_F(BatchFiles, LoadAddsARowWithTheStoredBatch) {
    AddBatchWithItems();
    Answer("run1.hdb");
    m_window->OnSave();
    m_window->WaitForLongWork();
    m_window->m_batchList.selectRow(0);
    m_window->OnDeleteBatch();
    m_window->OnLoad();
    m_window->WaitForLongWork();
    ASSERT_EQ(m_window->m_batchList.rowCount(), 1);
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "2");
    ASSERT_NE(m_window->m_pCurBatch, nullptr);
    EXPECT_EQ(m_window->m_leebList.rowCount() + m_window->m_uciList.rowCount(), 2);
    EXPECT_EQ(m_window->m_maxEdit.text(), "470.0");
}

TEST_F(BatchFiles, UnreadableFilesFailToLoadAndFailedSavesSaySo) {
    WriteBytes("foreign.hdb", "<settings></settings>");
    Answer("foreign.hdb");
    m_window->OnLoad();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage(), "Marlo|Load Failed.");
    Answer("missing.hdb");
    m_window->OnLoad();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage().toStdString(),
              "Marlo|Load Failed.\n" + PathOf("missing.hdb") + ": " + std::strerror(ENOENT));
    // A FIFO is never waited for; a file too large to hold is refused unread.
    ASSERT_EQ(::mkfifo(PathOf("fifo.hdb").c_str(), 0600), 0);
    Answer("fifo.hdb");
    m_window->OnLoad();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage().toStdString(),
              "Marlo|Load Failed.\n" + PathOf("fifo.hdb") + ": not a regular file");
    std::ofstream(PathOf("huge.hdb")).put('<');
    std::filesystem::resize_file(PathOf("huge.hdb"), (std::uintmax_t{1} << 30) + 1);
    Answer("huge.hdb");
    m_window->OnLoad();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage().toStdString(),
              "Marlo|Load Failed.\n" + PathOf("huge.hdb") + ": larger than 1 GiB");
    EXPECT_EQ(m_window->m_batchList.rowCount(), 0);

    AddBatchWithItems();
    Answer("no-such-folder/run.hdb");
    m_window->OnSave();
    m_window->WaitForLongWork();
    EXPECT_EQ(LastMessage(), "Marlo|Save Failed.");
}

TEST_F(BatchFiles, ClosingWithUnsavedChangesAsksFirst) {
    m_window->show();
    m_window->OnNew();
    m_window->reject();  // a new, empty batch holds nothing to lose
    EXPECT_TRUE(m_pModal->m_messages.empty());
    m_window->show();
    AddBatchWithItems();
    m_window->m_leebList.selectRow(0);
    m_window->m_uciList.selectRow(0);
    m_window->OnDeleteMeasurement();
    m_pModal->m_bYes = false;
    m_window->reject();
    EXPECT_EQ(LastMessage(), "Marlo|Some batches have not been saved. Close anyway?");
    EXPECT_TRUE(m_window->isVisible());
    Answer("kept.hdb");
    m_window->OnSave();
    m_window->WaitForLongWork();
    const std::size_t asked = m_pModal->m_messages.size();
    m_window->accept();
    EXPECT_EQ(m_pModal->m_messages.size(), asked);
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(BatchFiles, FirstRunWritesTheDefaultSettingsAtExit) {
    m_window.reset();
    g_stSetting.m_nCom = 7;
    CLedgermillApp app(Folders());
    EXPECT_EQ(app.Run(), 0);
    std::ifstream file(PathOf("Setting.xml"), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 55);
    EXPECT_NE(text.find("<m_nCom class = \"int\">\r\n\t\t\t1\r\n"), std::string::npos);
}

TEST_F(BatchFiles, ASettingsFileThatCannotBeReadIsToldAndNeverWrittenOver) {
    m_window.reset();
    const std::string foreign = "<settings>the operator's own</settings>";
    WriteBytes("Setting.xml", foreign);
    CLedgermillApp app(Folders());
    EXPECT_EQ(app.Run(), 0);
    ASSERT_FALSE(m_pModal->m_messages.empty());
    EXPECT_EQ(m_pModal->m_messages.front().toStdString(),
              "Marlo|Settings could not be read: " + PathOf("Setting.xml") +
                  ": not a settings file. Defaults are used.");
    EXPECT_EQ(ReadBytes("Setting.xml"), foreign);
}

namespace {

std::string LeebRecord(int n) {
    return "NAME:R" + std::to_string(n) +
           "\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\nVALUE:450\r\nDATE:2016-05-04 10:20:30\r\n";
}

// Loads the file with the old reader, as any program would.
STLedgermill ReadSaved(const std::string& path) {
    CSerializer archive;
    STLedgermill batch;
    EXPECT_TRUE(archive.OpenForRead(path));
    ReadBatch(archive.GetRoot(), kBatchInstanceName, batch);
    return batch;
}

}  // namespace

TEST_F(BatchFiles, ACancelledLoadAddsNothingAndSaysNothing) {
    STLedgermill big;
    for (int i = 0; i < 60000; ++i) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", u"P" + std::u16string(6, u'0'));
        item->m_values = {450, 451, 452};
        big.AddItem(std::move(item));
    }
    ASSERT_TRUE(SaveBatchFile(PathOf("big.hdb"), big));
    Answer("big.hdb");
    m_window->OnLoad();
    EXPECT_FALSE(m_window->m_loadButton.isEnabled());  // one long work at a time
    EXPECT_EQ(m_window->m_workIndicator.TitleText(), "Loading big.hdb");
    m_window->m_workIndicator.CancelButton().click();
    // The status line still shows the work until it has ended.
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        m_window->show();
        m_window->grab().save(QString::fromUtf8(folder) + "/main_window_loading.png");
    }
    m_window->WaitForLongWork();
    EXPECT_EQ(m_window->m_batches.Count(), 0);
    EXPECT_EQ(m_window->m_batchList.rowCount(), 0);
    EXPECT_EQ(LastMessage(), "Load HDB File");  // no message after the dialog
    EXPECT_TRUE(m_window->m_loadButton.isEnabled());
    EXPECT_TRUE(m_window->m_workIndicator.isHidden());
}

TEST_F(BatchFiles, RecordsArrivingWhileTheBatchIsSavedWaitAndTheFileHoldsTheBatchAsItWas) {
    g_stSetting.m_bShowOnline = true;
    g_stSetting.m_nTestMethod = kTestMethodLeeb;
    STLedgermill& batch = AddBatchWithItems();
    m_window->m_realTimeBox.setChecked(true);
    Answer("saving.hdb");
    m_window->OnSave();
    for (int n = 1; n <= 50; ++n) {
        m_window->OnSerialData(QByteArray::fromStdString(LeebRecord(n) + "\r\n"));
    }
    m_window->OnDeleteMeasurement();  // held as well
    const std::size_t whileSaving = batch.m_itemVector.size();
    m_window->WaitForLongWork();
    EXPECT_EQ(whileSaving, 2u);
    const STLedgermill saved = ReadSaved(PathOf("saving.hdb"));
    EXPECT_EQ(saved.m_itemVector.size(), 2u);
    EXPECT_EQ(saved.m_dMax, 470.0);  // the figures of the items written
    // Once saved, what waited is filed, and the batch counts as changed.
    EXPECT_EQ(batch.m_itemVector.size(), 52u);
    EXPECT_TRUE(m_window->m_batches.IsUnsaved(&batch));
    EXPECT_EQ(CellText(m_window->m_batchList, 0, 4), "52");
}

TEST_F(BatchFiles, ClosingWhileABatchIsSavedWaitsForTheFileAndAsksNothing) {
    m_window->show();
    m_window->m_batches.MarkUnsaved(&AddBatchWithItems());
    Answer("closing.hdb");
    m_window->OnSave();
    m_window->accept();  // the save ends first, and then nothing is unsaved
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(LastMessage(), "Save HDB File");
    EXPECT_EQ(ReadSaved(PathOf("closing.hdb")).m_itemVector.size(), 2u);
    // A load still running when the window goes is stopped and dropped.
    Answer("closing.hdb");
    m_window->OnLoad();
    m_window.reset();
}
