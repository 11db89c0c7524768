// The report image as a plain 24-bit BMP file.
#pragma once

#include <string>

#include "chart/dib_image.h"

// Writes the 14-byte file header, the 40-byte information header and the
// pixel rows bottom-up, each padded to four bytes. False on any failure, and
// then no file is left behind: the bytes go to a temporary file that is
// renamed over path only when complete.
bool WriteBitmapFile(const std::string& path, const STDibImage& image);
