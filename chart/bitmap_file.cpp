#include "chart/bitmap_file.h"

#include <cerrno>

#include "common/file_output.h"
#include "common/file_replace.h"

std::string BitmapFileBytes(const STDibImage& image) {
    const QImage& pixels = image.m_image;
    if (pixels.isNull() || pixels.format() != QImage::Format_BGR888 ||
        image.m_nStride != pixels.bytesPerLine()) {
        return {};
    }
    const auto stride = static_cast<std::size_t>(image.m_nStride);
    std::string bytes;
    bytes.reserve(kBmpFileHeaderBytes + kBmpInfoHeaderBytes +
                  stride * static_cast<std::size_t>(pixels.height()));
    bytes.append(reinterpret_cast<const char*>(image.m_fileHeader.data()), kBmpFileHeaderBytes);
    bytes.append(reinterpret_cast<const char*>(image.m_infoHeader.data()), kBmpInfoHeaderBytes);
    // The image's rows run top-down with the bitmap's stride; the file's
    // bottom-up.
    for (int row = pixels.height() - 1; row >= 0; --row) {
        bytes.append(reinterpret_cast<const char*>(pixels.constScanLine(row)), stride);
    }
    return bytes;
}

bool WriteBitmapFile(const std::string& path, const STDibImage& image) {
    const std::string bytes = BitmapFileBytes(image);
    if (bytes.empty()) {
        errno = EINVAL;
        return false;
    }
    return ReplaceFile(path, [&bytes](const std::string& temporary) {
        return WriteNewFileBytes(temporary, bytes);
    });
}
