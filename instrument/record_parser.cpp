#include "instrument/record_parser.h"

#include <memory>

#include "common/text.h"
#include "instrument/reading_number.h"
#include "instrument/record_keys.h"

namespace {

constexpr std::u16string_view kRecordSeparator = u"\r\n\r\n";
constexpr std::u16string_view kLineSeparator = u"\r\n";
constexpr std::u16string_view kReadingDelimiters = u",";
// A line whose value holds this pair is not a key/value line.
constexpr std::u16string_view kMalformedValueMark = u":,";

void AppendReadings(std::u16string_view list, std::vector<double>& values) {
    ForEachToken(kReadingDelimiters, list, [&values](std::u16string_view reading) {
        values.push_back(ReadLeadingNumber(reading));
    });
}

std::u16string NormalisedKey(std::u16string_view keyAsReceived) {
    std::u16string key(keyAsReceived);
    StringToUpper(key);
    if (key == kKeyList) {
        key = kKeyValue;
    }
    return key;
}

// The key is the text before the first colon, the value all text behind it.
// A key already stored exactly as received keeps its first value; a key
// received in another form (lower case, LIST) replaces the stored text and
// adds its readings.
void ReadLine(std::u16string_view line, STLedgermillItem& item) {
    const std::size_t colon = line.find(u':');
    if (colon == line.npos) {
        return;
    }
    const std::u16string_view rest = line.substr(colon + 1);
    if (rest.find(kMalformedValueMark) != rest.npos) {
        return;
    }
    const std::u16string_view keyAsReceived = TrimView(line.substr(0, colon));
    if (item.m_subItem.contains(keyAsReceived)) {
        return;
    }
    const std::u16string_view value = TrimView(rest);
    std::u16string key = NormalisedKey(keyAsReceived);
    if (key == kKeyValue) {
        AppendReadings(value, item.m_values);
    }
    item.m_subItem.insert_or_assign(std::move(key), std::u16string(value));
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void ParseRecordText(std::u16string& text, LedgermillItemList& items) {
    StringTrim(text);
    ForEachSplitPiece<char16_t>(text, kRecordSeparator, [&items](std::u16string_view record) {
        STLedgermillItem& item = *items.emplace_back(std::make_unique<STLedgermillItem>());
        ForEachSplitPiece<char16_t>(record, kLineSeparator,
                                    [&item](std::u16string_view line) { ReadLine(line, item); });
        item.UpdateStatistics();
    });
}

bool LastLineStartsWith(std::u16string_view key, std::u16string_view text) {
    const std::u16string_view trimmed = TrimView(text);
    // CR LF cannot overlap itself, so the last occurrence is where a left to
    // right split would place the last cut.
    const std::size_t lastBreak = trimmed.rfind(kLineSeparator);
    const std::u16string_view lastLine =
        TrimView(lastBreak == trimmed.npos ? trimmed : trimmed.substr(lastBreak + 2));
    return EqualIgnoringAsciiCase(lastLine.substr(0, key.size()), key);
}
