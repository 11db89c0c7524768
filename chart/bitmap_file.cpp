#include "chart/bitmap_file.h"

#include <QFile>
#include <QSaveFile>
#include <vector>

bool WriteBitmapFile(const std::string& path, const STDibImage& image) {
    const QImage& pixels = image.m_image;
    if (pixels.isNull() || pixels.format() != QImage::Format_BGR888 ||
        image.m_nStride != pixels.bytesPerLine()) {
        return false;
    }
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto write = [&file](const void* bytes, qint64 count) {
        return file.write(static_cast<const char*>(bytes), count) == count;
    };
    bool written = write(image.m_fileHeader.data(), kBmpFileHeaderBytes) &&
                   write(image.m_infoHeader.data(), kBmpInfoHeaderBytes);
    // The image's rows run top-down with the bitmap's stride; the file's
    // bottom-up.
    for (int row = pixels.height() - 1; written && row >= 0; --row) {
        written = write(pixels.constScanLine(row), image.m_nStride);
    }
    return written && file.commit();
}
