#include "report/cell_number.h"

#include <charconv>
#include <cmath>

namespace {

// A double holds 15 significant decimal digits exactly both ways; beyond
// that the stored number could show different digits.
constexpr std::size_t kMaxDigits = 15;
constexpr int kFirstSerialYear = 1900;
constexpr int kLastSerialYear = 9999;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

std::size_t DigitRun(std::u16string_view text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end - from;
}

// The text as plain ASCII for from_chars; only called on digits, '-' and '.'.
std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

// [-]digits[.digits][%], no leading zero before another digit.
std::optional<STCellNumber> DecimalNumberOf(std::u16string_view text) {
    const bool percent = !text.empty() && text.back() == u'%';
    if (percent)
        text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == u'-';
    const std::size_t start = negative ? 1 : 0;
    const std::size_t whole = DigitRun(text, start);
    if (whole == 0 || (whole > 1 && text[start] == u'0'))
        return std::nullopt;
    std::size_t decimals = 0;
    const std::size_t point = start + whole;
    if (point < text.size()) {
        if (text[point] != u'.')
            return std::nullopt;
        decimals = DigitRun(text, point + 1);
        if (decimals == 0 || point + 1 + decimals != text.size())
            return std::nullopt;
    }
    if (whole + decimals > kMaxDigits)
        return std::nullopt;

    const std::string narrow = Narrow(text);
    double value = 0;
    const auto [end, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (error != std::errc() || end != narrow.data() + narrow.size())
        return std::nullopt;
    // A negative zero would show without its sign.
    if (negative && value == 0)
        return std::nullopt;

    std::string format = "0";
    if (decimals > 0)
        format += "." + std::string(decimals, '0');
    if (percent)
        format += "%";
    return STCellNumber{percent ? value / 100 : value, format};
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<long long>(era) * 146097 + dayOfEra - 719468;
}

int NumberAt(std::u16string_view text, std::size_t from, std::size_t count) {
    int value = 0;
    for (std::size_t at = from; at < from + count; ++at)
        value = value * 10 + (text[at] - u'0');
    return value;
}

// "YYYY-MM-DD" exactly.
std::optional<STCellNumber> DateOf(std::u16string_view text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    if (DigitRun(text, 0) != 4 || DigitRun(text, 5) != 2 || DigitRun(text, 8) != 2)
        return std::nullopt;
    const std::optional<double> serial =
        SerialDateOf(NumberAt(text, 0, 4), NumberAt(text, 5, 2), NumberAt(text, 8, 2));
    if (!serial)
        return std::nullopt;
    return STCellNumber{*serial, "yyyy-mm-dd"};
}

}  // namespace

std::optional<double> SerialDateOf(int year, int month, int day) {
    if (year < kFirstSerialYear || year > kLastSerialYear || month < 1 || month > 12)
        return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    if (year == kFirstSerialYear && month < 3)
        return std::nullopt;
    constexpr long long kSerialZero = -25569;  // 1899-12-30 from 1970-01-01
    return static_cast<double>(DaysFromCivil(year, month, day) - kSerialZero);
}

std::optional<STCellNumber> CellNumberOf(std::u16string_view text) {
    if (std::optional<STCellNumber> date = DateOf(text))
        return date;
    return DecimalNumberOf(text);
}
