// The spreadsheet component through its calls: starting it, errors, cells,
// merges, fitting, geometry, borders and showing.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/utf.h"
#include "report/cell_address.h"
#include "report/cell_ops.h"
#include "report_fixtures.h"
#include "support/temp_folder.h"

namespace {

AutomationCode CodeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const CAutomationError& error) {
        return error.Code();
    }
    return 0;
}

class Sheet : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ASSERT_EQ(CreateApplication(m_app, "Excel.Application"), 0u);
        m_book = m_app->GetWorkbooks()->Add(kXlWBATWorksheet);
        ASSERT_EQ(QueryWorksheet(m_app->GetActiveSheet(), m_sheet), 0u);
    }
    const STWorksheet& Data() const { return *m_book->Book().m_sheets.front().m_pWorksheet; }
    const STCell& Cell(const char* address) const {
        const auto at = ParseCellAddress(address);
        const STCell* cell = Data().FindCell(at->m_nRow, at->m_nColumn);
        static const STCell kUntouched;
        return cell ? *cell : kUntouched;
    }

    CRecordingComponent m_component;
    CApplicationPtr m_app;
    CWorkbookPtr m_book;
    CWorksheetPtr m_sheet;
};

TEST(CellAddress, NamesColumnsByLettersAndReadsThemBack) {
    EXPECT_EQ(CellAddress(1, 1), "A1");
    EXPECT_EQ(CellAddress(9, 31), "I31");
    EXPECT_EQ(CellAddress(27, 2), "AA2");
    EXPECT_EQ(CellAddressOf("G", 12), "G12");
    const auto corner = ParseCellAddress("$xfd$1048576");
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->m_nColumn, kSheetColumns);
    EXPECT_EQ(corner->m_nRow, kSheetRows);
    for (const char* bad :
         {"", "A", "1", "A0", "1A", "XFE1", "A1048577", "A1 ", "A-1", "AAAA1", "A123456789"})
        EXPECT_FALSE(ParseCellAddress(bad)) << bad;
    EXPECT_EQ(*ParseRangeAddress("D9:B7"), (STCellRect{7, 2, 9, 4}));
}

TEST(CreateApplication, KnowsItsIdentifiersAndLeavesNullOnFailure) {
    CApplicationPtr app;
    EXPECT_EQ(CreateApplication(app, "Excel.Application"), 0u);
    EXPECT_TRUE(app);
    EXPECT_EQ(CreateApplication(app, "excel.application"), 0u);
    EXPECT_EQ(CreateApplication(app, "{00024500-0000-0000-c000-000000000046}"), 0u);

    const std::pair<const char*, AutomationCode> failures[] = {
        {"Word.Application", kCoEClassString},
        {"", kCoEClassString},
        {"{00024500-0000-0000-C000-00000000004}", kCoEClassString},
        {"{00024500+0000-0000-C000-000000000046}", kCoEClassString},
        {"{000208D5-0000-0000-C000-000000000046}", kRegdbEClassNotReg},
        {"Excel.\xff", kENoUnicodeTranslation},
    };
    for (const auto& [progId, code] : failures) {
        ASSERT_EQ(CreateApplication(app, "Excel.Application"), 0u);
        EXPECT_EQ(CreateApplication(app, progId), code) << progId;
        EXPECT_FALSE(app) << progId;
    }
    EXPECT_EQ(CodeOf([&] { app->PutVisible(false); }), kEPointer);
}

TEST_F(Sheet, WriteCellSetsSizeAlwaysAndColourAndFaceOnlyWhenGiven) {
    WriteCell(m_sheet, "B2", u"plain", u"", 0, kXlLeft);
    EXPECT_EQ(Cell("B2").m_strText, u"plain");
    EXPECT_EQ(Cell("B2").m_nAlignment, kXlLeft);
    EXPECT_EQ(Cell("B2").m_font, (STCellFont{u"Calibri", 10.0, std::nullopt}));

    WriteCell(m_sheet, 3, "C", u"red", kXlCenter, 255, u"Times New Roman");
    EXPECT_EQ(Cell("C3").m_font, (STCellFont{u"Times New Roman", 10.0, 255u}));

    // A failing cell is skipped: nothing is written, the next cell is.
    WriteCell(m_sheet, "B2", u"changed", u"", 0, 12345);
    WriteCell(m_sheet, "not a cell", u"x", u"", 0, kXlLeft);
    EXPECT_EQ(Cell("B2").m_strText, u"plain");
    WriteCell(m_sheet, "D4", u"next", u"", 0, kXlRight);
    EXPECT_EQ(Cell("D4").m_strText, u"next");
}

TEST_F(Sheet, MergesJoinWhatTheyMeetAndKeepTheTopLeftText) {
    WriteCell(m_sheet, "A1", u"kept", u"", 0, kXlCenter);
    WriteCell(m_sheet, "B1", u"lost", u"", 0, kXlCenter);
    MergeRange(m_sheet, "A1", "B1");
    MergeRange(m_sheet, 1, "B", 2, "C");  // meets A1:B1
    MergeRange(m_sheet, 5, 5, 6, 5);      // E5:F5 by indexes
    MergeRange(m_sheet, "G7", "G7");      // one cell stays a cell
    MergeRange(m_sheet, "A0", "B2");      // skipped
    std::vector<STCellRect> merges;
    for (const auto& [corner, area] : Data().m_merges)
        merges.push_back(area);
    EXPECT_EQ(merges, (std::vector<STCellRect>{{1, 1, 2, 3}, {5, 5, 5, 6}}));
    EXPECT_EQ(Cell("A1").m_strText, u"kept");
    EXPECT_EQ(Cell("B1").m_strText, u"");
}

TEST_F(Sheet, AutoFitWidensByUnmergedTextOnlyAndGeometryFollows) {
    WriteCell(m_sheet, "A1", u"Department:", u"Times New Roman", 0, kXlRight);
    WriteCell(m_sheet, "A2", u"1", u"Times New Roman", 0, kXlRight);
    WriteCell(m_sheet, "B1", std::u16string(80, u'M'), u"", 0, kXlLeft);
    MergeRange(m_sheet, "B1", "C1");
    EXPECT_EQ(CodeOf([&] { m_sheet->GetRange("A1", "B2")->AutoFit(); }), kXlObjectError);
    m_sheet->GetCells()->GetEntireColumn()->AutoFit();

    // "Department:" is 10236/2048 em at 10 pt: 66.6 px, plus padding.
    EXPECT_EQ(Data().ColumnPixels(1), 75);
    EXPECT_EQ(Data().ColumnPixels(2), kDefaultColumnPixels);
    CRangePtr block = m_sheet->GetRange("B3", "C5");
    EXPECT_EQ(block->GetLeft(), 75 * 0.75);
    EXPECT_EQ(block->GetTop(), 2 * 15.0);
    EXPECT_EQ(block->GetWidth(), 2 * kDefaultColumnPixels * 0.75);
    EXPECT_EQ(block->GetHeight(), 3 * 15.0);
}

TEST_F(Sheet, BorderAroundFramesTheRangeWithThinLinesOnly) {
    m_sheet->GetRange("B2", "C3")->BorderAround(kXlContinuous, kXlThin, kXlColorIndexAutomatic);
    EXPECT_EQ(Cell("B2").m_borders, (STCellBorders{true, true, false, false}));
    EXPECT_EQ(Cell("C3").m_borders, (STCellBorders{false, false, true, true}));
    EXPECT_EQ(CodeOf([&] {
                  m_sheet->GetRange("A1")->BorderAround(kXlContinuous, 4, kXlColorIndexAutomatic);
              }),
              kXlObjectError);
    EXPECT_EQ(CodeOf([&] { m_sheet->GetCells()->PutValue2(u"everything"); }), kXlObjectError);
}

TEST_F(Sheet, PicturesAreEmbeddedFromReadableBitmapsOnly) {
    WriteTestBitmap(PathOf("chart.bmp"), 5, 3);
    CShapesPtr shapes = m_sheet->GetShapes();
    EXPECT_EQ(
        CodeOf([&] { shapes->AddPicture(u"/no/such.bmp", kMsoFalse, kMsoTrue, 0, 0, 10, 10); }),
        kXlObjectError);
    const std::u16string chart = Utf8ToUtf16(PathOf("chart.bmp"));
    EXPECT_EQ(CodeOf([&] { shapes->AddPicture(chart, kMsoTrue, kMsoTrue, 0, 0, 10, 10); }),
              kXlObjectError);
    EXPECT_EQ(CodeOf([&] { shapes->AddPicture(chart, kMsoFalse, kMsoTrue, 0, 0, 0, 10); }),
              kXlObjectError);
    shapes->AddPicture(chart, kMsoFalse, kMsoTrue, 48, 30, 96, 45);
    std::filesystem::remove(PathOf("chart.bmp"));  // read when added: no longer needed
    ASSERT_EQ(Data().m_pictures.size(), 1u);
    EXPECT_EQ(Data().m_pictures[0].m_nPixelWidth, 5);
    EXPECT_EQ(Data().m_pictures[0].m_fWidth, 96.0f);
}

TEST_F(Sheet, ShowingOpensEachSavedWorkbookOnceAndTellsWhenNothingOpenedIt) {
    m_app->PutVisible(true);  // unsaved: nothing to open
    EXPECT_TRUE(m_component.m_opened.empty());
    const std::u16string target = Utf8ToUtf16(PathOf("book.xlsx"));
    EXPECT_EQ(CodeOf([&] { m_book->SaveAs(Utf8ToUtf16(PathOf("no/folder.xlsx"))); }),
              kStgECantSave);
    m_book->SaveAs(target);
    EXPECT_EQ(CodeOf([&] { m_book->SaveAs(target, ESaveConflict::kRefuse); }),
              kStgEFileAlreadyExists);
    m_app->PutVisible(true);
    m_app->PutVisible(true);
    EXPECT_EQ(m_component.m_opened, std::vector<std::u16string>{target});

    CRecordingComponent refusing(false);
    CApplicationPtr other;
    CreateApplication(other, "Excel.Application");
    other->GetWorkbooks()->Add(kXlWBATWorksheet)->SaveAs(target);
    EXPECT_EQ(CodeOf([&] { other->PutVisible(true); }), kCoEAppNotFound);
}

TEST(ChartSheet, OffersNoWorksheetAndCellWritesOnItRaise) {
    CRecordingComponent chartFirst(true, ESheetKind::kChart);
    CApplicationPtr app;
    CreateApplication(app, "Excel.Application");
    app->GetWorkbooks()->Add(kXlWBATWorksheet);
    CWorksheetPtr sheet;
    EXPECT_EQ(QueryWorksheet(app->GetActiveSheet(), sheet), kENoInterface);
    EXPECT_FALSE(sheet);
    EXPECT_EQ(CodeOf([&] { WriteCell(sheet, "A1", u"x", u"", 0, kXlCenter); }), kEPointer);
    EXPECT_EQ(CodeOf([&] { MergeRange(sheet, "A1", "B1"); }), kEPointer);
}

}  // namespace

TEST_F(Sheet, Value2StoresNumberTextsAsNumbersAndMergingDropsThemWithTheText) {
    m_sheet->GetRange("A1", "B1")->PutValue2(u"448.0");
    m_sheet->GetRange("C1")->PutValue2(u"007");
    for (const char* cell : {"A1", "B1"}) {
        EXPECT_EQ(Cell(cell).m_strText, u"448.0");
        EXPECT_EQ(Cell(cell).m_oNumber, (STCellNumber{448.0, "0.0"})) << cell;
    }
    EXPECT_EQ(Cell("C1").m_oNumber, std::nullopt);
    m_sheet->GetRange("A1")->PutValue2(u"text again");
    EXPECT_EQ(Cell("A1").m_oNumber, std::nullopt);

    m_sheet->GetRange("A1", "B1")->Merge();
    EXPECT_EQ(Cell("B1").m_strText, u"");
    EXPECT_EQ(Cell("B1").m_oNumber, std::nullopt);
}

TEST_F(Sheet, AddedWorksheetsFollowTheLastAreNamedAndActivatedByIndex) {
    CWorksheetsPtr sheets = m_book->GetWorksheets();
    EXPECT_EQ(sheets->GetCount(), 1);
    CWorksheetPtr added = sheets->Add();
    EXPECT_EQ(sheets->GetCount(), 2);
    EXPECT_EQ(m_book->Book().m_nActiveSheet, 1u);
    EXPECT_EQ(m_book->Book().m_sheets[1].m_pWorksheet->m_strName, u"Sheet2");

    added->PutName(u"Capability");
    const char16_t* names[] = {u"", u"a/b", u"[x]", u"sheet1", u"x123456789012345678901234567890x"};
    for (std::u16string_view bad : names)
        EXPECT_EQ(CodeOf([&] { added->PutName(bad); }), kXlObjectError) << Utf16ToUtf8(bad);
    EXPECT_EQ(m_book->Book().m_sheets[1].m_pWorksheet->m_strName, u"Capability");

    sheets->GetItem(1)->Activate();
    EXPECT_EQ(m_book->Book().m_nActiveSheet, 0u);
    m_sheet->PutName(u"Report");  // the worksheet queried from the active sheet knows its workbook
    m_sheet->Activate();
    EXPECT_EQ(m_book->Book().m_sheets[0].m_pWorksheet->m_strName, u"Report");
    EXPECT_EQ(CodeOf([&] { sheets->GetItem(3); }), kXlObjectError);
    EXPECT_EQ(CodeOf([&] { sheets->GetItem(0); }), kXlObjectError);
}

TEST_F(Sheet, ChartSeriesTakeCellsOfTheirOwnSheetOnly) {
    CChartPtr chart = m_sheet->GetChartObjects()->Add(10, 20, 300, 200)->GetChart();
    chart->PutChartType(kXlXYScatterLinesNoMarkers);
    chart->PutTitle(u"Item averages");
    chart->PutAxisTitle(kXlValue, u"Items");
    CSeriesPtr series = chart->GetSeriesCollection()->NewSeries();
    series->PutName(u"Items");
    series->PutXValues(m_sheet->GetRange("A1:A4"));
    series->PutValues(m_sheet->GetRange("B1", "B4"));
    series->PutChartType(kXlXYScatterLines);
    series->PutLineColor(0x0000FF);
    chart->GetSeriesCollection()->NewSeries();  // takes the chart's type, not the last series' one

    ASSERT_EQ(Data().m_charts.size(), 1u);
    const STChart& stored = Data().m_charts.front();
    EXPECT_EQ(stored.m_dLeft, 10);
    EXPECT_EQ(stored.m_dHeight, 200);
    EXPECT_EQ(stored.m_strTitle, u"Item averages");
    EXPECT_EQ(stored.m_strValueTitle, u"Items");
    ASSERT_EQ(stored.m_series.size(), 2u);
    EXPECT_FALSE(stored.m_series[1].m_bMarkers);
    EXPECT_EQ(stored.m_series[0].m_oXValues, (STCellRect{1, 1, 4, 1}));
    EXPECT_EQ(stored.m_series[0].m_oValues, (STCellRect{1, 2, 4, 2}));
    EXPECT_TRUE(stored.m_series[0].m_bMarkers);
    EXPECT_EQ(stored.m_series[0].m_oColor, 0x0000FFu);

    CWorksheetPtr other = m_book->GetWorksheets()->Add();
    EXPECT_EQ(CodeOf([&] { series->PutValues(other->GetRange("B1:B4")); }), kXlObjectError);
    EXPECT_EQ(CodeOf([&] { series->PutChartType(4); }), kXlObjectError);  // a line chart
    EXPECT_EQ(CodeOf([&] { chart->PutAxisTitle(3, u"z"); }), kXlObjectError);
    EXPECT_EQ(CodeOf([&] { chart->PutValueAxisMajorUnit(0); }), kXlObjectError);
    EXPECT_EQ(CodeOf([&] { m_sheet->GetChartObjects()->Add(0, 0, 0, 100); }), kXlObjectError);
}
