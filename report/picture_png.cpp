#include "report/picture_png.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <string_view>

#include "common/file_bytes.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
// BITMAPINFOHEADER; the later versions begin with the same fields.
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::uint16_t kBitsPerPixel = 24;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::int64_t kMaxSide = 32768;
// PNG's Up filter: each byte minus the one above it. Charts have long
// vertical runs, so it shrinks them by about a quarter for no extra work.
constexpr std::uint8_t kFilterUp = 2;

using Bytes = std::vector<std::uint8_t>;

struct STBitmapLayout {
    std::int64_t m_nWidth = 0;
    std::int64_t m_nHeight = 0;
    bool m_bTopDown = false;
    std::int64_t m_nPixelOffset = 0;
    std::int64_t m_nStride = 0;
};

std::uint32_t ReadLe32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

std::uint16_t ReadLe16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

using Headers = std::array<std::uint8_t, kFileHeaderBytes + kInfoHeaderBytes>;

// Nothing unless the headers describe 24-bit uncompressed pixels of a sane
// size that lie wholly inside the file.
std::optional<STBitmapLayout> LayoutOf(const Headers& headers, std::int64_t fileSize) {
    const std::uint8_t* info = headers.data() + kFileHeaderBytes;
    const std::uint32_t infoSize = ReadLe32(info);
    if (headers[0] != 'B' || headers[1] != 'M' || infoSize < kInfoHeaderBytes ||
        ReadLe16(info + 12) != 1 || ReadLe16(info + 14) != kBitsPerPixel ||
        ReadLe32(info + 16) != kUncompressed) {
        return std::nullopt;
    }
    STBitmapLayout layout;
    layout.m_nWidth = static_cast<std::int32_t>(ReadLe32(info + 4));
    const std::int64_t height = static_cast<std::int32_t>(ReadLe32(info + 8));
    layout.m_bTopDown = height < 0;
    layout.m_nHeight = layout.m_bTopDown ? -height : height;
    if (layout.m_nWidth < 1 || layout.m_nWidth > kMaxSide || layout.m_nHeight < 1 ||
        layout.m_nHeight > kMaxSide || layout.m_nWidth * layout.m_nHeight > kMaxPngPixels) {
        return std::nullopt;
    }
    layout.m_nStride = (layout.m_nWidth * 3 + 3) / 4 * 4;
    layout.m_nPixelOffset = ReadLe32(headers.data() + 10);
    const bool inside = layout.m_nPixelOffset >= std::int64_t{kFileHeaderBytes} + infoSize &&
                        layout.m_nPixelOffset + layout.m_nStride * layout.m_nHeight <= fileSize;
    return inside ? std::optional(layout) : std::nullopt;
}

// PNG scanlines top-down, each a filter byte then red, green, blue.
Bytes Scanlines(const Bytes& pixels, const STBitmapLayout& layout) {
    const auto width = static_cast<std::size_t>(layout.m_nWidth);
    const auto height = static_cast<std::size_t>(layout.m_nHeight);
    const auto stride = static_cast<std::size_t>(layout.m_nStride);
    const std::size_t lineBytes = 1 + width * 3;
    Bytes lines(lineBytes * height);
    Bytes above(width * 3, 0);
    Bytes current(width * 3);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* source =
            pixels.data() + stride * (layout.m_bTopDown ? y : height - 1 - y);
        for (std::size_t x = 0; x < width * 3; x += 3) {
            current[x] = source[x + 2];
            current[x + 1] = source[x + 1];
            current[x + 2] = source[x];
        }
        std::uint8_t* line = lines.data() + lineBytes * y;
        line[0] = kFilterUp;
        for (std::size_t i = 0; i < current.size(); ++i) {
            line[1 + i] = static_cast<std::uint8_t>(current[i] - above[i]);
        }
        above.swap(current);
    }
    return lines;
}

void AppendBe32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendChunk(Bytes& png, std::string_view type, const Bytes& data) {
    AppendBe32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    const uLong crc = crc32_z(0, png.data() + typeAt, png.size() - typeAt);
    AppendBe32(png, static_cast<std::uint32_t>(crc));
}

std::optional<Bytes> Deflated(const Bytes& data) {
    uLongf size = compressBound(data.size());
    Bytes packed(size);
    if (compress2(packed.data(), &size, data.data(), data.size(), Z_DEFAULT_COMPRESSION) != Z_OK) {
        return std::nullopt;
    }
    packed.resize(size);
    return packed;
}

Bytes HeaderChunkData(const STBitmapLayout& layout) {
    Bytes data;
    AppendBe32(data, static_cast<std::uint32_t>(layout.m_nWidth));
    AppendBe32(data, static_cast<std::uint32_t>(layout.m_nHeight));
    // 8 bits a sample, truecolour, deflate, adaptive filtering, no interlace.
    data.insert(data.end(), {8, 2, 0, 0, 0});
    return data;
}

std::optional<Bytes> EncodePng(const Bytes& pixels, const STBitmapLayout& layout) {
    const std::optional<Bytes> packed = Deflated(Scanlines(pixels, layout));
    if (!packed) {
        return std::nullopt;
    }
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(png, "IHDR", HeaderChunkData(layout));
    AppendChunk(png, "IDAT", *packed);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::optional<STPngPicture> BitmapBytesAsPng(std::string_view bitmap) {
    Headers headers{};
    if (bitmap.size() < headers.size()) {
        return std::nullopt;
    }
    std::memcpy(headers.data(), bitmap.data(), headers.size());
    const auto fileSize = static_cast<std::int64_t>(bitmap.size());
    const std::optional<STBitmapLayout> layout = LayoutOf(headers, fileSize);
    if (!layout) {
        return std::nullopt;
    }
    const auto* first = reinterpret_cast<const std::uint8_t*>(bitmap.data()) + layout->m_nPixelOffset;
    const Bytes pixels(first, first + layout->m_nStride * layout->m_nHeight);
    std::optional<Bytes> png = EncodePng(pixels, *layout);
    if (!png) {
        return std::nullopt;
    }
    return STPngPicture{std::move(*png), static_cast<std::int32_t>(layout->m_nWidth),
                        static_cast<std::int32_t>(layout->m_nHeight)};
}

std::optional<STPngPicture> ReadBitmapAsPng(const std::string& path) {
    std::string bitmap;
    if (!ReadFileBytes(path, bitmap)) {
        return std::nullopt;
    }
    return BitmapBytesAsPng(bitmap);
}
