// A1-style cell addresses: the report names cells as text, the workbook
// keeps them as row and column numbers from 1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Column 1 is "A", column 9 is "I"; then "A1".."I<row>". Columns beyond 26
// continue with "AA", "AB", ... as spreadsheets name them.
std::string CellAddress(std::int32_t column, std::int32_t row);
// Letters and row: CellAddressOf("G", 12) is "G12".
std::string CellAddressOf(std::string_view letters, std::int32_t row);

// The largest sheet common spreadsheet files can hold.
inline constexpr std::int32_t kSheetRows = 1048576;
inline constexpr std::int32_t kSheetColumns = 16384;

struct STCellPos {
    std::int32_t m_nRow = 1;
    std::int32_t m_nColumn = 1;
};

// A rectangle of cells, corners included.
struct STCellRect {
    std::int32_t m_nTop = 1;
    std::int32_t m_nLeft = 1;
    std::int32_t m_nBottom = 1;
    std::int32_t m_nRight = 1;

    bool Contains(std::int32_t row, std::int32_t column) const {
        return row >= m_nTop && row <= m_nBottom && column >= m_nLeft && column <= m_nRight;
    }
    bool Intersects(const STCellRect& other) const {
        return m_nTop <= other.m_nBottom && other.m_nTop <= m_nBottom && m_nLeft <= other.m_nRight &&
               other.m_nLeft <= m_nRight;
    }
    bool IsSingleCell() const { return m_nTop == m_nBottom && m_nLeft == m_nRight; }
    bool operator==(const STCellRect&) const = default;
};

// "B7" (letters in either case, then the row; "$" signs allowed) within the
// sheet's bounds; nothing for anything else.
std::optional<STCellPos> ParseCellAddress(std::string_view address);
// "B7" or "B7:D9" as the rectangle between the corners, in any order.
std::optional<STCellRect> ParseRangeAddress(std::string_view address);
// The rectangle spanned by two rectangles.
STCellRect SpanOf(const STCellRect& first, const STCellRect& second);
