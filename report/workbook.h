// The workbook the automation layer fills: cells with their text and format,
// merged areas, column widths and pictures. Plain data; the automation
// objects change it and the xlsx writer stores it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/cell_address.h"
#include "report/cell_number.h"

// Horizontal alignments by the spreadsheet's own constants.
inline constexpr std::int32_t kXlGeneral = 1;
inline constexpr std::int32_t kXlCenter = -4108;
inline constexpr std::int32_t kXlLeft = -4131;
inline constexpr std::int32_t kXlRight = -4152;

// What a new workbook's cells start with.
inline constexpr char16_t kDefaultFontName[] = u"Calibri";
inline constexpr double kDefaultFontSize = 11.0;
// Widths and heights in pixels at 96 dots per inch; a point is 4/3 pixel.
inline constexpr std::int32_t kDefaultColumnPixels = 64;
inline constexpr std::int32_t kDefaultRowPixels = 20;
inline constexpr double kPointsPerPixel = 0.75;

struct STCellFont {
    std::u16string m_strName = kDefaultFontName;
    double m_dSize = kDefaultFontSize;
    // 0x00BBGGRR; none for the automatic colour.
    std::optional<std::uint32_t> m_oColor;

    bool operator==(const STCellFont&) const = default;
};

// Thin continuous edges in the automatic colour.
struct STCellBorders {
    bool m_bLeft = false;
    bool m_bTop = false;
    bool m_bRight = false;
    bool m_bBottom = false;

    bool operator==(const STCellBorders&) const = default;
};

struct STCell {
    // The text as written and shown.
    std::u16string m_strText;
    STCellFont m_font;
    std::int32_t m_nAlignment = kXlGeneral;
    STCellBorders m_borders;
    // A text that reads as a number is stored as that number too, with the
    // format that shows the text.
    std::optional<STCellNumber> m_oNumber;
};

// An embedded picture, placed in points from the sheet's top left corner.
struct STPicture {
    std::vector<std::uint8_t> m_png;
    std::int32_t m_nPixelWidth = 0;
    std::int32_t m_nPixelHeight = 0;
    float m_fLeft = 0;
    float m_fTop = 0;
    float m_fWidth = 0;
    float m_fHeight = 0;
};

// A series of a scatter chart: x and y values from cells of the chart's own
// worksheet, joined by straight lines.
struct STChartSeries {
    std::u16string m_strName;
    std::optional<STCellRect> m_oXValues;
    std::optional<STCellRect> m_oValues;
    // 0x00BBGGRR; none for the automatic colour.
    std::optional<std::uint32_t> m_oColor;
    bool m_bMarkers = false;
};

// An embedded chart, placed in points like a picture.
struct STChart {
    std::u16string m_strTitle;
    std::u16string m_strCategoryTitle;
    std::u16string m_strValueTitle;
    // Distance between the value axis' gridlines; none to let the
    // spreadsheet choose.
    std::optional<double> m_oValueMajorUnit;
    // What new series start with.
    bool m_bMarkers = true;
    std::vector<STChartSeries> m_series;
    double m_dLeft = 0;
    double m_dTop = 0;
    double m_dWidth = 0;
    double m_dHeight = 0;
};

struct STWorksheet {
    std::u16string m_strName = u"Sheet1";
    // Cells that were ever touched, by row then column.
    std::map<std::pair<std::int32_t, std::int32_t>, STCell> m_cells;
    // Disjoint merged areas, each larger than one cell, by top left corner.
    std::map<std::pair<std::int32_t, std::int32_t>, STCellRect> m_merges;
    // No merged area has more rows; bounds the search for a cell's area.
    std::int32_t m_nTallestMerge = 1;
    // Widths set by fitting; the others are kDefaultColumnPixels.
    std::map<std::int32_t, std::int32_t> m_columnPixels;
    std::vector<STPicture> m_pictures;
    std::vector<STChart> m_charts;

    STCell& CellAt(std::int32_t row, std::int32_t column);
    const STCell* FindCell(std::int32_t row, std::int32_t column) const;
    // The merged area holding the cell, if any.
    const STCellRect* MergeAt(std::int32_t row, std::int32_t column) const;
    // The merged areas that share a cell with rect.
    std::vector<STCellRect> MergesMeeting(const STCellRect& rect) const;
    // Merges rect with every area it meets into one area: the span of them
    // all, grown until it meets no other area. The top left cell keeps its
    // text, the others lose theirs. A single cell stays unmerged.
    void Merge(STCellRect rect);
    std::int32_t ColumnPixels(std::int32_t column) const;
    std::int32_t RowPixels(std::int32_t row) const;
    // Sum of the widths of columns first..last, of heights of rows first..last.
    std::int64_t ColumnsPixels(std::int32_t first, std::int32_t last) const;
    std::int64_t RowsPixels(std::int32_t first, std::int32_t last) const;
};

enum class ESheetKind { kWorksheet, kChart };

struct STSheet {
    ESheetKind m_eKind = ESheetKind::kWorksheet;
    // Null for a chart sheet.
    std::shared_ptr<STWorksheet> m_pWorksheet;
};

struct STWorkbook {
    std::vector<STSheet> m_sheets;
    std::size_t m_nActiveSheet = 0;
};
