// The small composite operations the report layout is written against. A
// failing cell write or merge is skipped so that one cell cannot stop a
// report; only a null worksheet raises, since nothing could be written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/automation.h"

// Font size of every written cell, in points.
inline constexpr double kCellFontSize = 10.0;

// Alignment, text and size 10; then the colour unless it is 0, and the face
// unless it is empty.
void WriteCell(const CWorksheetPtr& sheet, std::string_view address, std::u16string_view text,
               std::u16string_view faceName, std::int32_t color, std::int32_t alignment);
void WriteCell(const CWorksheetPtr& sheet, std::int32_t row, std::string_view letters, std::u16string_view text,
               std::int32_t alignment, std::int32_t color, std::u16string_view faceName);

void MergeRange(const CWorksheetPtr& sheet, std::string_view first, std::string_view second);
void MergeRange(const CWorksheetPtr& sheet, std::int32_t firstRow, std::string_view firstLetters,
                std::int32_t secondRow, std::string_view secondLetters);
void MergeRange(const CWorksheetPtr& sheet, std::int32_t firstColumn, std::int32_t firstRow,
                std::int32_t secondColumn, std::int32_t secondRow);
