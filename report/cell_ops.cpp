#include "report/cell_ops.h"

#include "report/cell_address.h"

void WriteCell(const CWorksheetPtr& sheet, std::string_view address, std::u16string_view text,
               std::u16string_view faceName, std::int32_t color, std::int32_t alignment) {
    CWorksheet& worksheet = *sheet;
    try {
        CRangePtr range = worksheet.GetRange(address);
        range->PutHorizontalAlignment(alignment);
        range->PutValue2(text);
        CFontPtr font = range->GetCharacters()->GetFont();
        font->PutSize(kCellFontSize);
        if (color != 0) font->PutColor(color);
        if (!faceName.empty()) font->PutName(faceName);
    } catch (const CAutomationError&) {
        // The cell keeps what it had; the report goes on.
    }
}

void WriteCell(const CWorksheetPtr& sheet, std::int32_t row, std::string_view letters, std::u16string_view text,
               std::int32_t alignment, std::int32_t color, std::u16string_view faceName) {
    WriteCell(sheet, CellAddressOf(letters, row), text, faceName, color, alignment);
}

void MergeRange(const CWorksheetPtr& sheet, std::string_view first, std::string_view second) {
    CWorksheet& worksheet = *sheet;
    try {
        worksheet.GetRange(first, second)->Merge();
    } catch (const CAutomationError&) {
        // The cells stay as they were.
    }
}

void MergeRange(const CWorksheetPtr& sheet, std::int32_t firstRow, std::string_view firstLetters,
                std::int32_t secondRow, std::string_view secondLetters) {
    MergeRange(sheet, CellAddressOf(firstLetters, firstRow), CellAddressOf(secondLetters, secondRow));
}

void MergeRange(const CWorksheetPtr& sheet, std::int32_t firstColumn, std::int32_t firstRow,
                std::int32_t secondColumn, std::int32_t secondRow) {
    MergeRange(sheet, CellAddress(firstColumn, firstRow), CellAddress(secondColumn, secondRow));
}
