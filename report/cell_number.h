// What a spreadsheet application makes of a text put into a cell: a number,
// a percentage or a date when the text reads as one, stored with a number
// format that shows exactly the text again; any other text stays text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct STCellNumber {
    double m_dValue = 0;
    // An Excel number format code: "0", "0.00", "0.0%", "yyyy-mm-dd".
    std::string m_strFormat;

    bool operator==(const STCellNumber&) const = default;
};

// A number only when its format reproduces the text character for
// character: "448.0", "-3.25", "12", "1.0%", "2016-05-04". Texts that only
// look like numbers ("007", "1e5", " 12", "12.", "+5", "1,5", "-0.0", "inf")
// and numbers of more digits than a double carries stay text.
std::optional<STCellNumber> CellNumberOf(std::u16string_view text);

// Days since 1899-12-30, the spreadsheet's serial date, for a date from
// 1900-03-01 on (before that the 1900 serials count a day that never was).
std::optional<double> SerialDateOf(int year, int month, int day);
