// The report workbook, cell by cell, as the layout places it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "common/utf.h"
#include "persistence/setting.h"
#include "report/fill_workbook.h"
#include "read_back.h"
#include "report_fixtures.h"
#include "support/temp_folder.h"

namespace {

constexpr std::int32_t kRed = 255;

class FillWorkbookTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        ResetDefaults(g_stSetting);
        g_stSetting.m_strTitleOne = u"Hardness Test Report";
        g_stSetting.m_strTitleTwo = u"Rolling Mill 2";
        g_stSetting.m_strDepartment = u"QA";
        g_stSetting.m_strSpecimen = u"Shaft";
        g_stSetting.m_strOperator = u"Lee";
        g_stSetting.m_dSamplingRate = 12.5;
        g_stSetting.m_dLowerLimit = 430.0;
        g_stSetting.m_dUpperLimit = 470.0;
        m_files = {Utf8ToUtf16(PathOf("chart.bmp")), Utf8ToUtf16(PathOf("report.xlsx"))};
        WriteTestBitmap(PathOf("chart.bmp"), 611, 234);
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
        ResetDefaults(g_stSetting);
        TempFolder::TearDown();
    }

    // The workbook's second sheet after Fill.
    const STWorksheet& CapabilitySheet() const {
        return *m_component.m_workbooks.back().m_sheets.at(1).m_pWorksheet;
    }
    // Every expected line is in the file's read-back.
    static void ExpectLines(const std::string& file, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) EXPECT_NE(file.find(line + "\n"), std::string::npos) << line << "\n" << file;
    }

    // Fills the workbook for the batch and returns its sheet.
    const STWorksheet& Fill(const STLedgermill& batch) {
        EXPECT_EQ(FillWorkbook(batch, m_files), EFillResult::kFilled);
        EXPECT_EQ(m_component.m_opened.back(), m_files.m_strWorkbook);
        return m_component.Sheet();
    }

    static void ExpectCell(const STWorksheet& sheet, const char* address, std::u16string_view text,
                           std::int32_t alignment,
                           std::optional<std::uint32_t> color = std::nullopt) {
        const auto position = ParseCellAddress(address);
        const STCell* cell = sheet.FindCell(position->m_nRow, position->m_nColumn);
        ASSERT_NE(cell, nullptr) << address;
        EXPECT_EQ(Utf16ToUtf8(cell->m_strText), Utf16ToUtf8(text)) << address;
        EXPECT_EQ(cell->m_nAlignment, alignment) << address;
        EXPECT_EQ(cell->m_font.m_strName, u"Times New Roman") << address;
        EXPECT_EQ(cell->m_font.m_dSize, 10.0) << address;
        EXPECT_EQ(cell->m_font.m_oColor, color) << address;
    }
    static bool IsMerged(const STWorksheet& sheet, const char* range) {
        const auto rect = ParseRangeAddress(range);
        const STCellRect* merge = sheet.MergeAt(rect->m_nTop, rect->m_nLeft);
        return merge != nullptr && *merge == *rect;
    }
    static bool HasText(const STWorksheet& sheet, const char* address) {
        const auto position = ParseCellAddress(address);
        const STCell* cell = sheet.FindCell(position->m_nRow, position->m_nColumn);
        return cell != nullptr && !cell->m_strText.empty();
    }

    STReportFiles m_files;
    CRecordingComponent m_component;
};

const std::vector<STItemTexts> kLeebItems = {
    {u"P01", u"HL", u"D", u"270", u"2016-05-04 10:21", 448.0},
    {u"P02", u"HL", u"D", u"", u"2016-05-04 10:22", 440.0},    // on the lower limit: passes
    {u"P03", u"HL", u"D", u"90", u"2016-05-04 10:23", 439.9},  // 0.1 below: NG
};

TEST_F(FillWorkbookTest, HeaderBlockCarriesTheSettingsTextsAndTheBatchsDate) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const STWorksheet& sheet = Fill(*batch);
    for (const char* merged :
         {"A1:I1", "A2:I2", "B3:E3", "G3:I3", "B4:E4", "G4:I4", "A5:A6", "A7:I7"})
        EXPECT_TRUE(IsMerged(sheet, merged)) << merged;
    ExpectCell(sheet, "A1", u"Hardness Test Report", kXlCenter);
    ExpectCell(sheet, "A2", u"Rolling Mill 2", kXlCenter);
    ExpectCell(sheet, "A3", u"Department:", kXlRight);
    ExpectCell(sheet, "B3", u"QA", kXlLeft);
    ExpectCell(sheet, "F3", u"Date:", kXlRight);
    ExpectCell(sheet, "G3", u"2016-05-04", kXlLeft);
    ExpectCell(sheet, "A4", u"Specimen:", kXlRight);
    ExpectCell(sheet, "B4", u"Shaft", kXlLeft);
    ExpectCell(sheet, "F4", u"Operator:", kXlRight);
    ExpectCell(sheet, "G4", u"Lee", kXlLeft);
    ExpectCell(sheet, "A5", u"Parameters:", kXlRight);
    const char* labels[] = {"B5", "C5", "D5", "E5", "F5", "G5"};
    const char16_t* labelTexts[] = {u"Lower Limit", u"Upper Limit", u"Sampling Rate",
                                    u"Quantity",    u"Test Model",  u"Test Method"};
    for (int i = 0; i < 6; ++i)
        ExpectCell(sheet, labels[i], labelTexts[i], kXlCenter);
    // The batch's limits, which the NG/Pass column judges by, not the
    // settings' defaults 430..470.
    ExpectCell(sheet, "B6", u"440.0", kXlCenter);
    ExpectCell(sheet, "C6", u"460.0", kXlCenter);
    ExpectCell(sheet, "D6", u"12.5%", kXlCenter);
    ExpectCell(sheet, "E6", u"3", kXlCenter);
    ExpectCell(sheet, "F6", u"Batch", kXlCenter);
    ExpectCell(sheet, "G6", u"Leeb", kXlCenter);
    for (const char* empty : {"H5", "I5", "H6", "I6", "A7"})
        EXPECT_FALSE(HasText(sheet, empty)) << empty;
}

TEST_F(FillWorkbookTest, LeebRowsShowImpactDirectionAndValueAndTurnRedBelowTheLimit) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const STWorksheet& sheet = Fill(*batch);
    ExpectCell(sheet, "A8", u"S/N", kXlCenter);
    ExpectCell(sheet, "C8", u"HD SCALE", kXlCenter);
    ExpectCell(sheet, "D8", u"IMPACT", kXlCenter);
    ExpectCell(sheet, "E8", u"DIR", kXlCenter);
    ExpectCell(sheet, "F8", u"VALUE", kXlCenter);
    ExpectCell(sheet, "G8", u"DATE", kXlCenter);
    ExpectCell(sheet, "I8", u"NG/Pass", kXlCenter, kRed);
    EXPECT_TRUE(IsMerged(sheet, "G8:H8"));
    EXPECT_EQ(sheet.MergeAt(8, 5), nullptr);

    ExpectCell(sheet, "A9", u"1", kXlCenter);
    ExpectCell(sheet, "B9", u"P01", kXlCenter);
    ExpectCell(sheet, "D9", u"D", kXlCenter);
    ExpectCell(sheet, "E9", u"\u2193", kXlCenter);
    ExpectCell(sheet, "F9", u"448.0", kXlCenter);
    ExpectCell(sheet, "G9", u"2016-05-04 10:21", kXlCenter);
    ExpectCell(sheet, "I9", u"Pass", kXlCenter);
    ExpectCell(sheet, "E10", u"", kXlCenter);  // no direction recorded
    ExpectCell(sheet, "F10", u"440.0", kXlCenter);
    ExpectCell(sheet, "I10", u"Pass", kXlCenter);
    for (const char* cell : {"A11", "B11", "C11", "D11", "E11", "F11", "G11", "I11"})
        EXPECT_EQ(sheet.FindCell(ParseCellAddress(cell)->m_nRow, ParseCellAddress(cell)->m_nColumn)
                      ->m_font.m_oColor,
                  std::optional<std::uint32_t>(kRed))
            << cell;
    ExpectCell(sheet, "F11", u"439.9", kXlCenter, kRed);
    ExpectCell(sheet, "I11", u"NG", kXlCenter, kRed);
    for (const char* merged : {"G9:H9", "G10:H10", "G11:H11"})
        EXPECT_TRUE(IsMerged(sheet, merged)) << merged;
}

TEST_F(FillWorkbookTest, UciRowsMergeTheValueOverEAndF) {
    const auto batch =
        MakeBatch(kTestMethodUci, {{u"U01", u"HV", u"49N", u"", u"2016-05-04 11:00", 450.0},
                                   {u"U02", u"HV", u"49N", u"", u"2016-05-04 11:01", 460.1}});
    const STWorksheet& sheet = Fill(*batch);
    ExpectCell(sheet, "D8", u"FORCE", kXlCenter);
    ExpectCell(sheet, "E8", u"VALUE", kXlCenter);
    ExpectCell(sheet, "G6", u"UCI", kXlCenter);
    for (const char* merged : {"E8:F8", "E9:F9", "E10:F10", "G9:H9"})
        EXPECT_TRUE(IsMerged(sheet, merged)) << merged;
    ExpectCell(sheet, "D9", u"49N", kXlCenter);
    ExpectCell(sheet, "E9", u"450.0", kXlCenter);
    ExpectCell(sheet, "E10", u"460.1", kXlCenter, kRed);
    ExpectCell(sheet, "I10", u"NG", kXlCenter, kRed);
}

TEST_F(FillWorkbookTest, WithoutUseLimitEveryRowPasses) {
    auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    batch->m_bUseLimit = false;
    const STWorksheet& sheet = Fill(*batch);
    for (const char* status : {"I9", "I10", "I11"})
        ExpectCell(sheet, status, u"Pass", kXlCenter);
}

TEST_F(FillWorkbookTest, RowSixPrintsTheLimitsThatJudgeTheRowsInTheSheetAndTheFile) {
    struct Case {
        bool useLimit;
        double lower;
        double upper;
        const char* lowerText;
        const char* upperText;
        const char* lastStatus;  // P03 at 439.9
        // As the file stores them: numbers shown with one decimal, or text.
        const char* lowerStored;
        const char* upperStored;
    };
    const Case cases[] = {
        {true, 440.0, 460.0, "440.0", "460.0", "NG", "440 [0.0]", "460 [0.0]"},
        // rounded as every one-decimal text
        {true, 439.9, 470.25, "439.9", "470.2", "Pass", "439.9 [0.0]", "470.2 [0.0]"},
        {false, 440.0, 460.0, "not used", "not used", "Pass", "\"not used\"", "\"not used\""},
    };
    int number = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.lowerText);
        auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
        batch->m_bUseLimit = test.useLimit;
        batch->m_dLowerLimit = test.lower;
        batch->m_dUpperLimit = test.upper;
        const std::string name = "report-" + std::to_string(++number) + ".xlsx";
        m_files.m_strWorkbook = Utf8ToUtf16(PathOf(name));
        const STWorksheet& sheet = Fill(*batch);
        ExpectCell(sheet, "B6", Utf8ToUtf16(test.lowerText), kXlCenter);
        ExpectCell(sheet, "C6", Utf8ToUtf16(test.upperText), kXlCenter);
        const std::string file = ReadBack(PathOf(name));
        for (const auto& [cell, stored] : {std::pair{"B6", std::string(test.lowerStored)},
                                           {"C6", std::string(test.upperStored)},
                                           {"I11", "\"" + std::string(test.lastStatus) + "\""}}) {
            const std::string line = std::string("Sheet1!") + cell + " " + stored + " Times New Roman 10";
            EXPECT_NE(file.find(line), std::string::npos) << line << "\n" << file;
        }
    }
}

TEST_F(FillWorkbookTest, PictureSummaryAndBordersFollowTheItemCount) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);  // n = 3
    const STWorksheet& sheet = Fill(*batch);
    EXPECT_TRUE(IsMerged(sheet, "A12:I27"));
    EXPECT_EQ(sheet.MergeAt(11, 1), nullptr);  // the last item row stays a row
    EXPECT_TRUE(IsMerged(sheet, "A28:I28"));
    EXPECT_TRUE(IsMerged(sheet, "A31:I31"));
    const char16_t* labels[] = {u"Total", u"Average", u"Min", u"Max", u"Deviation"};
    const char* labelCells[] = {"A29", "B29", "C29", "D29", "E29"};
    for (int i = 0; i < 5; ++i)
        ExpectCell(sheet, labelCells[i], labels[i], kXlCenter);
    ExpectCell(sheet, "A30", u"3", kXlCenter);
    ExpectCell(sheet, "B30", u"442.6", kXlCenter);
    ExpectCell(sheet, "C30", u"439.9", kXlCenter);
    ExpectCell(sheet, "D30", u"448.0", kXlCenter);
    ExpectCell(sheet, "E30", u"4.6", kXlCenter);
    for (const char* empty : {"F29", "I29", "F30", "I30"})
        EXPECT_FALSE(HasText(sheet, empty)) << empty;

    ASSERT_EQ(sheet.m_pictures.size(), 1u);
    const STPicture& picture = sheet.m_pictures.front();
    EXPECT_EQ(picture.m_nPixelWidth, 611);
    EXPECT_EQ(picture.m_fLeft, 0.0f);
    EXPECT_EQ(picture.m_fTop, 11 * 15.0f);
    EXPECT_EQ(picture.m_fWidth, static_cast<float>(sheet.ColumnsPixels(1, 9)) * 0.75f);
    EXPECT_EQ(picture.m_fHeight, 16 * 15.0f);

    for (std::int32_t row = 1; row <= 32; ++row) {
        for (std::int32_t column = 1; column <= 10; ++column) {
            const STCell* cell = sheet.FindCell(row, column);
            const bool framed = row <= 31 && column <= 9;
            const STCellBorders all{true, true, true, true};
            EXPECT_EQ(cell != nullptr && cell->m_borders == all, framed) << row << "," << column;
        }
    }
}

TEST_F(FillWorkbookTest, ColumnsFitTheirWidestUnmergedText) {
    g_stSetting.m_strTitleOne = std::u16string(200, u'W');  // merged: widens nothing
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const STWorksheet& sheet = Fill(*batch);
    // "Parameters:" sits in the merged A5:A6; "Department:" is A's widest.
    EXPECT_GT(sheet.ColumnPixels(1), 50);
    EXPECT_LT(sheet.ColumnPixels(1), 90);
    EXPECT_LT(sheet.ColumnPixels(9), sheet.ColumnPixels(4));  // "NG/Pass" < "Sampling Rate"
    EXPECT_EQ(sheet.ColumnPixels(8), kDefaultColumnPixels);   // H is merged into G throughout
}

TEST_F(FillWorkbookTest, ChartSheetEndsTheReportWithoutAWorkbook) {
    CRecordingComponent chartFirst(true, ESheetKind::kChart);
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kStopped);
    EXPECT_TRUE(chartFirst.m_opened.empty());
    EXPECT_FALSE(std::filesystem::exists(PathOf("report.xlsx")));
}

TEST_F(FillWorkbookTest, MissingPictureStopsAndUnwritableOrUnopenedWorkbooksAreTold) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    std::filesystem::remove(PathOf("chart.bmp"));
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kStopped);
    EXPECT_TRUE(m_component.m_opened.empty());

    WriteTestBitmap(PathOf("chart.bmp"), 20, 10);
    m_files.m_strWorkbook = Utf8ToUtf16(PathOf("missing/report.xlsx"));
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kNotSaved);
    EXPECT_TRUE(m_component.m_opened.empty());

    CRecordingComponent refusing(false);
    m_files.m_strWorkbook = Utf8ToUtf16(PathOf("report.xlsx"));
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kNotOpened);
    EXPECT_TRUE(std::filesystem::exists(PathOf("report.xlsx")));
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FillWorkbookTest, ReportsOfOneBatchNumberTheirWorkbooksAndKeepTheEarlierOnes) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const std::u16string folder = Utf8ToUtf16(PathOf("Result/"));
    std::vector<std::string> earlier;
    for (int report = 1; report <= 3; ++report) {
        PrepareReportFolder(folder);
        const STReportFiles files = NewReportFilesIn(folder, *batch);
        WriteTestBitmap(Utf16ToUtf8(files.m_strBitmap), 40, 20);
        ASSERT_EQ(FillWorkbook(*batch, files), EFillResult::kFilled);
        earlier.push_back(Utf16ToUtf8(files.m_strWorkbook));
    }
    EXPECT_EQ(NamesIn(PathOf("Result")),
              (std::vector<std::string>{"20160504102030-2.xlsx", "20160504102030-3.xlsx",
                                        "20160504102030.bmp", "20160504102030.xlsx"}));
    const std::string first = ReadBytes("Result/20160504102030.xlsx");
    const std::string second = ReadBytes("Result/20160504102030-2.xlsx");

    // A fourth report into the same names, as a race with another save
    // would have it, leaves both as they were.
    STReportFiles files = ReportFilesIn(folder, *batch);
    EXPECT_EQ(FillWorkbook(*batch, files), EFillResult::kNotSaved);
    files.m_strWorkbook = Utf8ToUtf16(earlier[1]);
    EXPECT_EQ(FillWorkbook(*batch, files), EFillResult::kNotSaved);
    EXPECT_EQ(ReadBytes("Result/20160504102030.xlsx"), first);
    EXPECT_EQ(ReadBytes("Result/20160504102030-2.xlsx"), second);
    EXPECT_EQ(NamesIn(PathOf("Result")).size(), 4u);  // nothing left under a temporary name
    EXPECT_EQ(m_component.m_opened.size(), 3u);
}

TEST_F(FillWorkbookTest, TheFirstFreeWorkbookNameSkipsFoldersAndDanglingLinksToo) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const std::u16string folder = Utf8ToUtf16(PathOf(""));
    const auto workbook = [&] {
        return Utf16ToUtf8(NewReportFilesIn(folder, *batch).m_strWorkbook);
    };
    std::filesystem::create_directory(PathOf("20160504102030.xlsx"));
    EXPECT_EQ(workbook(), PathOf("20160504102030-2.xlsx"));
    std::filesystem::create_symlink(PathOf("nowhere"), PathOf("20160504102030-2.xlsx"));
    EXPECT_EQ(workbook(), PathOf("20160504102030-3.xlsx"));
    std::filesystem::remove(PathOf("20160504102030.xlsx"));
    EXPECT_EQ(workbook(), PathOf("20160504102030.xlsx"));  // the first free, not after the last
}

TEST_F(FillWorkbookTest, AFileOrLinkOfTheWorkbooksNameIsNeverReplaced) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    WriteBytes("report.xlsx", "someone's notes");
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kNotSaved);
    EXPECT_EQ(ReadBytes("report.xlsx"), "someone's notes");
    EXPECT_TRUE(m_component.m_opened.empty());

    std::filesystem::remove(PathOf("report.xlsx"));
    std::filesystem::create_symlink(PathOf("elsewhere.xlsx"), PathOf("report.xlsx"));
    EXPECT_EQ(FillWorkbook(*batch, m_files), EFillResult::kNotSaved);
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("report.xlsx")));
    EXPECT_FALSE(std::filesystem::exists(PathOf("elsewhere.xlsx")));
    EXPECT_EQ(NamesIn(m_root.string()), (std::vector<std::string>{"chart.bmp", "report.xlsx"}));
}

TEST_F(FillWorkbookTest, TheSavedFileReadsBackWithItsLayout) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    const STWorksheet& sheet = Fill(*batch);
    const std::string file = ReadBack(PathOf("report.xlsx"));
    const auto has = [&file](const std::string& line) { return file.find(line + "\n") != std::string::npos; };
    EXPECT_TRUE(has("Sheet1!A1 \"Hardness Test Report\" Times New Roman 10 - center LTRB")) << file;
    EXPECT_TRUE(has("Sheet1!G3 date:2016-05-04 [yyyy-mm-dd] Times New Roman 10 - left LTRB"));
    EXPECT_TRUE(has("Sheet1!I8 \"NG/Pass\" Times New Roman 10 FFFF0000 center LTRB"));
    EXPECT_TRUE(has("Sheet1!E9 \"↓\" Times New Roman 10 - center LTRB"));
    EXPECT_TRUE(has("Sheet1!F11 439.9 [0.0] Times New Roman 10 FFFF0000 center LTRB"));
    EXPECT_TRUE(has("Sheet1!A29 \"Total\" Times New Roman 10 - center LTRB"));
    for (const char* merge : {"A1:I1", "G11:H11", "A12:I27", "A28:I28", "A31:I31"})
        EXPECT_TRUE(has(std::string("Sheet1 merge ") + merge)) << merge;
    EXPECT_TRUE(has("Sheet1 width A " + std::to_string(sheet.ColumnPixels(1))));
    // Anchored at A12, ending exactly after I27.
    EXPECT_TRUE(has("Sheet1 image None from 0 0 11 0 to 9 0 27 0 size 611x234")) << file;

    std::size_t framed = 0;
    for (std::size_t at = file.find(" LTRB\n"); at != std::string::npos; at = file.find(" LTRB\n", at + 1)) ++framed;
    EXPECT_EQ(framed, 9u * 31u);
}

}  // namespace

TEST_F(FillWorkbookTest, ARowCountFollowsTheTableAndAStopRequestLeavesNoWorkbook) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);
    std::atomic<std::uint64_t> rows{0};
    std::atomic<bool> cancel{false};
    EXPECT_EQ(FillWorkbook(*batch, m_files, {&rows, &cancel}), EFillResult::kFilled);
    EXPECT_EQ(rows, kLeebItems.size());

    std::filesystem::remove(PathOf("report.xlsx"));
    cancel = true;
    EXPECT_EQ(FillWorkbook(*batch, m_files, {&rows, &cancel}), EFillResult::kCancelled);
    EXPECT_FALSE(std::filesystem::exists(PathOf("report.xlsx")));
    EXPECT_EQ(m_component.m_opened.size(), 1u);  // only the finished one
}

TEST_F(FillWorkbookTest, NumberAndDateTextsAreNumbersInTheFileAndLookalikesStayTexts) {
    const auto leeb = MakeBatch(kTestMethodLeeb, kLeebItems);
    Fill(*leeb);
    ExpectLines(ReadBack(PathOf("report.xlsx")),
                {"Sheet1!G3 date:2016-05-04 [yyyy-mm-dd] Times New Roman 10 - left LTRB",
                 "Sheet1!B6 440 [0.0] Times New Roman 10 - center LTRB",
                 "Sheet1!D6 0.125 [0.0%] Times New Roman 10 - center LTRB",
                 "Sheet1!E6 3 [0] Times New Roman 10 - center LTRB",
                 "Sheet1!F6 \"Batch\" Times New Roman 10 - center LTRB",
                 "Sheet1!A9 1 [0] Times New Roman 10 - center LTRB",
                 "Sheet1!B9 \"P01\" Times New Roman 10 - center LTRB",
                 "Sheet1!F9 448 [0.0] Times New Roman 10 - center LTRB",
                 "Sheet1!G9 \"2016-05-04 10:21\" Times New Roman 10 - center LTRB",
                 "Sheet1!A30 3 [0] Times New Roman 10 - center LTRB",
                 "Sheet1!B30 442.6 [0.0] Times New Roman 10 - center LTRB",
                 "Sheet1!E30 4.6 [0.0] Times New Roman 10 - center LTRB"});

    const auto uci = MakeBatch(kTestMethodUci, {{u"007", u"HV", u"1,5", u"", u"2016-05-04 11:00", 450.0},
                                                {u"12.", u"HV", u"1e5", u"", u"2016-05-04", 460.25}});
    m_files.m_strWorkbook = Utf8ToUtf16(PathOf("uci.xlsx"));
    Fill(*uci);
    ExpectLines(ReadBack(PathOf("uci.xlsx")),
                {"Sheet1!B9 \"007\" Times New Roman 10 - center LTRB",
                 "Sheet1!D9 \"1,5\" Times New Roman 10 - center LTRB",
                 "Sheet1!E9 450 [0.0] Times New Roman 10 - center LTRB",
                 "Sheet1!B10 \"12.\" Times New Roman 10 FFFF0000 center LTRB",
                 "Sheet1!D10 \"1e5\" Times New Roman 10 FFFF0000 center LTRB",
                 "Sheet1!E10 460.2 [0.0] Times New Roman 10 FFFF0000 center LTRB",
                 "Sheet1!G10 date:2016-05-04 [yyyy-mm-dd] Times New Roman 10 FFFF0000 center LTRB",
                 "Sheet1!A10 2 [0] Times New Roman 10 FFFF0000 center LTRB"});
}

TEST_F(FillWorkbookTest, TheCapabilitySheetFollowsWithFiguresHistogramAndAChartOfBoth) {
    const auto batch = MakeBatch(kTestMethodLeeb, kLeebItems);  // 448.0, 440.0, 439.9 in 440..460
    Fill(*batch);
    const std::string file = ReadBack(PathOf("report.xlsx"));
    ExpectLines(file, {"sheets Sheet1,Capability active=Sheet1",
                       "Capability!A3 \"Cp\" Times New Roman 10 - left -",
                       "Capability!B3 0.72 [0.00] Times New Roman 10 - right -",
                       "Capability!B4 0.19 [0.00] Times New Roman 10 - right -",
                       "Capability!B5 0.667 [0.0%] Times New Roman 10 - right -",
                       "Capability!A6 \"NG items\" Times New Roman 10 - left -",
                       "Capability!B6 1 [0] Times New Roman 10 - right -",
                       "Capability!B7 3 [0] Times New Roman 10 - right -",
                       "Capability!B8 3 [0] Times New Roman 10 - right -",
                       "Capability!B9 440 [0.0] Times New Roman 10 - right -",
                       "Capability!B10 460 [0.0] Times New Roman 10 - right -",
                       // Three bins of 2.7 from 439.9: the top value closes the last.
                       "Capability!A14 439.9 [0.0] Times New Roman 10 - right -",
                       "Capability!C14 2 [0] Times New Roman 10 - right -",
                       "Capability!C15 0 [0] Times New Roman 10 - right -",
                       "Capability!A16 445.3 [0.0] Times New Roman 10 - right -",
                       "Capability!B16 448 [0.0] Times New Roman 10 - right -",
                       "Capability!C16 1 [0] Times New Roman 10 - right -",
                       "Capability!H27 460 [0.0] Times New Roman 10 - right -",
                       "Capability!I27 2 [0] Times New Roman 10 - right -",
                       "Capability chart scatterChart from 4 2 \"Item averages\" x \"Hardness\" y \"Items\" unit 1.0",
                       "Capability series \"Items\" x 'Capability'!$E$24:$E$35 y 'Capability'!$F$24:$F$35 markers None",
                       "Capability series \"Lower limit\" x 'Capability'!$H$24:$H$25 y 'Capability'!$I$24:$I$25 "
                       "markers diamond",
                       "Capability series \"Upper limit\" x 'Capability'!$H$26:$H$27 y 'Capability'!$I$26:$I$27 "
                       "markers diamond"});
    EXPECT_EQ(file.find("Capability!A11"), std::string::npos);  // one scale: no note
}

TEST_F(FillWorkbookTest, MixedScalesUnusedLimitsAndNoValuesShowOnTheCapabilitySheet) {
    auto mixed = MakeBatch(kTestMethodUci, {{u"U01", u"HRC", u"49N", u"", u"", 45.0},
                                            {u"U02", u"HV", u"49N", u"", u"", 450.0}});
    mixed->m_bUseLimit = false;
    const STWorksheet& sheet = Fill(*mixed);
    EXPECT_TRUE(IsMerged(sheet, "F29:I29"));  // two items: the summary values are row 29
    ExpectCell(sheet, "F29", u"mixed scales: HRC, HV", kXlCenter);
    const STWorksheet& capability = CapabilitySheet();
    EXPECT_EQ(capability.m_strName, u"Capability");
    ExpectCell(capability, "B3", u"-", kXlRight);
    ExpectCell(capability, "B4", u"-", kXlRight);
    EXPECT_FALSE(capability.FindCell(3, 2)->m_oNumber.has_value());
    ExpectCell(capability, "B9", u"not used", kXlRight);
    ExpectCell(capability, "A11", u"mixed scales: HRC, HV", kXlLeft);
    ASSERT_EQ(capability.m_charts.size(), 1u);
    EXPECT_EQ(capability.m_charts.front().m_series.size(), 1u);  // no limit lines

    auto empty = MakeBatch(kTestMethodLeeb, {{u"P01", u"HL", u"D", u"", u"", 5.0}});
    m_files.m_strWorkbook = Utf8ToUtf16(PathOf("empty.xlsx"));
    const STWorksheet& first = Fill(*empty);
    EXPECT_FALSE(HasText(first, "F28"));
    ExpectCell(CapabilitySheet(), "B8", u"0", kXlRight);
    ExpectCell(CapabilitySheet(), "A14", u"no values take part", kXlLeft);
    EXPECT_TRUE(CapabilitySheet().m_charts.empty());
}

TEST_F(FillWorkbookTest, TheChartsGridlinesStepByWholeItems) {
    const std::pair<std::size_t, double> cases[] = {{3, 1.0}, {25, 5.0}, {120, 20.0}};
    for (const auto& [items, step] : cases) {
        std::vector<STItemTexts> texts(items, STItemTexts{u"P", u"HL", u"D", u"", u"", 450.0});
        const auto batch = MakeBatch(kTestMethodLeeb, texts);  // one bin holds them all
        m_files.m_strWorkbook = Utf8ToUtf16(PathOf("report-" + std::to_string(items) + ".xlsx"));
        Fill(*batch);
        ASSERT_EQ(CapabilitySheet().m_charts.size(), 1u);
        EXPECT_EQ(CapabilitySheet().m_charts.front().m_oValueMajorUnit, step) << items;
    }
}
