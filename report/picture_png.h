// Pictures for the workbook: the report's 24-bit BMP file turned into PNG,
// which every spreadsheet application shows and which is far smaller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The most pixels a bitmap turned into PNG may have: far beyond any chart,
// yet small enough that the pixels fit in memory.
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{1} << 25;

struct STPngPicture {
    std::vector<std::uint8_t> m_bytes;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
};

// Reads an uncompressed 24-bit BMP (rows bottom-up, or top-down when the
// height is negative) and encodes it as an 8-bit RGB PNG without a
// resolution chunk (so it counts as 96 dots per inch). Nothing for a file
// that cannot be read, is not such a bitmap, or is cut short.
std::optional<STPngPicture> ReadBitmapAsPng(const std::string& path);
// The same for the bitmap file's bytes in memory.
std::optional<STPngPicture> BitmapBytesAsPng(std::string_view bitmap);
