// Number texts as the views, the report and the dialogs show them: classic
// conventions (full stop, no grouping) whatever the process locale is.
#pragma once

#include <cstdint>
#include <string>

// Fixed point with exactly one decimal, rounded as printf's "%.1f" rounds.
std::u16string DoubleToText(double value);
// Fixed point with the given number of decimals, rounded as "%.*f" rounds.
std::u16string FixedText(double value, int decimals);
std::u16string IntToText(std::int32_t value);
// Shows the 32-bit pattern as an unsigned number (-1 gives 4294967295).
std::u16string UIntToText(std::uint32_t value);
