// The off-screen 24-bit image a plot is drawn into, with the BMP file and
// information headers kept ready for writing. Pixels are blue, green, red,
// rows padded to four bytes, as in a device-independent bitmap; in memory the
// rows run top-down, and the bitmap writer stores them bottom-up.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>

inline constexpr std::size_t kBmpFileHeaderBytes = 14;
inline constexpr std::size_t kBmpInfoHeaderBytes = 40;

struct STDibImage {
    std::array<std::uint8_t, kBmpFileHeaderBytes> m_fileHeader{};
    std::array<std::uint8_t, kBmpInfoHeaderBytes> m_infoHeader{};
    // Format_BGR888; null until created.
    QImage m_image;
    std::uint32_t m_nImageSize = 0;
    std::int32_t m_nBitsPerPixel = 24;
    std::int32_t m_nStride = 0;

    // Recreates the image, zeroed, with its headers; both sizes above 0. At
    // a device pixel ratio above 1 (a screen image only) the image holds the
    // logical pixels in device pixels and carries the ratio, and the headers
    // describe the device pixels.
    bool Create(std::int32_t logicalWidth, std::int32_t logicalHeight,
                double devicePixelRatio = 1.0);
};

// Bytes per pixel row: 24 bits a pixel, padded to a multiple of four bytes.
constexpr std::int32_t DibStride(std::int32_t width) {
    return ((24 * width + 7) / 8 + 3) / 4 * 4;
}
