#include "report/xlsx_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

#include "common/classic_locale.h"
#include "common/file_replace.h"
#include "common/private_folder.h"
#include "common/utf.h"

namespace {

// Excel's limits: characters in a cell, in a font name, a font's size.
constexpr std::size_t kMaxCellText = 32767;
constexpr std::size_t kMaxFontName = 31;
constexpr double kMinFontSize = 1;
constexpr double kMaxFontSize = 409;
// libxlsxwriter turns a width in characters into pixels as Excel does for
// Calibri 11: a digit is 7 pixels wide, a column adds 5 pixels of padding,
// and below one character a character counts 12 pixels.
constexpr double kDigitPixels = 7;
constexpr double kPaddingPixels = 5;
constexpr std::int32_t kOneCharacterPixels = 12;
// 255 characters, the widest column Excel opens; libxlsxwriter would
// overflow its width field above that.
constexpr std::int32_t kMaxColumnPixels = 255 * 7 + 5;
constexpr char16_t kReplacement = 0xFFFD;

// Discards an unfinished workbook: no file is written.
struct WorkbookDiscarder {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};
using WorkbookPtr = std::unique_ptr<lxw_workbook, WorkbookDiscarder>;

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// XML has no place for lone surrogates or U+FFFE and U+FFFF, nor for
// control characters in attributes; each becomes U+FFFD, as does NUL, which
// would end libxlsxwriter's C string. libxlsxwriter escapes the other
// control characters in cell text itself.
std::u16string XmlCarriable(std::u16string_view text, bool keepControls) {
    std::u16string carriable(text);
    for (std::size_t at = 0; at < carriable.size(); ++at) {
        char16_t& c = carriable[at];
        if (IsHighSurrogate(c) && at + 1 < carriable.size() && IsLowSurrogate(carriable[at + 1])) {
            ++at;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c >= 0xFFFE || c == 0 ||
                   (!keepControls && c < 0x20)) {
            c = kReplacement;
        }
    }
    return carriable;
}

// Cuts to at most maxUnits UTF-16 code units, never inside a surrogate pair.
void Truncate(std::u16string& text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) {
        return;
    }
    const bool splitsPair = maxUnits > 0 && IsHighSurrogate(text[maxUnits - 1]);
    text.resize(splitsPair ? maxUnits - 1 : maxUnits);
}

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool StartsEscape(std::u16string_view text, std::size_t at) {
    return text.size() - at >= 7 && text[at + 1] == u'x' && IsHexDigit(text[at + 2]) &&
           IsHexDigit(text[at + 3]) && IsHexDigit(text[at + 4]) && IsHexDigit(text[at + 5]) &&
           text[at + 6] == u'_';
}

// Excel reads "_xHHHH_" in cell text as the character HHHH; an underscore
// that starts such a run of its own is written as "_x005F_" to stay literal.
std::u16string WithLiteralEscapes(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == u'_' && StartsEscape(text, at)) {
            escaped += u"_x005F";
        }
        escaped += text[at];
    }
    return escaped;
}

std::string CellText(std::u16string_view text) {
    std::u16string stored = WithLiteralEscapes(XmlCarriable(text, true));
    Truncate(stored, kMaxCellText);
    return Utf16ToUtf8(stored);
}

std::string NameText(std::u16string_view text) {
    return Utf16ToUtf8(XmlCarriable(text, false));
}

struct STFormatKey {
    std::u16string m_strFont;
    double m_dSize = kDefaultFontSize;
    std::optional<std::uint32_t> m_oColor;
    std::int32_t m_nAlignment = kXlGeneral;
    // Left, top, right, bottom as bits 0 to 3.
    std::uint8_t m_nBorders = 0;
    // Empty for a text cell: General.
    std::string m_strNumberFormat;

    auto operator<=>(const STFormatKey&) const = default;
};

double FontSize(double size) {
    return std::isfinite(size) ? std::clamp(size, kMinFontSize, kMaxFontSize) : kDefaultFontSize;
}

std::uint8_t BorderBits(const STCellBorders& borders) {
    return static_cast<std::uint8_t>(borders.m_bLeft | borders.m_bTop << 1 | borders.m_bRight << 2 |
                                     borders.m_bBottom << 3);
}

STFormatKey KeyOf(const STCell& cell) {
    return {cell.m_font.m_strName, FontSize(cell.m_font.m_dSize), cell.m_font.m_oColor,
            cell.m_nAlignment, BorderBits(cell.m_borders),
            cell.m_oNumber ? cell.m_oNumber->m_strFormat : std::string()};
}

// 0x00BBGGRR as libxlsxwriter's 0xRRGGBB, where 0 would mean "no colour".
lxw_color_t RgbColor(std::uint32_t bgr) {
    const std::uint32_t rgb = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
    return rgb == 0 ? lxw_color_t{LXW_COLOR_BLACK} : rgb;
}

std::optional<std::uint8_t> HorizontalAlignment(std::int32_t alignment) {
    switch (alignment) {
        case kXlCenter:
            return LXW_ALIGN_CENTER;
        case kXlLeft:
            return LXW_ALIGN_LEFT;
        case kXlRight:
            return LXW_ALIGN_RIGHT;
        default:
            return std::nullopt;
    }
}

void SetFont(lxw_format* format, const STFormatKey& key) {
    std::u16string name = XmlCarriable(key.m_strFont, false);
    Truncate(name, kMaxFontName);
    if (!name.empty()) {
        format_set_font_name(format, Utf16ToUtf8(name).c_str());
    }
    format_set_font_size(format, key.m_dSize);
    if (key.m_oColor) {
        format_set_font_color(format, RgbColor(*key.m_oColor));
    }
}

void SetBorders(lxw_format* format, std::uint8_t bits) {
    using SetEdge = void (*)(lxw_format*, std::uint8_t);
    constexpr SetEdge kEdges[] = {format_set_left, format_set_top, format_set_right,
                                  format_set_bottom};
    for (std::size_t edge = 0; edge < std::size(kEdges); ++edge) {
        if (bits >> edge & 1) {
            kEdges[edge](format, LXW_BORDER_THIN);
        }
    }
}

// One libxlsxwriter format for each distinct look of a cell; the workbook
// owns them.
class CFormatCache {
public:
    explicit CFormatCache(lxw_workbook* workbook) : m_pWorkbook(workbook) {}

    // Null when libxlsxwriter cannot make one.
    lxw_format* FormatOf(const STCell& cell) {
        STFormatKey key = KeyOf(cell);
        const auto found = m_formats.find(key);
        if (found != m_formats.end()) {
            return found->second;
        }
        lxw_format* format = Create(key);
        if (format) {
            m_formats.emplace(std::move(key), format);
        }
        return format;
    }

private:
    lxw_format* Create(const STFormatKey& key) {
        lxw_format* format = workbook_add_format(m_pWorkbook);
        if (format) {
            SetFont(format, key);
            if (const auto alignment = HorizontalAlignment(key.m_nAlignment)) {
                format_set_align(format, *alignment);
            }
            SetBorders(format, key.m_nBorders);
            if (!key.m_strNumberFormat.empty()) {
                format_set_num_format(format, key.m_strNumberFormat.c_str());
            }
        }
        return format;
    }

    lxw_workbook* m_pWorkbook;
    std::map<STFormatKey, lxw_format*> m_formats;
};

bool InSheet(std::int32_t row, std::int32_t column) {
    return row >= 1 && row <= LXW_ROW_MAX && column >= 1 && column <= LXW_COL_MAX;
}

lxw_row_t RowIndex(std::int32_t row) {
    return static_cast<lxw_row_t>(row - 1);
}

lxw_col_t ColumnIndex(std::int32_t column) {
    return static_cast<lxw_col_t>(column - 1);
}

lxw_error WriteCell(lxw_worksheet* sheet, std::int32_t row, std::int32_t column, const STCell& cell,
                    lxw_format* format) {
    if (cell.m_strText.empty()) {
        return worksheet_write_blank(sheet, RowIndex(row), ColumnIndex(column), format);
    }
    if (cell.m_oNumber) {
        return worksheet_write_number(sheet, RowIndex(row), ColumnIndex(column),
                                      cell.m_oNumber->m_dValue, format);
    }
    return worksheet_write_string(sheet, RowIndex(row), ColumnIndex(column),
                                  CellText(cell.m_strText).c_str(), format);
}

bool WriteCells(lxw_worksheet* sheet, const STWorksheet& worksheet, CFormatCache& formats) {
    for (const auto& [position, cell] : worksheet.m_cells) {
        const auto [row, column] = position;
        lxw_format* format = formats.FormatOf(cell);
        if (!format || !InSheet(row, column) ||
            WriteCell(sheet, row, column, cell, format) != LXW_NO_ERROR) {
            return false;
        }
    }
    return true;
}

// Only the areas: the cells inside, the top left one included, are written
// afterwards with their own text and format.
bool WriteMerges(lxw_worksheet* sheet, const STWorksheet& worksheet) {
    for (const auto& [corner, rect] : worksheet.m_merges) {
        if (rect.IsSingleCell()) {
            continue;
        }
        if (!InSheet(rect.m_nTop, rect.m_nLeft) || !InSheet(rect.m_nBottom, rect.m_nRight) ||
            worksheet_merge_range(sheet, RowIndex(rect.m_nTop), ColumnIndex(rect.m_nLeft),
                                  RowIndex(rect.m_nBottom), ColumnIndex(rect.m_nRight), "",
                                  nullptr) != LXW_NO_ERROR) {
            return false;
        }
    }
    return true;
}

// The width the file can hold; libxlsxwriter places pictures by it.
std::int32_t StoredColumnPixels(const STWorksheet& worksheet, std::int32_t column) {
    return std::clamp(worksheet.ColumnPixels(column), 0, kMaxColumnPixels);
}

// The width in characters that libxlsxwriter turns back into exactly pixels.
double ColumnWidth(std::int32_t pixels) {
    if (pixels < kOneCharacterPixels) {
        return pixels / (kDigitPixels + kPaddingPixels);
    }
    return (pixels - kPaddingPixels) / kDigitPixels;
}

bool WriteColumnWidths(lxw_worksheet* sheet, const STWorksheet& worksheet) {
    for (const auto& [column, pixels] : worksheet.m_columnPixels) {
        if (!InSheet(1, column) ||
            worksheet_set_column(sheet, ColumnIndex(column), ColumnIndex(column),
                                 ColumnWidth(StoredColumnPixels(worksheet, column)),
                                 nullptr) != LXW_NO_ERROR) {
            return false;
        }
    }
    return true;
}

std::int64_t PointsToPixels(float points) {
    constexpr double kMaxPixels = std::numeric_limits<std::int32_t>::max();
    if (!std::isfinite(points) || points <= 0) {
        return 0;
    }
    return std::llround(std::min(points / kPointsPerPixel, kMaxPixels));
}

// A cell (from 1) and the pixels into it.
struct STCellOffset {
    std::int32_t m_nIndex = 1;
    std::int32_t m_nOffset = 0;
};

// The column or row that holds the point pixels from the sheet's edge, given
// the pixel size of each.
template <class SizeOf>
STCellOffset Locate(std::int64_t pixels, std::int32_t count, SizeOf sizeOf) {
    std::int32_t index = 1;
    for (; index < count && pixels >= sizeOf(index); ++index) {
        pixels -= sizeOf(index);
    }
    return {index, static_cast<std::int32_t>(pixels)};
}

// The scale that stretches natural pixels to wanted in libxlsxwriter's
// double arithmetic without falling short by a rounding error, which would
// end the picture a whole cell early with a full offset.
double ScaleTo(std::int64_t wanted, std::int32_t natural) {
    const auto target = static_cast<double>(wanted);
    double scale = target / natural;
    while (natural * scale < target) {
        scale = std::nextafter(scale, std::numeric_limits<double>::infinity());
    }
    return scale;
}

// The cell that holds a point given in points from the sheet's top left.
struct STAnchor {
    STCellOffset m_column;
    STCellOffset m_row;
};

STAnchor AnchorOf(const STWorksheet& worksheet, double left, double top) {
    return {Locate(PointsToPixels(static_cast<float>(left)), LXW_COL_MAX,
                   [&worksheet](std::int32_t c) { return StoredColumnPixels(worksheet, c); }),
            Locate(PointsToPixels(static_cast<float>(top)), LXW_ROW_MAX,
                   [&worksheet](std::int32_t r) { return worksheet.RowPixels(r); })};
}

bool InsertPicture(lxw_worksheet* sheet, const STWorksheet& worksheet, const STPicture& picture) {
    const std::int64_t width = PointsToPixels(picture.m_fWidth);
    const std::int64_t height = PointsToPixels(picture.m_fHeight);
    if (width == 0 || height == 0 || picture.m_nPixelWidth < 1 || picture.m_nPixelHeight < 1) {
        return true;  // nothing to show
    }
    const auto [column, row] = AnchorOf(worksheet, picture.m_fLeft, picture.m_fTop);
    lxw_image_options options{};
    options.x_offset = column.m_nOffset;
    options.y_offset = row.m_nOffset;
    options.x_scale = ScaleTo(width, picture.m_nPixelWidth);
    options.y_scale = ScaleTo(height, picture.m_nPixelHeight);
    options.object_position = LXW_OBJECT_MOVE_AND_SIZE;
    return worksheet_insert_image_buffer_opt(sheet, RowIndex(row.m_nIndex),
                                             ColumnIndex(column.m_nIndex), picture.m_png.data(),
                                             picture.m_png.size(), &options) == LXW_NO_ERROR;
}

bool InsertPictures(lxw_worksheet* sheet, const STWorksheet& worksheet) {
    return std::all_of(
        worksheet.m_pictures.begin(), worksheet.m_pictures.end(),
        [&](const STPicture& picture) { return InsertPicture(sheet, worksheet, picture); });
}

// What the workbook's parts refer to until it is closed: its formats, and
// the texts handed to its charts.
struct STWriteContext {
    explicit STWriteContext(lxw_workbook* book) : m_pBook(book), m_formats(book) {}

    const char* Keep(std::string text) { return m_texts.emplace_back(std::move(text)).c_str(); }

    lxw_workbook* m_pBook;
    CFormatCache m_formats;
    std::deque<std::string> m_texts;
};

// libxlsxwriter's charts are 480 x 288 pixels before scaling.
constexpr double kChartPixelWidth = 480;
constexpr double kChartPixelHeight = 288;
constexpr float kChartLineWidth = 1.5f;

// "='Sheet name'!$A$1:$A$9": the quotes keep spaces and signs in a name.
std::string RangeFormula(const std::string& sheetName, const STCellRect& cells) {
    std::string quoted;
    for (const char c : sheetName) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    const auto absolute = [](std::int32_t column, std::int32_t row) {
        const std::string relative = CellAddress(column, row);
        const std::size_t digits = relative.find_first_of("0123456789");
        return "$" + relative.substr(0, digits) + "$" + relative.substr(digits);
    };
    return "='" + quoted + "'!" + absolute(cells.m_nLeft, cells.m_nTop) + ":" +
           absolute(cells.m_nRight, cells.m_nBottom);
}

bool AddSeries(lxw_chart* chart, const STChartSeries& series, const std::string& sheetName,
               STWriteContext& context) {
    if (!series.m_oValues) {
        return true;  // nothing to draw
    }
    const char* xValues = series.m_oXValues ? context.Keep(RangeFormula(sheetName, *series.m_oXValues)) : nullptr;
    lxw_chart_series* added = chart_add_series(chart, xValues, context.Keep(RangeFormula(sheetName, *series.m_oValues)));
    if (!added) {
        return false;
    }
    if (!series.m_strName.empty()) {
        chart_series_set_name(added, context.Keep(NameText(series.m_strName)));
    }
    lxw_chart_line line{};
    line.width = kChartLineWidth;
    if (series.m_oColor) {
        line.color = RgbColor(*series.m_oColor);
    }
    chart_series_set_line(added, &line);
    if (series.m_bMarkers) {
        chart_series_set_marker_type(added, LXW_CHART_MARKER_DIAMOND);
        lxw_chart_fill fill{};
        fill.color = line.color;
        chart_series_set_marker_fill(added, series.m_oColor ? &fill : nullptr);
        chart_series_set_marker_line(added, series.m_oColor ? &line : nullptr);
    } else {
        chart_series_set_marker_type(added, LXW_CHART_MARKER_NONE);
    }
    return true;
}

bool InsertChart(lxw_worksheet* sheet, const STWorksheet& worksheet, const STChart& chart,
                 STWriteContext& context) {
    const std::int64_t width = PointsToPixels(static_cast<float>(chart.m_dWidth));
    const std::int64_t height = PointsToPixels(static_cast<float>(chart.m_dHeight));
    if (width == 0 || height == 0) {
        return true;  // nothing to show
    }
    lxw_chart* added = workbook_add_chart(context.m_pBook, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
    if (!added) {
        return false;
    }
    const std::string sheetName = NameText(worksheet.m_strName);
    for (const STChartSeries& series : chart.m_series) {
        if (!AddSeries(added, series, sheetName, context)) {
            return false;
        }
    }
    if (!chart.m_strTitle.empty()) {
        chart_title_set_name(added, context.Keep(NameText(chart.m_strTitle)));
    }
    if (!chart.m_strCategoryTitle.empty()) {
        chart_axis_set_name(added->x_axis, context.Keep(NameText(chart.m_strCategoryTitle)));
    }
    if (!chart.m_strValueTitle.empty()) {
        chart_axis_set_name(added->y_axis, context.Keep(NameText(chart.m_strValueTitle)));
    }
    if (chart.m_oValueMajorUnit) {
        chart_axis_set_major_unit(added->y_axis, *chart.m_oValueMajorUnit);
    }
    chart_legend_set_position(added, LXW_CHART_LEGEND_BOTTOM);
    const auto [column, row] = AnchorOf(worksheet, chart.m_dLeft, chart.m_dTop);
    lxw_chart_options options{};
    options.x_offset = column.m_nOffset;
    options.y_offset = row.m_nOffset;
    options.x_scale = static_cast<double>(width) / kChartPixelWidth;
    options.y_scale = static_cast<double>(height) / kChartPixelHeight;
    options.object_position = LXW_OBJECT_MOVE_AND_SIZE;
    return worksheet_insert_chart_opt(sheet, RowIndex(row.m_nIndex), ColumnIndex(column.m_nIndex), added,
                                      &options) == LXW_NO_ERROR;
}

bool InsertCharts(lxw_worksheet* sheet, const STWorksheet& worksheet, STWriteContext& context) {
    return std::all_of(worksheet.m_charts.begin(), worksheet.m_charts.end(),
                       [&](const STChart& chart) { return InsertChart(sheet, worksheet, chart, context); });
}

// Sheets print one page wide, as many pages long as they need: a report's
// nine columns are a little wider than a portrait page.
bool WriteWorksheet(lxw_worksheet* sheet, const STWorksheet& worksheet, STWriteContext& context) {
    worksheet_fit_to_pages(sheet, 1, 0);
    return WriteColumnWidths(sheet, worksheet) && WriteMerges(sheet, worksheet) &&
           WriteCells(sheet, worksheet, context.m_formats) && InsertPictures(sheet, worksheet) &&
           InsertCharts(sheet, worksheet, context);
}

// Chart sheets are left out: they hold nothing the file could show.
bool AddSheets(lxw_workbook* book, const STWorkbook& workbook, STWriteContext& context) {
    for (std::size_t index = 0; index < workbook.m_sheets.size(); ++index) {
        const STSheet& sheet = workbook.m_sheets[index];
        if (sheet.m_eKind != ESheetKind::kWorksheet || !sheet.m_pWorksheet) {
            continue;
        }
        lxw_worksheet* added =
            workbook_add_worksheet(book, NameText(sheet.m_pWorksheet->m_strName).c_str());
        if (!added || !WriteWorksheet(added, *sheet.m_pWorksheet, context)) {
            return false;
        }
        if (index == workbook.m_nActiveSheet) {
            worksheet_activate(added);
        }
    }
    return true;
}

bool WriteWorkbookFile(const STWorkbook& workbook, const std::string& file) {
    // libxlsxwriter prints widths, sizes and margins with printf, which
    // would write "0,7" under a comma-decimal locale and spoil the file.
    const CClassicLocaleScope classic;
    // libxlsxwriter keeps each part in a scratch file until it zips them;
    // a private folder keeps a planted link from redirecting those.
    const CPrivateFolder scratch(file);
    if (!scratch.IsMade()) {
        return false;
    }
    std::string scratchPath = scratch.Path();
    lxw_workbook_options options{};
    options.tmpdir = scratchPath.data();
    WorkbookPtr book(workbook_new_opt(file.c_str(), &options));
    if (!book) {
        return false;
    }
    STWriteContext context(book.get());
    if (!AddSheets(book.get(), workbook, context)) {
        return false;
    }
    return workbook_close(book.release()) == LXW_NO_ERROR;
}

}  // namespace

bool WriteXlsxFile(const STWorkbook& workbook, const std::string& path) {
    return ReplaceFile(path, [&workbook](const std::string& temporary) { return WriteWorkbookFile(workbook, temporary); });
}

ENewFileResult CreateXlsxFile(const STWorkbook& workbook, const std::string& path) {
    return CreateNewFile(path, [&workbook](const std::string& temporary) {
        return WriteWorkbookFile(workbook, temporary);
    });
}
