#include "instrument/record_parser.h"

#include <memory>
#include <optional>

#include "common/text.h"
#include "instrument/reading_number.h"
#include "instrument/record_framing.h"
#include "instrument/record_keys.h"

namespace {

constexpr std::u16string_view kReadingDelimiters = u",";

void AppendReadings(std::u16string_view list, std::vector<double>& values) {
    ForEachToken(kReadingDelimiters, list, [&values](std::u16string_view reading) {
        values.push_back(ReadLeadingNumber(reading));
    });
}

// The key is the text before the first colon, the value all text behind it.
// A key already stored exactly as received keeps its first value; a key
// received in another form (lower case, LIST) replaces the stored text and
// adds its readings.
void ReadLine(std::u16string_view line, STLedgermillItem& item) {
    const std::optional<std::u16string_view> keyAsReceived = LineKey(line);
    if (!keyAsReceived || item.m_subItem.contains(*keyAsReceived)) {
        return;
    }
    const std::u16string_view value = TrimView(line.substr(line.find(u':') + 1));
    std::u16string key = StoredKey(*keyAsReceived);
    if (key == kKeyValue) {
        AppendReadings(value, item.m_values);
    }
    item.m_subItem.insert_or_assign(std::move(key), std::u16string(value));
}

}  // namespace

void ParseRecordText(std::u16string& text, LedgermillItemList& items) {
    StringTrim(text);
    ForEachRecord<char16_t>(text, [&items](std::u16string_view record) {
        STLedgermillItem& item = *items.emplace_back(std::make_unique<STLedgermillItem>());
        ForEachSplitPiece<char16_t>(record, LineSeparator<char16_t>(),
                                    [&item](std::u16string_view line) { ReadLine(line, item); });
        item.UpdateStatistics();
    });
}

void ParseRecordTexts(std::vector<std::u16string>& records, LedgermillItemList& items) {
    for (std::u16string& record : records) {
        ParseRecordText(record, items);
    }
}

bool LastLineStartsWith(std::u16string_view key, std::u16string_view text) {
    const std::u16string_view trimmed = TrimView(text);
    // CR LF cannot overlap itself, so the last occurrence is where a left to
    // right split would place the last cut.
    const std::size_t lastBreak = trimmed.rfind(LineSeparator<char16_t>());
    const std::u16string_view lastLine =
        TrimView(lastBreak == trimmed.npos ? trimmed : trimmed.substr(lastBreak + 2));
    return record_framing::EqualIgnoringAsciiCase(lastLine.substr(0, key.size()), key);
}
