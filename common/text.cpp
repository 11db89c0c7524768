#include "common/text.h"

namespace {

template <class String>
String& TrimInPlace(String& s) {
    using View = std::basic_string_view<typename String::value_type>;
    const View kept = TrimView(View(s));
    const auto first = static_cast<std::size_t>(kept.data() - s.data());
    s.erase(first + kept.size());
    s.erase(0, first);
    return s;
}

template <class Char>
void SplitInto(std::vector<std::basic_string<Char>>& list, std::basic_string_view<Char> text,
               std::basic_string_view<Char> separator) {
    ForEachSplitPiece(text, separator,
                      [&list](std::basic_string_view<Char> piece) { list.emplace_back(piece); });
}

}  // namespace

std::string& StringTrim(std::string& s) {
    return TrimInPlace(s);
}
std::u16string& StringTrim(std::u16string& s) {
    return TrimInPlace(s);
}

void StringSplit(std::vector<std::string>& list, std::string_view text,
                 std::string_view separator) {
    SplitInto(list, text, separator);
}

void StringSplit(std::vector<std::u16string>& list, std::u16string_view text,
                 std::u16string_view separator) {
    SplitInto(list, text, separator);
}

void StringSplitAfter(std::vector<std::string>& list, std::string_view text,
                      std::string_view separator) {
    if (separator.empty()) {
        return;
    }
    std::size_t at = text.find(separator);
    while (at != text.npos) {
        const std::size_t start = at + separator.size();
        at = text.find(separator, start);
        list.emplace_back(text.substr(start, at == text.npos ? text.npos : at - start));
    }
}

void StringTokenize(std::u16string_view delimiters, std::vector<std::u16string>& list,
                    std::u16string_view text) {
    ForEachToken(delimiters, text,
                 [&list](std::u16string_view token) { list.emplace_back(token); });
}

std::string& StringReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty() || text.find(from) == text.npos) {
        return text;
    }
    // Built into a new string so that many replacements stay linear.
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != text.npos; at = text.find(from, start)) {
        replaced.append(text, start, at - start).append(to);
        start = at + from.size();
    }
    replaced.append(text, start);
    text = std::move(replaced);
    return text;
}

std::u16string& StringToUpper(std::u16string& s) {
    for (char16_t& c : s) {
        c = AsciiUpper(c);
    }
    return s;
}

std::u16string& StringToLower(std::u16string& s) {
    for (char16_t& c : s) {
        c = AsciiLower(c);
    }
    return s;
}

std::string& StringToLower(std::string& s) {
    for (char& c : s) {
        c = AsciiLower(c);
    }
    return s;
}
