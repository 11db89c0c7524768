#include "report/automation.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>

#include "common/text.h"
#include "common/utf.h"
#include "report/picture_png.h"
#include "report/text_width.h"
#include "report/xlsx_writer.h"

namespace {

// Room either side of a fitted column's widest text, so that it is not cut
// off by a renderer whose hinting draws it a pixel or two wider.
constexpr std::int32_t kFitPaddingPixels = 8;
// A column is at most 255 characters of the default font wide.
constexpr std::int32_t kMaxColumnPixels = 255 * 7 + 5;
constexpr double kMaxFontSize = 409.0;

constexpr STCellRect kWholeSheet{1, 1, kSheetRows, kSheetColumns};

[[noreturn]] void RaiseBadArgument(const std::string& what) {
    throw CAutomationError(kXlObjectError, what);
}

// Changing every cell of a range touches each one; ranges beyond this many
// cells (whole sheets, whole columns) are refused rather than filled.
constexpr std::int64_t kMaxCellsChanged = std::int64_t{1} << 22;

void RequireChangeable(const STCellRect& cells) {
    const std::int64_t count = std::int64_t{cells.m_nBottom - cells.m_nTop + 1} * (cells.m_nRight - cells.m_nLeft + 1);
    if (count > kMaxCellsChanged) RaiseBadArgument("range too large to change cell by cell");
}

std::mutex g_setupMutex;
STSpreadsheetSetup g_setup;

STSpreadsheetSetup CurrentSetup() {
    std::lock_guard lock(g_setupMutex);
    return g_setup;
}

}  // namespace

// --- fonts and characters

CFont::CFont(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells)
    : m_pSheet(std::move(sheet)), m_cells(cells) {}

template <class Change>
void CFont::ForEachCell(Change change) {
    RequireChangeable(m_cells);
    for (std::int32_t row = m_cells.m_nTop; row <= m_cells.m_nBottom; ++row)
        for (std::int32_t column = m_cells.m_nLeft; column <= m_cells.m_nRight; ++column)
            change(m_pSheet->CellAt(row, column).m_font);
}

void CFont::PutSize(double points) {
    if (!(points >= 1.0 && points <= kMaxFontSize)) RaiseBadArgument("font size out of range");
    ForEachCell([points](STCellFont& font) { font.m_dSize = points; });
}

void CFont::PutColor(std::int32_t color) {
    if (color < 0 || color > 0xFFFFFF) RaiseBadArgument("colour out of range");
    const auto bgr = static_cast<std::uint32_t>(color);
    ForEachCell([bgr](STCellFont& font) { font.m_oColor = bgr; });
}

void CFont::PutName(std::u16string_view face) {
    if (face.empty()) RaiseBadArgument("empty font name");
    ForEachCell([face](STCellFont& font) { font.m_strName = face; });
}

CCharacters::CCharacters(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells)
    : m_pSheet(std::move(sheet)), m_cells(cells) {}

CFontPtr CCharacters::GetFont() {
    return CFontPtr(std::make_shared<CFont>(m_pSheet, m_cells));
}

// --- ranges

CRange::CRange(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells)
    : m_pSheet(std::move(sheet)), m_cells(cells) {}

void CRange::PutHorizontalAlignment(std::int32_t alignment) {
    if (alignment != kXlCenter && alignment != kXlLeft && alignment != kXlRight && alignment != kXlGeneral)
        RaiseBadArgument("unknown horizontal alignment");
    RequireChangeable(m_cells);
    for (std::int32_t row = m_cells.m_nTop; row <= m_cells.m_nBottom; ++row)
        for (std::int32_t column = m_cells.m_nLeft; column <= m_cells.m_nRight; ++column)
            m_pSheet->CellAt(row, column).m_nAlignment = alignment;
}

void CRange::PutValue2(std::u16string_view text) {
    RequireChangeable(m_cells);
    const std::optional<STCellNumber> number = CellNumberOf(text);
    for (std::int32_t row = m_cells.m_nTop; row <= m_cells.m_nBottom; ++row) {
        for (std::int32_t column = m_cells.m_nLeft; column <= m_cells.m_nRight; ++column) {
            STCell& cell = m_pSheet->CellAt(row, column);
            cell.m_strText = text;
            cell.m_oNumber = number;
        }
    }
}

CCharactersPtr CRange::GetCharacters() {
    return CCharactersPtr(std::make_shared<CCharacters>(m_pSheet, m_cells));
}

CFontPtr CRange::GetFont() {
    return CFontPtr(std::make_shared<CFont>(m_pSheet, m_cells));
}

void CRange::Merge() {
    m_pSheet->Merge(m_cells);
}

CRangePtr CRange::GetEntireColumn() {
    const STCellRect columns{1, m_cells.m_nLeft, kSheetRows, m_cells.m_nRight};
    return CRangePtr(std::make_shared<CRange>(m_pSheet, columns));
}

bool CRange::IsEntireColumns() const {
    return m_cells.m_nTop == 1 && m_cells.m_nBottom == kSheetRows;
}

void CRange::AutoFit() {
    if (!IsEntireColumns()) RaiseBadArgument("only whole columns are fitted");
    std::map<std::int32_t, double> widest;
    for (const auto& [position, cell] : m_pSheet->m_cells) {
        const auto [row, column] = position;
        if (column < m_cells.m_nLeft || column > m_cells.m_nRight || cell.m_strText.empty()) continue;
        if (m_pSheet->MergeAt(row, column)) continue;
        double& width = widest[column];
        width = std::max(width, TextPixels(cell.m_strText, cell.m_font));
    }
    for (const auto& [column, textPixels] : widest) {
        const double pixels = std::min<double>(std::ceil(textPixels) + kFitPaddingPixels, kMaxColumnPixels);
        m_pSheet->m_columnPixels[column] = static_cast<std::int32_t>(pixels);
    }
}

double CRange::GetLeft() const {
    return static_cast<double>(m_pSheet->ColumnsPixels(1, m_cells.m_nLeft - 1)) * kPointsPerPixel;
}

double CRange::GetTop() const {
    return static_cast<double>(m_pSheet->RowsPixels(1, m_cells.m_nTop - 1)) * kPointsPerPixel;
}

double CRange::GetWidth() const {
    return static_cast<double>(m_pSheet->ColumnsPixels(m_cells.m_nLeft, m_cells.m_nRight)) * kPointsPerPixel;
}

double CRange::GetHeight() const {
    return static_cast<double>(m_pSheet->RowsPixels(m_cells.m_nTop, m_cells.m_nBottom)) * kPointsPerPixel;
}

void CRange::BorderAround(std::int32_t lineStyle, std::int32_t weight, std::int32_t colorIndex) {
    if (lineStyle != kXlContinuous || weight != kXlThin || colorIndex != kXlColorIndexAutomatic)
        RaiseBadArgument("only thin continuous borders in the automatic colour");
    for (std::int32_t column = m_cells.m_nLeft; column <= m_cells.m_nRight; ++column) {
        m_pSheet->CellAt(m_cells.m_nTop, column).m_borders.m_bTop = true;
        m_pSheet->CellAt(m_cells.m_nBottom, column).m_borders.m_bBottom = true;
    }
    for (std::int32_t row = m_cells.m_nTop; row <= m_cells.m_nBottom; ++row) {
        m_pSheet->CellAt(row, m_cells.m_nLeft).m_borders.m_bLeft = true;
        m_pSheet->CellAt(row, m_cells.m_nRight).m_borders.m_bRight = true;
    }
}

// --- shapes and worksheets

CShapes::CShapes(std::shared_ptr<STWorksheet> sheet) : m_pSheet(std::move(sheet)) {}

void CShapes::AddPicture(std::u16string_view fileName, std::int32_t linkToFile, std::int32_t saveWithDocument,
                         float left, float top, float width, float height) {
    if (linkToFile != kMsoFalse || saveWithDocument != kMsoTrue)
        RaiseBadArgument("pictures are embedded, never linked");
    const bool placeIsSound = std::isfinite(left) && std::isfinite(top) && left >= 0 && top >= 0 &&
                              std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0;
    if (!placeIsSound) RaiseBadArgument("picture place out of range");
    const std::string path = Utf16ToUtf8(fileName);
    std::optional<STPngPicture> png = ReadBitmapAsPng(path);
    if (!png) throw CAutomationError(kXlObjectError, "cannot read the picture " + path);
    m_pSheet->m_pictures.push_back(STPicture{std::move(png->m_bytes), png->m_nWidth, png->m_nHeight, left,
                                             top, width, height});
}

// --- charts

CSeries::CSeries(std::shared_ptr<STWorksheet> sheet, std::size_t chart, std::size_t series)
    : m_pSheet(std::move(sheet)), m_nChart(chart), m_nSeries(series) {}

STChartSeries& CSeries::Series() const {
    return m_pSheet->m_charts.at(m_nChart).m_series.at(m_nSeries);
}

STCellRect CSeries::CellsOf(const CRangePtr& cells) const {
    const CRange& range = *cells;
    if (range.m_pSheet != m_pSheet) RaiseBadArgument("a chart shows cells of its own sheet only");
    return range.m_cells;
}

void CSeries::PutName(std::u16string_view name) {
    Series().m_strName = name;
}

void CSeries::PutXValues(const CRangePtr& cells) {
    Series().m_oXValues = CellsOf(cells);
}

void CSeries::PutValues(const CRangePtr& cells) {
    Series().m_oValues = CellsOf(cells);
}

void CSeries::PutChartType(std::int32_t type) {
    if (type != kXlXYScatterLines && type != kXlXYScatterLinesNoMarkers)
        RaiseBadArgument("only scatter charts of straight lines");
    Series().m_bMarkers = type == kXlXYScatterLines;
}

void CSeries::PutLineColor(std::int32_t color) {
    if (color < 0 || color > 0xFFFFFF) RaiseBadArgument("colour out of range");
    Series().m_oColor = static_cast<std::uint32_t>(color);
}

CSeriesCollection::CSeriesCollection(std::shared_ptr<STWorksheet> sheet, std::size_t chart)
    : m_pSheet(std::move(sheet)), m_nChart(chart) {}

CSeriesPtr CSeriesCollection::NewSeries() {
    STChart& chart = m_pSheet->m_charts.at(m_nChart);
    chart.m_series.push_back(STChartSeries{});
    chart.m_series.back().m_bMarkers = chart.m_bMarkers;
    return CSeriesPtr(std::make_shared<CSeries>(m_pSheet, m_nChart, chart.m_series.size() - 1));
}

CChart::CChart(std::shared_ptr<STWorksheet> sheet, std::size_t chart) : m_pSheet(std::move(sheet)), m_nChart(chart) {}

STChart& CChart::Chart() const {
    return m_pSheet->m_charts.at(m_nChart);
}

void CChart::PutChartType(std::int32_t type) {
    if (type != kXlXYScatterLines && type != kXlXYScatterLinesNoMarkers)
        RaiseBadArgument("only scatter charts of straight lines");
    STChart& chart = Chart();
    chart.m_bMarkers = type == kXlXYScatterLines;
    for (STChartSeries& series : chart.m_series) series.m_bMarkers = chart.m_bMarkers;
}

void CChart::PutTitle(std::u16string_view title) {
    Chart().m_strTitle = title;
}

void CChart::PutAxisTitle(std::int32_t axisType, std::u16string_view title) {
    if (axisType == kXlCategory) {
        Chart().m_strCategoryTitle = title;
    } else if (axisType == kXlValue) {
        Chart().m_strValueTitle = title;
    } else {
        RaiseBadArgument("unknown axis");
    }
}

void CChart::PutValueAxisMajorUnit(double unit) {
    if (!(std::isfinite(unit) && unit > 0)) RaiseBadArgument("major unit out of range");
    Chart().m_oValueMajorUnit = unit;
}

CSeriesCollectionPtr CChart::GetSeriesCollection() {
    return CSeriesCollectionPtr(std::make_shared<CSeriesCollection>(m_pSheet, m_nChart));
}

CChartPtr CChartObject::GetChart() {
    return CChartPtr(std::make_shared<CChart>(m_pSheet, m_nChart));
}

CChartObjectPtr CChartObjects::Add(double left, double top, double width, double height) {
    const bool placeIsSound = std::isfinite(left) && std::isfinite(top) && left >= 0 && top >= 0 &&
                              std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0;
    if (!placeIsSound) RaiseBadArgument("chart place out of range");
    STChart chart;
    chart.m_dLeft = left;
    chart.m_dTop = top;
    chart.m_dWidth = width;
    chart.m_dHeight = height;
    m_pSheet->m_charts.push_back(std::move(chart));
    return CChartObjectPtr(std::make_shared<CChartObject>(m_pSheet, m_pSheet->m_charts.size() - 1));
}

// --- worksheets

namespace {

constexpr std::size_t kMaxSheetName = 31;

bool IsSheetNameCharacter(char16_t c) {
    return std::u16string_view(u"[]:*?/\\").find(c) == std::u16string_view::npos;
}

bool SameSheetName(std::u16string a, std::u16string b) {
    return StringToLower(a) == StringToLower(b);
}

bool IsNameTaken(const STWorkbook& book, const STWorksheet& renamed, std::u16string_view name) {
    return std::any_of(book.m_sheets.begin(), book.m_sheets.end(), [&](const STSheet& sheet) {
        return sheet.m_pWorksheet && sheet.m_pWorksheet.get() != &renamed &&
               SameSheetName(sheet.m_pWorksheet->m_strName, std::u16string(name));
    });
}

}  // namespace

CWorksheet::CWorksheet(std::shared_ptr<STWorksheet> sheet, std::shared_ptr<STWorkbook> book)
    : m_pSheet(std::move(sheet)), m_pBook(std::move(book)) {}

CChartObjectsPtr CWorksheet::GetChartObjects() {
    return CChartObjectsPtr(std::make_shared<CChartObjects>(m_pSheet));
}

void CWorksheet::PutName(std::u16string_view name) {
    if (name.empty() || name.size() > kMaxSheetName ||
        !std::all_of(name.begin(), name.end(), IsSheetNameCharacter))
        RaiseBadArgument("not a sheet name");
    if (m_pBook && IsNameTaken(*m_pBook, *m_pSheet, name)) RaiseBadArgument("another sheet has that name");
    m_pSheet->m_strName = name;
}

void CWorksheet::Activate() {
    if (!m_pBook) throw CAutomationError(kEPointer, "the worksheet has no workbook");
    const auto found = std::find_if(m_pBook->m_sheets.begin(), m_pBook->m_sheets.end(),
                                    [this](const STSheet& sheet) { return sheet.m_pWorksheet == m_pSheet; });
    if (found == m_pBook->m_sheets.end()) RaiseBadArgument("the worksheet left its workbook");
    m_pBook->m_nActiveSheet = static_cast<std::size_t>(found - m_pBook->m_sheets.begin());
}

CWorksheetPtr CWorksheets::Add() {
    auto sheet = std::make_shared<STWorksheet>();
    for (std::size_t number = m_pBook->m_sheets.size() + 1; IsNameTaken(*m_pBook, *sheet, sheet->m_strName); ++number)
        sheet->m_strName = u"Sheet" + Utf8ToUtf16(std::to_string(number));
    m_pBook->m_sheets.push_back(STSheet{ESheetKind::kWorksheet, sheet});
    m_pBook->m_nActiveSheet = m_pBook->m_sheets.size() - 1;
    return CWorksheetPtr(std::make_shared<CWorksheet>(std::move(sheet), m_pBook));
}

CWorksheetPtr CWorksheets::GetItem(std::int32_t index) {
    if (index < 1 || index > GetCount()) RaiseBadArgument("no worksheet of that index");
    std::int32_t counted = 0;
    for (const STSheet& sheet : m_pBook->m_sheets) {
        if (sheet.m_eKind == ESheetKind::kWorksheet && sheet.m_pWorksheet && ++counted == index)
            return CWorksheetPtr(std::make_shared<CWorksheet>(sheet.m_pWorksheet, m_pBook));
    }
    RaiseBadArgument("no worksheet of that index");
}

std::int32_t CWorksheets::GetCount() const {
    return static_cast<std::int32_t>(std::count_if(m_pBook->m_sheets.begin(), m_pBook->m_sheets.end(), [](const STSheet& sheet) {
        return sheet.m_eKind == ESheetKind::kWorksheet && sheet.m_pWorksheet;
    }));
}

CRangePtr CWorksheet::GetRange(std::string_view cell1, std::optional<std::string_view> cell2) {
    std::optional<STCellRect> cells = ParseRangeAddress(cell1);
    if (cells && cell2) {
        const std::optional<STCellRect> second = ParseRangeAddress(*cell2);
        cells = second ? std::optional(SpanOf(*cells, *second)) : std::nullopt;
    }
    if (!cells) RaiseBadArgument("not a cell address: " + std::string(cell1));
    return CRangePtr(std::make_shared<CRange>(m_pSheet, *cells));
}

CRangePtr CWorksheet::GetCells() {
    return CRangePtr(std::make_shared<CRange>(m_pSheet, kWholeSheet));
}

CShapesPtr CWorksheet::GetShapes() {
    return CShapesPtr(std::make_shared<CShapes>(m_pSheet));
}

AutomationCode QueryWorksheet(const CSheetPtr& sheet, CWorksheetPtr& worksheet) {
    const STSheet& held = sheet->Sheet();
    if (held.m_eKind != ESheetKind::kWorksheet || !held.m_pWorksheet) {
        worksheet.Release();
        return kENoInterface;
    }
    worksheet = CWorksheetPtr(std::make_shared<CWorksheet>(held.m_pWorksheet, sheet->Book()));
    return 0;
}

// --- workbooks and the application

void CWorkbook::SaveAs(const std::u16string& fileName, ESaveConflict conflict) {
    const std::string path = Utf16ToUtf8(fileName);
    if (conflict == ESaveConflict::kReplace) {
        if (!WriteXlsxFile(*m_pBook, path))
            throw CAutomationError(kStgECantSave, "cannot write " + path);
    } else {
        switch (CreateXlsxFile(*m_pBook, path)) {
            case ENewFileResult::kCreated:
                break;
            case ENewFileResult::kExists:
                throw CAutomationError(kStgEFileAlreadyExists, path + " is there already");
            case ENewFileResult::kFailed:
                throw CAutomationError(kStgECantSave, "cannot write " + path);
        }
    }
    m_strFullName = fileName;
}

CWorksheetsPtr CWorkbook::GetWorksheets() {
    return CWorksheetsPtr(std::make_shared<CWorksheets>(m_pBook));
}

CWorkbookPtr CWorkbooks::Add(std::int32_t workbookTemplate) {
    if (workbookTemplate != kXlWBATWorksheet && workbookTemplate != kXlWBATChart)
        RaiseBadArgument("unknown workbook template");
    ESheetKind kind = workbookTemplate == kXlWBATChart ? ESheetKind::kChart : ESheetKind::kWorksheet;
    if (m_pApplication->m_setup.m_eNewWorkbookSheet == ESheetKind::kChart) kind = ESheetKind::kChart;
    auto book = std::make_shared<STWorkbook>();
    STSheet sheet{kind, nullptr};
    if (kind == ESheetKind::kWorksheet) sheet.m_pWorksheet = std::make_shared<STWorksheet>();
    book->m_sheets.push_back(std::move(sheet));
    auto workbook = std::make_shared<CWorkbook>(std::move(book));
    m_pApplication->m_workbooks.push_back(workbook);
    return CWorkbookPtr(std::move(workbook));
}

void CApplication::PutVisible(bool visible) {
    if (!visible) return;  // the component has no window to hide
    for (const auto& workbook : m_workbooks) {
        if (workbook->m_bShown || workbook->FullName().empty() || !m_setup.m_opener) continue;
        workbook->m_bShown = true;
        if (!m_setup.m_opener(workbook->FullName(), workbook->Book()))
            throw CAutomationError(kCoEAppNotFound, "nothing opened " + Utf16ToUtf8(workbook->FullName()));
    }
}

CWorkbooksPtr CApplication::GetWorkbooks() {
    return CWorkbooksPtr(std::make_shared<CWorkbooks>(shared_from_this()));
}

CSheetPtr CApplication::GetActiveSheet() {
    if (m_workbooks.empty()) throw CAutomationError(kEPointer, "no workbook is open");
    const std::shared_ptr<STWorkbook>& book = m_workbooks.back()->m_pBook;
    return CSheetPtr(std::make_shared<CSheet>(book->m_sheets.at(book->m_nActiveSheet), book));
}

STSpreadsheetSetup InstallSpreadsheetSetup(STSpreadsheetSetup setup) {
    std::lock_guard lock(g_setupMutex);
    std::swap(g_setup, setup);
    return setup;
}

// --- starting the component

namespace {

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "{8-4-4-4-12 hex digits}".
bool IsClassIdText(std::u16string_view text) {
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
    for (std::size_t at = 1; at < 37; ++at) {
        const bool dash = at == 9 || at == 14 || at == 19 || at == 24;
        if (dash ? text[at] != u'-' : !IsHexDigit(text[at])) return false;
    }
    return true;
}

bool HasUntranslatedBytes(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
}

// 0 when the identifier names the component, else why not.
AutomationCode ResolveComponent(std::string_view progId) {
    const std::u16string wide = Utf8ToUtf16(progId);
    if (HasUntranslatedBytes(wide)) return kENoUnicodeTranslation;
    std::u16string folded = wide;
    if (!wide.empty() && wide.front() == u'{') {
        if (!IsClassIdText(wide)) return kCoEClassString;
        return StringToUpper(folded) == Utf8ToUtf16(kSpreadsheetClassId) ? 0 : kRegdbEClassNotReg;
    }
    std::u16string known = Utf8ToUtf16(kSpreadsheetProgId);
    return StringToLower(folded) == StringToLower(known) ? 0 : kCoEClassString;
}

}  // namespace

AutomationCode CreateApplication(CApplicationPtr& application, std::string_view progId) {
    application.Release();
    if (const AutomationCode failure = ResolveComponent(progId)) return failure;
    try {
        application = CApplicationPtr(std::make_shared<CApplication>(CurrentSetup()));
    } catch (const std::bad_alloc&) {
        return kEOutOfMemory;
    }
    return 0;
}
