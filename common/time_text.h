// Local-time texts of a creation time (seconds since 1970-01-01 00:00 UTC).
#pragma once

#include <cstdint>
#include <string>

// Selector 0 "YYYY-MM-DD hh:mm:ss" (a batch's key), 1 "YYYY-MM-DD",
// 2 "hh:mm:ss", 3 "YYYYMMDDhhmmss", 4 "YYYYMMDD", 5 "hhmmss". Any other
// selector, or a time the C library cannot convert, gives the empty text.
std::u16string FormatTime(int selector, std::int64_t time);
