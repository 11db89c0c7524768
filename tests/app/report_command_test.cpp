// The Report command through the window: the bitmap under Result/ beside the
// program, the workbook saved and opened, and what the operator is told.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>

#include "app/ledgermill_dlg.h"
#include "common/paths.h"
#include "common/utf.h"
#include "persistence/batch_file.h"
#include "persistence/serializer.h"
#include "persistence/setting.h"
#include "report/report_files.h"
#include "report/report_fixtures.h"
#include "scripted_modal.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

class ReportCommand : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_result = PathOf("program/Result/");
        m_pModal = InstallScriptedModal();
        m_window = std::make_unique<CLedgermillDlg>();
        m_window->m_strResultFolder = Utf8ToUtf16(m_result);
    }
    void TearDown() override {
        m_window.reset();
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    // Loads the batch through the window, which lists and selects it.
    STLedgermill& Load(const STLedgermill& batch) {
        CSerializer archive;
        archive.OpenForWrite();
        WriteBatch(batch, archive.GetRoot(), kBatchInstanceName);
        const std::string path = PathOf(std::to_string(batch.m_time) + ".hdb");
        EXPECT_TRUE(archive.SaveFile(path));
        m_pModal->m_fileName = QString::fromStdString(path);
        m_window->OnLoad();
        m_window->WaitForLongWork();
        return *m_window->m_batches.At(m_window->m_batches.Count() - 1);
    }
    std::vector<std::string> ResultFiles() const {
        std::vector<std::string> names;
        if (fs::is_directory(m_result))
            for (const auto& entry : fs::directory_iterator(m_result))
                names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string m_result;
    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
    CRecordingComponent m_component;
};

const std::vector<STItemTexts> kItems = {{u"P01", u"HL", u"D", u"270", u"2016-05-04 10:21", 448.0},
                                         {u"P02", u"HL", u"D", u"90", u"2016-05-04 10:22", 452.0}};

TEST_F(ReportCommand, NothingSelectedDoesNothingAndAnEmptyBatchOnlySaysNoData) {
    m_window->OnReport();
    m_window->WaitForLongWork();
    auto empty = MakeBatch(kTestMethodLeeb, {});
    Load(*empty);
    m_window->OnReport();
    m_window->WaitForLongWork();
    EXPECT_EQ(m_pModal->m_messages.back(), "Marlo|No Data.");
    EXPECT_TRUE(ResultFiles().empty());
    EXPECT_TRUE(m_component.m_opened.empty());
}

TEST_F(ReportCommand, TwoReportsLeaveTheSecondBitmapAndOpenBothWorkbooks) {
    auto first = MakeBatch(kTestMethodLeeb, kItems);
    auto second = MakeBatch(kTestMethodUci, kItems);
    second->m_time += 60;
    Load(*first);
    STLedgermill& shown = Load(*second);
    m_window->m_batchList.selectRow(0);
    m_window->OnReport();
    m_window->WaitForLongWork();
    m_window->m_batchList.selectRow(1);
    m_window->OnReport();
    m_window->WaitForLongWork();

    EXPECT_EQ(m_window->m_pCurBatch, &shown);
    const std::u16string firstStem =
        ReportFilesIn(m_window->m_strResultFolder, *first).m_strWorkbook;
    const STReportFiles secondFiles = ReportFilesIn(m_window->m_strResultFolder, shown);
    EXPECT_EQ(m_component.m_opened,
              (std::vector<std::u16string>{firstStem, secondFiles.m_strWorkbook}));
    const std::string stem = fs::path(Utf16ToUtf8(secondFiles.m_strBitmap)).stem();
    EXPECT_EQ(ResultFiles(), (std::vector<std::string>{fs::path(Utf16ToUtf8(firstStem)).filename(),
                                                       stem + ".bmp", stem + ".xlsx"}));
    EXPECT_TRUE(m_pModal->m_messages.empty() || m_pModal->m_messages.back() == "Load HDB File");
    EXPECT_EQ(m_component.Sheet().m_pictures.size(), 1u);
}

TEST_F(ReportCommand, AReportThatCannotBeWrittenOrOpenedIsTold) {
    STLedgermill& batch = Load(*MakeBatch(kTestMethodLeeb, kItems));
    WriteBytes("file", "not a folder");
    m_window->m_strResultFolder = Utf8ToUtf16(PathOf("file/Result/"));  // no bitmap, no workbook
    m_window->OnReport();
    m_window->WaitForLongWork();
    // The folder that could not be made is named, with the system's reason.
    EXPECT_EQ(m_pModal->m_messages.back().toStdString(),
              "Marlo|Report Failed.\n" + PathOf("file/Result/") + ": " + std::strerror(ENOTDIR));
    m_pModal->m_messages.clear();

    m_window->m_strResultFolder = Utf8ToUtf16(m_result);
    const STReportFiles files = ReportFilesIn(m_window->m_strResultFolder, batch);
    CRecordingComponent refusing(false);
    m_window->OnReport();
    m_window->WaitForLongWork();
    EXPECT_EQ(m_pModal->m_messages.back().toStdString(),
              "Marlo|No application could open the report. It is saved as " +
                  Utf16ToUtf8(files.m_strWorkbook));
    EXPECT_TRUE(fs::exists(Utf16ToUtf8(files.m_strWorkbook)));
}

}  // namespace

// A workbook may have been edited and be open in the spreadsheet
// application: reporting the batch again writes <time>-2.xlsx and so on.
TEST_F(ReportCommand, ReportingAgainNeverReplacesAWorkbook) {
    STLedgermill& batch = Load(*MakeBatch(kTestMethodLeeb, kItems));
    const std::string first =
        Utf16ToUtf8(ReportFilesIn(m_window->m_strResultFolder, batch).m_strWorkbook);
    m_window->OnReport();
    m_window->WaitForLongWork();
    std::ifstream in(first, std::ios::binary);
    const std::string edited = "edited by the operator";
    in.close();
    std::ofstream(first, std::ios::binary) << edited;
    m_window->OnReport();
    m_window->WaitForLongWork();
    m_window->OnReport();
    m_window->WaitForLongWork();
    const std::string stem = fs::path(first).stem();
    ASSERT_EQ(m_component.m_opened.size(), 3u);
    EXPECT_EQ(Utf16ToUtf8(m_component.m_opened[1]), m_result + stem + "-2.xlsx");
    EXPECT_EQ(Utf16ToUtf8(m_component.m_opened[2]), m_result + stem + "-3.xlsx");
    std::ifstream kept(first, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), edited);
}

TEST_F(ReportCommand, ACancelledReportLeavesNothingAndSaysNothing) {
    std::vector<STItemTexts> many;
    for (int i = 0; i < 10000; ++i) {
        many.push_back(kItems[static_cast<std::size_t>(i % 2)]);
    }
    Load(*MakeBatch(kTestMethodLeeb, many));
    m_pModal->m_messages.clear();
    m_window->OnReport();
    EXPECT_EQ(m_window->m_workIndicator.TitleText(), "Writing the report");
    m_window->m_workIndicator.CancelButton().click();
    m_window->WaitForLongWork();
    EXPECT_TRUE(ResultFiles().empty());
    EXPECT_TRUE(m_component.m_opened.empty());
    EXPECT_TRUE(m_pModal->m_messages.empty());
    EXPECT_TRUE(m_window->m_reportButton.isEnabled());
}
