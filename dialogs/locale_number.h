#pragma once

#include <QString>
#include <optional>

// A number typed by the operator, read the same whatever the process locale
// is: the whole text once white space is trimmed off both ends, an optional
// sign, then digits with at most one decimal separator, a full stop or a
// comma, so a comma-decimal desktop's keypad works as well as the full stop
// the dialogs show. No grouping and no exponent: neither is ever needed for
// a limit or a rate, and "1e3" there is more likely a slip than a number.
// Empty when the text is anything else, or too large for a double.
std::optional<double> ParseTypedNumber(const QString& text);
