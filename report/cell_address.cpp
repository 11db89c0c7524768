#include "report/cell_address.h"

#include <algorithm>

#include "common/text.h"

namespace {

std::string ColumnLetters(std::int32_t column) {
    std::string letters;
    for (std::int64_t rest = column; rest > 0; rest = (rest - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (rest - 1) % 26));
    return letters;
}

std::string RowText(std::int32_t row) {
    return std::to_string(row);
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string CellAddress(std::int32_t column, std::int32_t row) {
    return ColumnLetters(column) + RowText(row);
}

std::string CellAddressOf(std::string_view letters, std::int32_t row) {
    return std::string(letters) + RowText(row);
}

std::optional<STCellPos> ParseCellAddress(std::string_view address) {
    std::size_t at = 0;
    if (at < address.size() && address[at] == '$') ++at;
    std::int64_t column = 0;
    const std::size_t lettersStart = at;
    for (; at < address.size() && IsLetter(address[at]) && at - lettersStart < 3; ++at)
        column = column * 26 + (AsciiUpper(address[at]) - 'A' + 1);
    if (at == lettersStart) return std::nullopt;
    if (at < address.size() && address[at] == '$') ++at;
    std::int64_t row = 0;
    const std::size_t digitsStart = at;
    for (; at < address.size() && IsDigit(address[at]) && at - digitsStart < 8; ++at)
        row = row * 10 + (address[at] - '0');
    if (at == digitsStart || at != address.size()) return std::nullopt;
    if (column > kSheetColumns || row < 1 || row > kSheetRows) return std::nullopt;
    return STCellPos{static_cast<std::int32_t>(row), static_cast<std::int32_t>(column)};
}

std::optional<STCellRect> ParseRangeAddress(std::string_view address) {
    const std::size_t colon = address.find(':');
    const auto first = ParseCellAddress(address.substr(0, colon));
    if (!first) return std::nullopt;
    STCellRect rect{first->m_nRow, first->m_nColumn, first->m_nRow, first->m_nColumn};
    if (colon == std::string_view::npos) return rect;
    const auto second = ParseCellAddress(address.substr(colon + 1));
    if (!second) return std::nullopt;
    return SpanOf(rect, STCellRect{second->m_nRow, second->m_nColumn, second->m_nRow, second->m_nColumn});
}

STCellRect SpanOf(const STCellRect& first, const STCellRect& second) {
    return STCellRect{std::min(first.m_nTop, second.m_nTop), std::min(first.m_nLeft, second.m_nLeft),
                      std::max(first.m_nBottom, second.m_nBottom), std::max(first.m_nRight, second.m_nRight)};
}
