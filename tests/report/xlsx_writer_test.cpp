#include "report/xlsx_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "read_back.h"
#include "support/comma_locale.h"
#include "support/temp_folder.h"

namespace {

// A red 7 x 9 PNG made by Pillow.
const std::vector<std::uint8_t> kPng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x09, 0x08, 0x02, 0x00, 0x00, 0x00, 0x71,
    0x3a, 0xa1, 0xf4, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xfc,
    0xcf, 0x80, 0x05, 0x30, 0x61, 0x13, 0x1c, 0xc4, 0xa2, 0x00, 0xcb, 0xf7, 0x01, 0x11, 0x3c,
    0x99, 0xf4, 0xc7, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::shared_ptr<STWorksheet> AddWorksheet(STWorkbook& workbook, const std::u16string& name) {
    auto worksheet = std::make_shared<STWorksheet>();
    worksheet->m_strName = name;
    workbook.m_sheets.push_back({ESheetKind::kWorksheet, worksheet});
    return worksheet;
}

STPicture PictureAt(float left, float top, float width, float height) {
    return {kPng, 7, 9, left, top, width, height};
}

class XlsxWriter : public TempFolder {
protected:
    std::string WriteAndReadBack(const STWorkbook& workbook) {
        EXPECT_TRUE(WriteXlsxFile(workbook, PathOf("out.xlsx")));
        return ReadBack(PathOf("out.xlsx"));
    }
    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(m_root), {}));
    }
};

}  // namespace

TEST_F(XlsxWriter, StoresTextFontsAlignmentsBordersMergesAndSheets) {
    STWorkbook workbook;
    STWorksheet& data = *AddWorksheet(workbook, u"Data");
    workbook.m_sheets.push_back({ESheetKind::kChart, nullptr});
    AddWorksheet(workbook, u"Zweite")->CellAt(1, 1).m_strText = u"x";
    workbook.m_nActiveSheet = 2;

    STCell& a1 = data.CellAt(1, 1);
    a1 = {u"硬度", {u"Arial", 14, 255}, kXlCenter, {true, true, true, true}, {}};
    data.CellAt(1, 2).m_borders = {false, true, false, true};
    data.CellAt(2, 3) = {u"left", {u"Calibri", 9.5, 0}, kXlLeft, {}, {}};
    data.CellAt(2, 4) = {u"right", {u"Calibri", 11, 0x00FF8000}, kXlRight, {}, {}};
    data.CellAt(5, 2).m_strText = u"merged";
    data.CellAt(5, 3).m_strText = u"hidden";
    data.Merge({5, 2, 6, 4});
    data.CellAt(5, 2).m_borders = {true, true, false, false};
    data.CellAt(6, 4).m_borders = {false, false, true, true};

    EXPECT_EQ(WriteAndReadBack(workbook),
              "sheets Data,Zweite active=Zweite\n"
              "Data!A1 \"硬度\" Arial 14 FFFF0000 center LTRB\n"
              "Data!B1 null Calibri 11 - - TB\n"
              "Data!C2 \"left\" Calibri 9.5 FF000000 left -\n"
              "Data!D2 \"right\" Calibri 11 FF0080FF right -\n"
              "Data!B5 \"merged\" Calibri 11 - - LT\n"
              "Data!C5 null Calibri 11 - - -\n"
              "Data!D6 null Calibri 11 - - RB\n"
              "Data merge B5:D6\n"
              "Zweite!A1 \"x\" Calibri 11 - - -\n");
}

TEST_F(XlsxWriter, ColumnsAndPicturesLandOnTheirPixels) {
    STWorkbook workbook;
    STWorksheet& sheet = *AddWorksheet(workbook, u"Chart data");
    sheet.m_columnPixels = {{2, 101}, {3, 5}, {4, 12}, {12, 3000}};
    // Columns A to I (64 + 101 + 5 + 12 + 5 x 64 pixels, where 502 / 7 * 7
    // falls short of 502 in doubles) and rows 8 to 19 exactly, then a small
    // one inside B2.
    sheet.m_pictures.push_back(PictureAt(0, 7 * 20 * 0.75f, 502 * 0.75f, 12 * 20 * 0.75f));
    sheet.m_pictures.push_back(PictureAt(70 * 0.75f, 25 * 0.75f, 30 * 0.75f, 10 * 0.75f));

    EXPECT_EQ(WriteAndReadBack(workbook),
              "sheets Chart data active=Chart data\n"
              "Chart data width B 101\n"
              "Chart data width C 5\n"
              "Chart data width D 12\n"
              "Chart data width L 1790\n"
              "Chart data image None from 0 0 7 0 to 9 0 19 0 size 7x9\n"
              "Chart data image None from 1 57150 1 47625 to 1 342900 1 142875 size 7x9\n");
}

TEST_F(XlsxWriter, KeepsTextWithinExcelsLimitsAndValidXml) {
    STWorkbook workbook;
    STWorksheet& sheet = *AddWorksheet(workbook, u"T");
    std::u16string emoji;
    for (int i = 0; i < 16384; ++i) {
        emoji += u"\U0001F600";
    }
    sheet.CellAt(1, 1).m_strText = std::u16string(40000, u'x');
    sheet.CellAt(2, 1).m_strText = std::u16string(32767, u'y');
    // 32768 code units: the cut at 32767 must not keep half a pair.
    sheet.CellAt(3, 1).m_strText = emoji;
    // Lone surrogates, U+FFFF and NUL cannot be stored; other control
    // characters can, escaped, and read back as themselves.
    sheet.CellAt(4, 1).m_strText = {u'a', 0xD800, u'b', 0xDC00, 0xFFFF, u'\0', u'\x01', u'\r'};
    // Excel would read an unescaped "_x0041_" as "A".
    sheet.CellAt(5, 1).m_strText = u"_x0041_ _x41_";
    std::string smileys;
    for (int i = 0; i < 16383; ++i) {
        smileys += "😀";
    }

    const auto line = [](const char* cell, const std::string& json) {
        return std::string("T!") + cell + " \"" + json + "\" Calibri 11 - - -\n";
    };
    EXPECT_EQ(WriteAndReadBack(workbook),
              "sheets T active=T\n" + line("A1", std::string(32767, 'x')) +
                  line("A2", std::string(32767, 'y')) + line("A3", smileys) +
                  line("A4", "a\uFFFDb\uFFFD\uFFFD\uFFFD\\u0001\\r") + line("A5", "_x0041_ _x41_"));
}

TEST_F(XlsxWriter, ReplacesTheTargetOnlyWhenTheWholeFileIsWritten) {
    STWorkbook workbook;
    STWorksheet& sheet = *AddWorksheet(workbook, u"S");
    sheet.CellAt(1, 1).m_strText = u"new";
    WriteBytes("out.xlsx", "old");

    EXPECT_FALSE(WriteXlsxFile(workbook, PathOf("missing/out.xlsx")));
    sheet.m_strName = u"bad[name]";
    EXPECT_FALSE(WriteXlsxFile(workbook, PathOf("out.xlsx")));
    EXPECT_EQ(ReadBytes("out.xlsx"), "old");
    EXPECT_EQ(FilesInFolder(), 1u);

    sheet.m_strName = u"S";
    EXPECT_TRUE(WriteXlsxFile(workbook, PathOf("out.xlsx")));
    EXPECT_EQ(ReadBack(PathOf("out.xlsx")), "sheets S active=S\nS!A1 \"new\" Calibri 11 - - -\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(XlsxWriter, NumbersInTheFileIgnoreACommaDecimalLocale) {
    CommaDecimalLocale comma;
    REQUIRE_COMMA_LOCALE(comma);
    STWorkbook workbook;
    STWorksheet& sheet = *AddWorksheet(workbook, u"S");
    sheet.CellAt(1, 2) = {u"x", {u"Calibri", 9.5, std::nullopt}, kXlGeneral, {}, {}};
    sheet.m_columnPixels = {{2, 101}};
    ASSERT_TRUE(WriteXlsxFile(workbook, PathOf("out.xlsx")));
    EXPECT_EQ(ReadBack(PathOf("out.xlsx")),
              "sheets S active=S\nS!B1 \"x\" Calibri 9.5 - - -\nS width B 101\n");
}

// Links planted where a writer might put its temporary or scratch files, and
// one planted at a new workbook's own name: none is followed.
TEST_F(XlsxWriter, PlantedLinksNeverRedirectTheWorkbookOrItsTemporaries) {
    STWorkbook workbook;
    AddWorksheet(workbook, u"S")->CellAt(1, 1).m_strText = u"new";
    WriteBytes("victim", "precious");
    const std::string victim = PathOf("victim");
    std::vector<std::string> planted;
    for (const std::string ending : {".tmp-", ".new-"}) {
        for (int counter = 0; counter < 4; ++counter) {
            planted.push_back(PathOf("out.xlsx" + ending + std::to_string(::getpid()) + "-" +
                                     std::to_string(counter)));
        }
    }
    planted.push_back(PathOf(".marlo-XXXXXX"));
    for (const std::string& link : planted) ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), PathOf("linked.xlsx").c_str()), 0);
    const std::size_t before = FilesInFolder();

    EXPECT_TRUE(WriteXlsxFile(workbook, PathOf("out.xlsx")));
    EXPECT_EQ(CreateXlsxFile(workbook, PathOf("fresh.xlsx")), ENewFileResult::kCreated);
    EXPECT_EQ(CreateXlsxFile(workbook, PathOf("linked.xlsx")), ENewFileResult::kExists);
    workbook.m_sheets.front().m_pWorksheet->m_strName = u"bad[name]";
    EXPECT_EQ(CreateXlsxFile(workbook, PathOf("failed.xlsx")), ENewFileResult::kFailed);

    EXPECT_EQ(ReadBytes("victim"), "precious");
    for (const std::string& link : planted) EXPECT_TRUE(std::filesystem::is_symlink(link)) << link;
    EXPECT_EQ(ReadBack(PathOf("fresh.xlsx")), ReadBack(PathOf("out.xlsx")));
    EXPECT_EQ(FilesInFolder(), before + 2);  // out and fresh; no private folder stays
}

TEST_F(XlsxWriter, StoresNumbersWithTheirFormatsAndChartsOverTheirSheetsCells) {
    STWorkbook workbook;
    STWorksheet& sheet = *AddWorksheet(workbook, u"O'Neil data");
    sheet.CellAt(1, 1) = {u"448.0", {}, kXlGeneral, {}, STCellNumber{448.0, "0.0"}};
    sheet.CellAt(2, 1) = {u"12.5%", {}, kXlGeneral, {}, STCellNumber{0.125, "0.0%"}};
    sheet.CellAt(3, 1) = {u"2016-05-04", {}, kXlGeneral, {}, STCellNumber{42494, "yyyy-mm-dd"}};
    sheet.CellAt(1, 2) = {u"440.0", {}, kXlGeneral, {}, STCellNumber{440.0, "0.0"}};
    sheet.CellAt(2, 2).m_strText = u"448.0";  // left a text
    STChart chart;
    chart.m_strTitle = u"Averages";
    chart.m_dLeft = 48;  // B2: 64 pixels in, one row down
    chart.m_dTop = 15;
    chart.m_dWidth = 360;
    chart.m_dHeight = 216;
    chart.m_series.push_back({u"Items", STCellRect{1, 1, 2, 1}, STCellRect{1, 2, 2, 2}, 0x0000FF, true});
    chart.m_series.push_back({u"no values", std::nullopt, std::nullopt, std::nullopt, false});  // left out
    sheet.m_charts.push_back(chart);

    EXPECT_EQ(WriteAndReadBack(workbook),
              "sheets O'Neil data active=O'Neil data\n"
              "O'Neil data!A1 448 [0.0] Calibri 11 - - -\n"
              "O'Neil data!B1 440 [0.0] Calibri 11 - - -\n"
              "O'Neil data!A2 0.125 [0.0%] Calibri 11 - - -\n"
              "O'Neil data!B2 \"448.0\" Calibri 11 - - -\n"
              "O'Neil data!A3 date:2016-05-04 [yyyy-mm-dd] Calibri 11 - - -\n"
              "O'Neil data chart scatterChart from 1 1 \"Averages\" x \"\" y \"\" unit None\n"
              "O'Neil data series \"Items\" x 'O''Neil data'!$A$1:$A$2 y 'O''Neil data'!$B$1:$B$2 markers diamond\n");
}
