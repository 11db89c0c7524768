#include "report/text_width.h"

#include <array>
#include <cstdint>

namespace {

constexpr double kUnitsPerEm = 2048.0;
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr std::uint16_t kEmUnits = 2048;
// Characters the table does not list are drawn about half an em wide.
constexpr std::uint16_t kOtherUnits = 1024;

// Advance widths of Times New Roman in 1/2048 em for U+0020..U+00FF; 0 marks
// the C1 controls, which are not drawn.
constexpr std::array<std::uint16_t, 224> kLatinUnits = {
    512,  682,  836,  1024, 1024, 1706, 1593, 369,  682,  682,  1024, 1155, 512,  682,  512,  569,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 569,  569,  1155, 1155, 1155, 909,
    1886, 1479, 1366, 1366, 1479, 1251, 1139, 1479, 1479, 682,  797,  1479, 1251, 1821, 1479, 1479,
    1139, 1479, 1366, 1139, 1251, 1479, 1479, 1933, 1479, 1479, 1251, 682,  569,  682,  961,  1024,
    682,  909,  1024, 909,  1024, 909,  682,  1024, 1024, 569,  569,  1024, 569,  1593, 1024, 1024,
    1024, 1024, 682,  797,  569,  1024, 1024, 1479, 1024, 1024, 909,  983,  410,  983,  1108, 0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
    512,  682,  1024, 1024, 1024, 1024, 410,  1024, 682,  1556, 565,  1024, 1155, 682,  1556, 1024,
    819,  1124, 614,  614,  682,  1180, 928,  512,  682,  614,  635,  1024, 1536, 1536, 1536, 909,
    1479, 1479, 1479, 1479, 1479, 1479, 1821, 1366, 1251, 1251, 1251, 1251, 682,  682,  682,  682,
    1479, 1479, 1479, 1479, 1479, 1479, 1479, 1155, 1479, 1479, 1479, 1479, 1479, 1479, 1139, 1024,
    909,  909,  909,  909,  909,  909,  1366, 909,  909,  909,  909,  909,  569,  569,  569,  569,
    1024, 1024, 1024, 1024, 1024, 1024, 1024, 1124, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024,
};

bool IsEastAsianWide(char16_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

std::uint16_t Units(char16_t c) {
    if (c < 0x20) return 0;
    if (c < 0x100) return kLatinUnits[c - 0x20u];
    if (IsEastAsianWide(c)) return kEmUnits;
    // A pair counts once, at its high half.
    if (IsLowSurrogate(c)) return 0;
    return kOtherUnits;
}

}  // namespace

double TextPixels(std::u16string_view text, const STCellFont& font) {
    std::uint64_t units = 0;
    for (const char16_t c : text) units += Units(c);
    return static_cast<double>(units) / kUnitsPerEm * font.m_dSize * kPixelsPerPoint;
}
