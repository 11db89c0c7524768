#include "report/capability_sheet.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "instrument/capability.h"
#include "report/cell_ops.h"
#include "report/histogram.h"

namespace {

constexpr std::u16string_view kFace = u"Times New Roman";
constexpr std::int32_t kDefaultColor = 0;
constexpr std::u16string_view kLimitNotUsed = u"not used";
// 0x00BBGGRR.
constexpr std::int32_t kColumnBlue = 0xB0702F;
constexpr std::int32_t kLimitRed = 0x0000FF;

constexpr std::int32_t kFirstFigureRow = 3;
constexpr std::int32_t kTableHeaderRow = 13;
// The points the chart draws, under the chart: the sheet prints one page
// wide, so points beside it would shrink the page.
constexpr std::int32_t kPointsHeaderRow = 23;
constexpr std::string_view kOutlineX = "E";
constexpr std::string_view kOutlineY = "F";
constexpr std::string_view kLimitX = "H";
constexpr std::string_view kLimitY = "I";
// The chart: from E3, 432 x 259 points, ending above row 21.
constexpr std::string_view kChartCorner = "E3";
constexpr double kChartWidth = 432;
constexpr double kChartHeight = 259;

class CCapabilitySheet {
public:
    CCapabilitySheet(CWorksheetPtr sheet, const STLedgermill& batch)
        : m_sheet(std::move(sheet)),
          m_batch(batch),
          m_capability(ComputeCapability(batch)),
          m_values(AveragesTakingPart(batch)),
          m_bins(HistogramOf(m_values)) {}

    void WriteFigures();
    void WriteHistogramTable();
    void WriteChartPoints();
    void FitColumns();
    void InsertChart();

private:
    void Put(std::int32_t row, std::string_view letters, std::u16string_view text,
             std::int32_t alignment) {
        WriteCell(m_sheet, row, letters, text, alignment, kDefaultColor, kFace);
    }
    void PutFigure(std::int32_t row, std::u16string_view label, std::u16string_view value) {
        Put(row, "A", label, kXlLeft);
        Put(row, "B", value, kXlRight);
    }
    std::u16string LimitText(double limit) const {
        return m_batch.m_bUseLimit ? DoubleToText(limit) : std::u16string(kLimitNotUsed);
    }
    std::int32_t LastOutlineRow() const {
        return kPointsHeaderRow + 4 * static_cast<std::int32_t>(m_bins.size());
    }
    std::int64_t TallestBin() const;
    void AddSeries(const CChartPtr& chart, std::u16string_view name, std::string_view xLetters,
                   std::string_view yLetters, std::int32_t firstRow, std::int32_t lastRow,
                   std::int32_t color, std::int32_t type);

    CWorksheetPtr m_sheet;
    const STLedgermill& m_batch;
    STCapability m_capability;
    std::vector<double> m_values;
    std::vector<STHistogramBin> m_bins;
};

void CCapabilitySheet::WriteFigures() {
    MergeRange(m_sheet, 1, "A", 1, "C");
    Put(1, "A", u"Process capability", kXlCenter);
    std::int32_t row = kFirstFigureRow;
    PutFigure(row++, u"Cp", CapabilityIndexText(m_capability.m_oCp));
    PutFigure(row++, u"Cpk", CapabilityIndexText(m_capability.m_oCpk));
    PutFigure(row++, u"Pass rate", PassRateText(m_capability.m_oPassRate));
    PutFigure(row++, u"NG items", UIntToText(static_cast<std::uint32_t>(m_capability.m_nNg)));
    PutFigure(row++, u"Items", UIntToText(static_cast<std::uint32_t>(m_batch.m_itemVector.size())));
    PutFigure(row++, u"Values taking part",
              UIntToText(static_cast<std::uint32_t>(m_values.size())));
    PutFigure(row++, u"Lower limit", LimitText(m_batch.m_dLowerLimit));
    PutFigure(row++, u"Upper limit", LimitText(m_batch.m_dUpperLimit));
    if (m_capability.HasMixedScales()) {
        MergeRange(m_sheet, row, "A", row, "C");
        Put(row, "A", MixedScalesText(m_capability), kXlLeft);
    }
}

void CCapabilitySheet::WriteHistogramTable() {
    Put(kTableHeaderRow, "A", u"From", kXlCenter);
    Put(kTableHeaderRow, "B", u"To", kXlCenter);
    Put(kTableHeaderRow, "C", u"Items", kXlCenter);
    std::int32_t row = kTableHeaderRow + 1;
    for (const STHistogramBin& bin : m_bins) {
        Put(row, "A", DoubleToText(bin.m_dFrom), kXlRight);
        Put(row, "B", DoubleToText(bin.m_dTo), kXlRight);
        Put(row, "C", UIntToText(static_cast<std::uint32_t>(bin.m_nCount)), kXlRight);
        ++row;
    }
    if (m_bins.empty()) {
        MergeRange(m_sheet, row, "A", row, "C");
        Put(row, "A", u"no values take part", kXlLeft);
    }
}

std::int64_t CCapabilitySheet::TallestBin() const {
    std::int64_t tallest = 1;
    for (const STHistogramBin& bin : m_bins)
        tallest = std::max(tallest, bin.m_nCount);
    return tallest;
}

// Each bin as the outline of a column: up its left edge, across, down its
// right edge; the limits as vertical lines as tall as the tallest column.
void CCapabilitySheet::WriteChartPoints() {
    if (m_bins.empty())
        return;
    Put(kPointsHeaderRow - 1, kOutlineX, u"Chart points", kXlLeft);
    Put(kPointsHeaderRow, kOutlineX, u"x", kXlCenter);
    Put(kPointsHeaderRow, kOutlineY, u"Items", kXlCenter);
    std::int32_t row = kPointsHeaderRow + 1;
    for (const STHistogramBin& bin : m_bins) {
        const std::u16string count = UIntToText(static_cast<std::uint32_t>(bin.m_nCount));
        for (const auto& [x, y] : {std::pair{bin.m_dFrom, std::u16string(u"0")},
                                   {bin.m_dFrom, count},
                                   {bin.m_dTo, count},
                                   {bin.m_dTo, std::u16string(u"0")}}) {
            Put(row, kOutlineX, DoubleToText(x), kXlRight);
            Put(row, kOutlineY, y, kXlRight);
            ++row;
        }
    }
    if (!m_batch.m_bUseLimit)
        return;
    Put(kPointsHeaderRow, kLimitX, u"Limit", kXlCenter);
    Put(kPointsHeaderRow, kLimitY, u"Items", kXlCenter);
    const std::u16string top = UIntToText(static_cast<std::uint32_t>(TallestBin()));
    row = kPointsHeaderRow + 1;
    for (const double limit : {m_batch.m_dLowerLimit, m_batch.m_dUpperLimit}) {
        for (const std::u16string& y : {std::u16string(u"0"), top}) {
            Put(row, kLimitX, DoubleToText(limit), kXlRight);
            Put(row, kLimitY, y, kXlRight);
            ++row;
        }
    }
}

void CCapabilitySheet::FitColumns() {
    m_sheet->GetCells()->GetEntireColumn()->AutoFit();
}

void CCapabilitySheet::AddSeries(const CChartPtr& chart, std::u16string_view name,
                                 std::string_view xLetters, std::string_view yLetters,
                                 std::int32_t firstRow, std::int32_t lastRow, std::int32_t color,
                                 std::int32_t type) {
    CSeriesPtr series = chart->GetSeriesCollection()->NewSeries();
    series->PutName(name);
    series->PutXValues(
        m_sheet->GetRange(CellAddressOf(xLetters, firstRow), CellAddressOf(xLetters, lastRow)));
    series->PutValues(
        m_sheet->GetRange(CellAddressOf(yLetters, firstRow), CellAddressOf(yLetters, lastRow)));
    series->PutLineColor(color);
    series->PutChartType(type);
}

// Whole items between gridlines, about ten of them: 1, 2 or 5 times a
// power of ten.
double GridStep(std::int64_t tallest) {
    double step = 1;
    for (double scale = 1;; scale *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            step = factor * scale;
            if (static_cast<double>(tallest) / step <= 10)
                return step;
        }
    }
}

// Placed after the columns are fitted, so that it starts at its corner.
void CCapabilitySheet::InsertChart() {
    if (m_bins.empty())
        return;
    CRangePtr corner = m_sheet->GetRange(kChartCorner);
    CChartPtr chart = m_sheet->GetChartObjects()
                          ->Add(corner->GetLeft(), corner->GetTop(), kChartWidth, kChartHeight)
                          ->GetChart();
    chart->PutChartType(kXlXYScatterLinesNoMarkers);
    chart->PutTitle(u"Item averages");
    chart->PutAxisTitle(kXlCategory, u"Hardness");
    chart->PutAxisTitle(kXlValue, u"Items");
    chart->PutValueAxisMajorUnit(GridStep(TallestBin()));
    const std::int32_t first = kPointsHeaderRow + 1;
    AddSeries(chart, u"Items", kOutlineX, kOutlineY, first, LastOutlineRow(), kColumnBlue,
              kXlXYScatterLinesNoMarkers);
    if (!m_batch.m_bUseLimit)
        return;
    AddSeries(chart, u"Lower limit", kLimitX, kLimitY, first, first + 1, kLimitRed,
              kXlXYScatterLines);
    AddSeries(chart, u"Upper limit", kLimitX, kLimitY, first + 2, first + 3, kLimitRed,
              kXlXYScatterLines);
}

}  // namespace

void WriteCapabilitySheet(const CWorksheetPtr& sheet, const STLedgermill& batch) {
    sheet->PutName(kCapabilitySheetName);
    CCapabilitySheet capability(sheet, batch);
    capability.WriteFigures();
    capability.WriteHistogramTable();
    capability.WriteChartPoints();
    capability.FitColumns();
    capability.InsertChart();
}
