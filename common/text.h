// Text helpers shared by the parser, the views, the XML layer and the
// dialogs. White space is exactly TAB, LF, CR and SPACE; case mapping
// touches the ASCII letters only, so keys and file names never change
// meaning with the process locale.
#pragma once

#include <string>
#include <string_view>
#include <vector>

template <class Char>
constexpr bool IsWhiteSpace(Char c) {
    return c == Char('\t') || c == Char('\n') || c == Char('\r') || c == Char(' ');
}

template <class Char>
constexpr Char AsciiUpper(Char c) {
    return (c >= Char('a') && c <= Char('z')) ? static_cast<Char>(c - 'a' + 'A') : c;
}

template <class Char>
constexpr Char AsciiLower(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <class Char>
constexpr std::basic_string_view<Char> TrimView(std::basic_string_view<Char> s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && IsWhiteSpace(s[first])) {
        ++first;
    }
    while (last > first && IsWhiteSpace(s[last - 1])) {
        --last;
    }
    return s.substr(first, last - first);
}

// Calls onPiece with every trimmed piece of text between non-overlapping
// occurrences of separator, scanning left to right: k occurrences give k + 1
// pieces, empty ones included. An empty separator yields the whole text as
// one piece.
template <class Char, class OnPiece>
void ForEachSplitPiece(std::basic_string_view<Char> text, std::basic_string_view<Char> separator,
                       OnPiece&& onPiece) {
    std::size_t start = 0;
    if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != text.npos;
             at = text.find(separator, start)) {
            onPiece(TrimView(text.substr(start, at - start)));
            start = at + separator.size();
        }
    }
    onPiece(TrimView(text.substr(start)));
}

// Calls onToken with every maximal run of characters outside delimiters,
// trimmed, left to right.
template <class Char, class OnToken>
void ForEachToken(std::basic_string_view<Char> delimiters, std::basic_string_view<Char> text,
                  OnToken&& onToken) {
    std::size_t start = text.find_first_not_of(delimiters);
    while (start != text.npos) {
        const std::size_t end = text.find_first_of(delimiters, start);
        onToken(TrimView(text.substr(start, end == text.npos ? text.npos : end - start)));
        start = end == text.npos ? end : text.find_first_not_of(delimiters, end);
    }
}

std::string& StringTrim(std::string& s);
std::u16string& StringTrim(std::u16string& s);

void StringSplit(std::vector<std::string>& list, std::string_view text, std::string_view separator);
void StringSplit(std::vector<std::u16string>& list, std::u16string_view text,
                 std::u16string_view separator);

// Appends, untrimmed, the text behind each occurrence of separator up to the
// next one; whatever stands before the first occurrence is dropped.
void StringSplitAfter(std::vector<std::string>& list, std::string_view text,
                      std::string_view separator);

// Appends every maximal run of characters outside delimiters, trimmed. A run
// of white space only is appended as an empty string.
void StringTokenize(std::u16string_view delimiters, std::vector<std::u16string>& list,
                    std::u16string_view text);

// Replaces every occurrence of from; inserted text is never searched again.
// An empty from leaves the text as it is.
std::string& StringReplaceAll(std::string& text, std::string_view from, std::string_view to);

std::u16string& StringToUpper(std::u16string& s);
std::u16string& StringToLower(std::u16string& s);
std::string& StringToLower(std::string& s);
