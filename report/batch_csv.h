// A batch's measurement table as CSV (RFC 4180), for spreadsheets and
// statistics tools: one row per item, or one row per reading.
#pragma once

#include <string>
#include <string_view>

#include "model/ledgermill.h"

struct STCsvOptions {
    // One character of UTF-8, never a quote or a line end.
    std::string m_strDelimiter = ",";
    // Numbers written with a decimal comma, as comma-decimal locales read them.
    bool m_bDecimalComma = false;
    // S/N, reading number, value, scale and date for every reading, instead
    // of the measurement table.
    bool m_bPerReading = false;
    // A UTF-8 byte-order mark first, so that spreadsheets take the arrows and
    // names as UTF-8 rather than the locale's 8-bit code page.
    bool m_bByteOrderMark = false;
};

// What a spreadsheet of a locale with this decimal mark reads: a ";" between
// fields and a decimal comma where the mark is a comma, "," and a full stop
// otherwise.
STCsvOptions CsvOptionsForDecimalMark(char16_t decimalMark);

// True for exactly one well-formed UTF-8 character that a CSV reader cannot
// take for a quote or a line end.
bool IsCsvDelimiter(std::string_view text);

// The table, well-formed UTF-8, every line ending with LF. A field that a
// spreadsheet would run as a formula (it begins with =, +, -, @, a tab or a
// CR and is no number) is written with a leading apostrophe.
std::string BatchCsv(const STLedgermill& batch, const STCsvOptions& options);
