#include "chart/dib_image.h"

#include "chart/device_grid.h"

#include <cstring>

namespace {

template <std::size_t N>
void Put16(std::array<std::uint8_t, N>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

template <std::size_t N>
void Put32(std::array<std::uint8_t, N>& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

}  // namespace

bool STDibImage::Create(std::int32_t logicalWidth, std::int32_t logicalHeight,
                        double devicePixelRatio) {
    if (logicalWidth <= 0 || logicalHeight <= 0) {
        return false;
    }
    const STDeviceGrid grid{devicePixelRatio};
    const std::int32_t width = grid.Edge(logicalWidth);
    const std::int32_t height = grid.Edge(logicalHeight);
    m_image = QImage(width, height, QImage::Format_BGR888);
    if (m_image.isNull()) {
        return false;
    }
    m_image.setDevicePixelRatio(devicePixelRatio);
    // All of it, padding behind each row included: the bitmap writer stores
    // whole rows, and a new device-independent bitmap starts out zeroed.
    std::memset(m_image.bits(), 0, static_cast<std::size_t>(m_image.sizeInBytes()));
    m_nBitsPerPixel = 24;
    m_nStride = DibStride(width);
    m_nImageSize = static_cast<std::uint32_t>(m_nStride) * static_cast<std::uint32_t>(height);

    constexpr std::uint32_t kPixelOffset = kBmpFileHeaderBytes + kBmpInfoHeaderBytes;
    m_fileHeader.fill(0);
    m_fileHeader[0] = 'B';
    m_fileHeader[1] = 'M';
    Put32(m_fileHeader, 2, kPixelOffset + m_nImageSize);
    Put32(m_fileHeader, 10, kPixelOffset);

    m_infoHeader.fill(0);
    Put32(m_infoHeader, 0, kBmpInfoHeaderBytes);
    Put32(m_infoHeader, 4, static_cast<std::uint32_t>(width));
    Put32(m_infoHeader, 8, static_cast<std::uint32_t>(height));  // positive: bottom-up
    Put16(m_infoHeader, 12, 1);                                  // planes
    Put16(m_infoHeader, 14, 24);                                 // bits per pixel
    Put32(m_infoHeader, 20, m_nImageSize);                       // uncompressed RGB
    return true;
}
