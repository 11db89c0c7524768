// How wide a cell's text is drawn, for fitting columns to their contents.
#pragma once

#include <string_view>

#include "report/workbook.h"

// Width in pixels at 96 dots per inch of text in the font. Faces are measured
// with the advance widths of Times New Roman (the report's face; Liberation
// Serif has the same widths), which is near enough for the other faces a
// workbook starts with. East Asian wide characters take a full em.
double TextPixels(std::u16string_view text, const STCellFont& font);
