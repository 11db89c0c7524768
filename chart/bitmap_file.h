// The report image as a plain 24-bit BMP file.
#pragma once

#include <string>

#include "chart/dib_image.h"

// The 14-byte file header, the 40-byte information header and the pixel
// rows bottom-up, each padded to four bytes; empty when the image is not a
// 24-bit DIB.
std::string BitmapFileBytes(const STDibImage& image);

// Writes BitmapFileBytes to path, whose bytes name the file as they are.
// False on any failure, errno then saying why (EINVAL for an image that is
// no 24-bit DIB), and then no file is left behind: the bytes go to a
// private temporary file that is renamed over path only when complete.
bool WriteBitmapFile(const std::string& path, const STDibImage& image);
