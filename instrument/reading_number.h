// Number conversion of one reading of a VALUE list.
#pragma once

#include <string_view>

// Reads an optional sign, digits, an optional fraction and an optional
// exponent from the start of text (after leading white space) and ignores
// the rest; text that does not start with a number reads as 0. The decimal
// separator is always the full stop, so readings never change meaning with
// the PC's regional settings. Overflow gives an infinity, as strtod does.
double ReadLeadingNumber(std::u16string_view text);
