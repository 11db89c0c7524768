// The spreadsheet component the report drives: an application with its
// workbooks, worksheets, ranges, fonts and shapes, reached one call at a time
// as a spreadsheet application's automation interface offers them. Objects
// are held through CInterfacePtr, which shares ownership like a counted
// interface pointer; every failing call raises CAutomationError.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/automation_error.h"
#include "report/workbook.h"

// Using a null pointer raises E_POINTER, as a call through a null interface
// would fail.
template <class T>
class CInterfacePtr {
public:
    CInterfacePtr() = default;
    explicit CInterfacePtr(std::shared_ptr<T> object) : m_pObject(std::move(object)) {}

    T* operator->() const {
        if (!m_pObject) throw CAutomationError(kEPointer, "call on a null object");
        return m_pObject.get();
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const { return m_pObject != nullptr; }
    void Release() { m_pObject.reset(); }

private:
    std::shared_ptr<T> m_pObject;
};

// Workbook templates for Workbooks.Add.
inline constexpr std::int32_t kXlWBATWorksheet = -4167;
inline constexpr std::int32_t kXlWBATChart = -4109;
// BorderAround's arguments.
inline constexpr std::int32_t kXlContinuous = 1;
inline constexpr std::int32_t kXlThin = 2;
inline constexpr std::int32_t kXlColorIndexAutomatic = -4105;
// Chart.ChartType and Series.ChartType: scatter charts of straight lines.
inline constexpr std::int32_t kXlXYScatterLines = 74;
inline constexpr std::int32_t kXlXYScatterLinesNoMarkers = 75;
// Chart.Axes' types.
inline constexpr std::int32_t kXlCategory = 1;
inline constexpr std::int32_t kXlValue = 2;
// Shapes.AddPicture's link and save flags.
inline constexpr std::int32_t kMsoFalse = 0;
inline constexpr std::int32_t kMsoTrue = 1;

class CFont {
public:
    CFont(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells);
    void PutSize(double points);
    // 0x00BBGGRR.
    void PutColor(std::int32_t color);
    void PutName(std::u16string_view face);

private:
    template <class Change>
    void ForEachCell(Change change);

    std::shared_ptr<STWorksheet> m_pSheet;
    STCellRect m_cells;
};
using CFontPtr = CInterfacePtr<CFont>;

// All characters of the cells (Start and Length omitted).
class CCharacters {
public:
    CCharacters(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells);
    CFontPtr GetFont();

private:
    std::shared_ptr<STWorksheet> m_pSheet;
    STCellRect m_cells;
};
using CCharactersPtr = CInterfacePtr<CCharacters>;

class CRange;
using CRangePtr = CInterfacePtr<CRange>;

class CRange {
public:
    CRange(std::shared_ptr<STWorksheet> sheet, const STCellRect& cells);

    // kXlCenter, kXlLeft, kXlRight or kXlGeneral.
    void PutHorizontalAlignment(std::int32_t alignment);
    // A text that reads as a number, a percentage or a date is stored as
    // that number with a format showing the text (see CellNumberOf).
    void PutValue2(std::u16string_view text);
    CCharactersPtr GetCharacters();
    CFontPtr GetFont();
    // One merged cell over the whole range (Across false).
    void Merge();
    CRangePtr GetEntireColumn();
    // Fits whole columns to the widest text of their unmerged cells; a
    // column without such text keeps its width. Other ranges raise.
    void AutoFit();
    // Position and size in points.
    double GetLeft() const;
    double GetTop() const;
    double GetWidth() const;
    double GetHeight() const;
    // Only thin continuous lines in the automatic colour.
    void BorderAround(std::int32_t lineStyle, std::int32_t weight, std::int32_t colorIndex);


private:
    friend class CSeries;

    bool IsEntireColumns() const;

    std::shared_ptr<STWorksheet> m_pSheet;
    STCellRect m_cells;
};

class CShapes {
public:
    explicit CShapes(std::shared_ptr<STWorksheet> sheet);
    // Embeds the picture file (a 24-bit BMP) at the place given in points,
    // stretched to it; the file is read now, so it may go afterwards.
    void AddPicture(std::u16string_view fileName, std::int32_t linkToFile, std::int32_t saveWithDocument,
                    float left, float top, float width, float height);

private:
    std::shared_ptr<STWorksheet> m_pSheet;
};
using CShapesPtr = CInterfacePtr<CShapes>;

// One series of an embedded chart, reached by its place in the chart.
class CSeries {
public:
    CSeries(std::shared_ptr<STWorksheet> sheet, std::size_t chart, std::size_t series);
    void PutName(std::u16string_view name);
    // Cells of the chart's own worksheet; cells of another sheet raise.
    void PutXValues(const CRangePtr& cells);
    void PutValues(const CRangePtr& cells);
    // kXlXYScatterLines or kXlXYScatterLinesNoMarkers.
    void PutChartType(std::int32_t type);
    // Format.Line.ForeColor.RGB, 0x00BBGGRR.
    void PutLineColor(std::int32_t color);

private:
    STChartSeries& Series() const;
    STCellRect CellsOf(const CRangePtr& cells) const;

    std::shared_ptr<STWorksheet> m_pSheet;
    std::size_t m_nChart;
    std::size_t m_nSeries;
};
using CSeriesPtr = CInterfacePtr<CSeries>;

class CSeriesCollection {
public:
    CSeriesCollection(std::shared_ptr<STWorksheet> sheet, std::size_t chart);
    CSeriesPtr NewSeries();

private:
    std::shared_ptr<STWorksheet> m_pSheet;
    std::size_t m_nChart;
};
using CSeriesCollectionPtr = CInterfacePtr<CSeriesCollection>;

// An embedded chart; only scatter charts of straight lines are drawn.
class CChart {
public:
    CChart(std::shared_ptr<STWorksheet> sheet, std::size_t chart);
    void PutChartType(std::int32_t type);
    // ChartTitle.Text, with HasTitle set.
    void PutTitle(std::u16string_view title);
    // Axes(type).AxisTitle.Text for kXlCategory or kXlValue.
    void PutAxisTitle(std::int32_t axisType, std::u16string_view title);
    // Axes(kXlValue).MajorUnit; positive.
    void PutValueAxisMajorUnit(double unit);
    CSeriesCollectionPtr GetSeriesCollection();

private:
    STChart& Chart() const;

    std::shared_ptr<STWorksheet> m_pSheet;
    std::size_t m_nChart;
};
using CChartPtr = CInterfacePtr<CChart>;

class CChartObject {
public:
    CChartObject(std::shared_ptr<STWorksheet> sheet, std::size_t chart) : m_pSheet(std::move(sheet)), m_nChart(chart) {}
    CChartPtr GetChart();

private:
    std::shared_ptr<STWorksheet> m_pSheet;
    std::size_t m_nChart;
};
using CChartObjectPtr = CInterfacePtr<CChartObject>;

class CChartObjects {
public:
    explicit CChartObjects(std::shared_ptr<STWorksheet> sheet) : m_pSheet(std::move(sheet)) {}
    // An empty chart at the place given in points.
    CChartObjectPtr Add(double left, double top, double width, double height);

private:
    std::shared_ptr<STWorksheet> m_pSheet;
};
using CChartObjectsPtr = CInterfacePtr<CChartObjects>;

class CWorksheet {
public:
    // A worksheet handed out without its workbook cannot be activated.
    explicit CWorksheet(std::shared_ptr<STWorksheet> sheet, std::shared_ptr<STWorkbook> book = nullptr);
    // One cell ("B7"), a rectangle ("B7:D9"), or the rectangle spanned by
    // both arguments.
    CRangePtr GetRange(std::string_view cell1, std::optional<std::string_view> cell2 = std::nullopt);
    CRangePtr GetCells();
    CShapesPtr GetShapes();
    CChartObjectsPtr GetChartObjects();
    // At most 31 characters, none of []:*?/\, and no other sheet's name
    // in any letter case.
    void PutName(std::u16string_view name);
    // Makes it the workbook's active sheet.
    void Activate();

private:
    std::shared_ptr<STWorksheet> m_pSheet;
    std::shared_ptr<STWorkbook> m_pBook;
};
using CWorksheetPtr = CInterfacePtr<CWorksheet>;

// The worksheets of a workbook, counted from 1 as the application counts.
class CWorksheets {
public:
    explicit CWorksheets(std::shared_ptr<STWorkbook> book) : m_pBook(std::move(book)) {}
    // A new worksheet after the last sheet, as Add(After:=Sheets(Count))
    // places it; it becomes the active sheet.
    CWorksheetPtr Add();
    CWorksheetPtr GetItem(std::int32_t index);
    std::int32_t GetCount() const;

private:
    std::shared_ptr<STWorkbook> m_pBook;
};
using CWorksheetsPtr = CInterfacePtr<CWorksheets>;

// A sheet as the application hands it out: a worksheet or a chart sheet.
class CSheet {
public:
    explicit CSheet(STSheet sheet, std::shared_ptr<STWorkbook> book = nullptr)
        : m_sheet(std::move(sheet)), m_pBook(std::move(book)) {}
    const STSheet& Sheet() const { return m_sheet; }
    const std::shared_ptr<STWorkbook>& Book() const { return m_pBook; }

private:
    STSheet m_sheet;
    std::shared_ptr<STWorkbook> m_pBook;
};
using CSheetPtr = CInterfacePtr<CSheet>;

// The worksheet behind a sheet; E_NOINTERFACE, and a null worksheet, for a
// chart sheet. Raises only for a null sheet.
AutomationCode QueryWorksheet(const CSheetPtr& sheet, CWorksheetPtr& worksheet);

// What SaveAs does when the file is already there.
enum class ESaveConflict {
    kReplace,
    // Raises STG_E_FILEALREADYEXISTS and leaves the file as it was.
    kRefuse,
};

class CWorkbook {
public:
    explicit CWorkbook(std::shared_ptr<STWorkbook> book) : m_pBook(std::move(book)) {}
    // Writes the workbook to the .xlsx file; raises STG_E_CANTSAVE when it
    // cannot be written, and then any file of that name stays as it was.
    void SaveAs(const std::u16string& fileName, ESaveConflict conflict = ESaveConflict::kReplace);

    const STWorkbook& Book() const { return *m_pBook; }
    CWorksheetsPtr GetWorksheets();
    // The file last saved to; empty while unsaved.
    const std::u16string& FullName() const { return m_strFullName; }

private:
    friend class CApplication;

    std::shared_ptr<STWorkbook> m_pBook;
    std::u16string m_strFullName;
    bool m_bShown = false;
};
using CWorkbookPtr = CInterfacePtr<CWorkbook>;

class CApplication;

class CWorkbooks {
public:
    explicit CWorkbooks(std::shared_ptr<CApplication> application) : m_pApplication(std::move(application)) {}
    // A workbook of one worksheet (kXlWBATWorksheet) or one chart sheet
    // (kXlWBATChart), which becomes the active workbook. The component's
    // setup may have new workbooks open on a chart sheet instead.
    CWorkbookPtr Add(std::int32_t workbookTemplate);

private:
    std::shared_ptr<CApplication> m_pApplication;
};
using CWorkbooksPtr = CInterfacePtr<CWorkbooks>;

// Opens a saved workbook, its file and what it holds, for the operator;
// false when nothing did.
using WorkbookOpener = std::function<bool(const std::u16string& fileName, const STWorkbook& workbook)>;

// What the installed component does beyond the calls: how it shows saved
// workbooks, and what sheet its new workbooks open on.
struct STSpreadsheetSetup {
    // None: saved workbooks are not opened.
    WorkbookOpener m_opener;
    ESheetKind m_eNewWorkbookSheet = ESheetKind::kWorksheet;
};
// Installs the setup for applications created from now on; returns the one
// before.
STSpreadsheetSetup InstallSpreadsheetSetup(STSpreadsheetSetup setup);

class CApplication : public std::enable_shared_from_this<CApplication> {
public:
    explicit CApplication(STSpreadsheetSetup setup) : m_setup(std::move(setup)) {}

    // Making the application visible opens every saved workbook not yet
    // shown; raises CO_E_APPNOTFOUND, naming the file, when one cannot be
    // opened.
    void PutVisible(bool visible);
    CWorkbooksPtr GetWorkbooks();
    // The active sheet of the active workbook; raises when there is none.
    CSheetPtr GetActiveSheet();

private:
    friend class CWorkbooks;

    STSpreadsheetSetup m_setup;
    std::vector<std::shared_ptr<CWorkbook>> m_workbooks;
};
using CApplicationPtr = CInterfacePtr<CApplication>;

// The component's programmatic identifier and class identifier.
inline constexpr std::string_view kSpreadsheetProgId = "Excel.Application";
inline constexpr std::string_view kSpreadsheetClassId = "{00024500-0000-0000-C000-000000000046}";

// Starts the component named by a programmatic identifier or by a class
// identifier in braces. Releases what application was held first; on failure
// leaves it null and returns the failure code, else 0.
AutomationCode CreateApplication(CApplicationPtr& application, std::string_view progId);
