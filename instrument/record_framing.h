// The separators of the transmission text and what a line's key is, for
// wide text (the parser) and bytes (the framing of received text) alike.
// Records of a text are separated by an empty line (CR LF CR LF).
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// Calls onRecord with the text of every record of text, in order: every
// piece between empty lines, an empty piece an empty record.
template <class Char, class OnRecord>
void ForEachRecord(std::basic_string_view<Char> text, OnRecord&& onRecord) {
    ForEachSplitPiece<Char>(text, RecordSeparator<Char>(), onRecord);
}
