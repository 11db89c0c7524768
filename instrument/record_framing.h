// Where the records of a transmission begin and end, and what a line's key
// is. Shared by the parser, which reads wide text, and the receive path,
// which frames the bytes from the serial line before they are decoded; both
// therefore cut a transmission at exactly the same places.
//
// Records are separated by an empty line (CR LF CR LF). A transmission ends
// with its DATE line and a single CR LF, so transmissions sent back to back
// meet without an empty line between them; there, a line whose key the
// record already holds, coming right after the record's DATE line, starts
// the next record.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace record_framing {

template <class Char>
constexpr Char kRecordSeparator[] = {Char('\r'), Char('\n'), Char('\r'), Char('\n')};
template <class Char>
constexpr Char kLineSeparator[] = {Char('\r'), Char('\n')};
template <class Char>
constexpr Char kDate[] = {Char('D'), Char('A'), Char('T'), Char('E')};
template <class Char>
constexpr Char kList[] = {Char('L'), Char('I'), Char('S'), Char('T')};
template <class Char>
constexpr Char kValue[] = {Char('V'), Char('A'), Char('L'), Char('U'), Char('E')};
template <class Char>
constexpr Char kMalformedValueMark[] = {Char(':'), Char(',')};

template <class Char, std::size_t N>
constexpr std::basic_string_view<Char> View(const Char (&text)[N]) {
    return {text, N};
}

template <class Char>
bool EqualIgnoringAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
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

}  // namespace record_framing

template <class Char>
constexpr std::basic_string_view<Char> RecordSeparator() {
    return record_framing::View(record_framing::kRecordSeparator<Char>);
}

template <class Char>
constexpr std::basic_string_view<Char> LineSeparator() {
    return record_framing::View(record_framing::kLineSeparator<Char>);
}

// The key of a key/value line as received, trimmed: the text before the
// first colon. Nothing for a line without a colon, or one whose value holds
// ":," (no key/value line).
template <class Char>
std::optional<std::basic_string_view<Char>> LineKey(std::basic_string_view<Char> line) {
    const std::size_t colon = line.find(Char(':'));
    if (colon == line.npos ||
        line.find(record_framing::View(record_framing::kMalformedValueMark<Char>), colon + 1) !=
            line.npos) {
        return std::nullopt;
    }
    return TrimView(line.substr(0, colon));
}

// The key as a record stores it: ASCII letters upper-cased, LIST read as
// VALUE.
template <class Char>
std::basic_string<Char> StoredKey(std::basic_string_view<Char> keyAsReceived) {
    std::basic_string<Char> key(keyAsReceived);
    for (Char& c : key) {
        c = AsciiUpper(c);
    }
    if (key == record_framing::View(record_framing::kList<Char>)) {
        key = record_framing::View(record_framing::kValue<Char>);
    }
    return key;
}

// Whether line, trimmed, begins with DATE, ASCII case ignored.
template <class Char>
bool BeginsWithDate(std::basic_string_view<Char> line) {
    const std::basic_string_view<Char> date = record_framing::View(record_framing::kDate<Char>);
    return record_framing::EqualIgnoringAsciiCase(TrimView(line).substr(0, date.size()), date);
}

namespace record_framing {

// Whether two keys as received are stored under the same key.
template <class Char>
bool SameStoredKey(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    const auto stored = [](std::basic_string_view<Char> key) {
        return EqualIgnoringAsciiCase(key, View(kList<Char>)) ? View(kValue<Char>) : key;
    };
    return EqualIgnoringAsciiCase(stored(a), stored(b));
}

// One piece between empty lines: usually one record, more where back-to-back
// transmissions met. held is scratch space for the keys of the record read
// so far, as received; they are compared only right after a DATE line, so a
// record costs one pass over its lines.
template <class Char, class OnRecord>
void SplitAtRepeatedKeys(std::basic_string_view<Char> part, OnRecord& onRecord,
                         std::vector<std::basic_string_view<Char>>& held) {
    const std::basic_string_view<Char> lineSeparator = LineSeparator<Char>();
    held.clear();
    bool afterDate = false;
    std::size_t recordStart = 0;
    std::size_t lineStart = 0;
    for (;;) {
        const std::size_t lineEnd = part.find(lineSeparator, lineStart);
        const std::basic_string_view<Char> line = TrimView(
            part.substr(lineStart, lineEnd == part.npos ? part.npos : lineEnd - lineStart));
        if (const auto key = LineKey(line)) {
            if (afterDate && std::any_of(held.begin(), held.end(), [&key](const auto& heldKey) {
                    return SameStoredKey(heldKey, *key);
                })) {
                onRecord(TrimView(part.substr(recordStart, lineStart - recordStart)));
                recordStart = lineStart;
                held.clear();
            }
            afterDate = EqualIgnoringAsciiCase(*key, View(kDate<Char>));
            held.push_back(*key);
        }
        if (lineEnd == part.npos) {
            break;
        }
        lineStart = lineEnd + lineSeparator.size();
    }
    onRecord(TrimView(part.substr(recordStart)));
}

}  // namespace record_framing

// Calls onRecord with the trimmed text of every record of text, in order.
// Every piece between empty lines gives at least one record, an empty piece
// an empty one.
template <class Char, class OnRecord>
void ForEachRecord(std::basic_string_view<Char> text, OnRecord&& onRecord) {
    std::vector<std::basic_string_view<Char>> held;
    ForEachSplitPiece<Char>(text, RecordSeparator<Char>(),
                            [&onRecord, &held](std::basic_string_view<Char> part) {
                                record_framing::SplitAtRepeatedKeys(part, onRecord, held);
                            });
}
