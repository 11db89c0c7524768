// Lines of laid-out text (pdftotext -layout) found by their words, where
// columns stand apart by any number of spaces. A pattern lists the words of
// one line, the words in a row; " +" between them reads as a space, "\." as
// a full stop, "\S+" stands for any one word and "P\d+" for P and digits.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace text_lines {

inline std::vector<std::string> WordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

inline std::vector<std::string> PatternWords(std::string pattern) {
    std::string plain;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.compare(at, 2, " +") == 0) {
            plain += ' ';
            ++at;
        } else if (pattern.compare(at, 2, "\\.") == 0) {
            plain += '.';
            ++at;
        } else {
            plain += pattern[at];
        }
    }
    return WordsOf(plain);
}

inline bool WordMatches(const std::string& word, const std::string& wanted) {
    if (wanted == "\\S+") return true;
    if (wanted == "P\\d+") {
        return word.size() > 1 && word[0] == 'P' && word.find_first_not_of("0123456789", 1) == std::string::npos;
    }
    return word == wanted;
}

inline bool LineMatches(const std::vector<std::string>& words, const std::vector<std::string>& wanted) {
    for (std::size_t start = 0; start + wanted.size() <= words.size(); ++start) {
        std::size_t matched = 0;
        while (matched < wanted.size() && WordMatches(words[start + matched], wanted[matched])) ++matched;
        if (matched == wanted.size()) return true;
    }
    return false;
}

// Where the line after the first line from `from` on that matches begins;
// npos when none does.
inline std::size_t AfterMatchingLine(const std::string& text, std::size_t from, const std::string& pattern) {
    const std::vector<std::string> wanted = PatternWords(pattern);
    while (from < text.size()) {
        const std::size_t end = text.find('\n', from);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (LineMatches(WordsOf(text.substr(from, next - from)), wanted)) return next;
        from = next;
    }
    return std::string::npos;
}

inline bool HasLine(const std::string& text, const std::string& pattern) {
    return AfterMatchingLine(text, 0, pattern) != std::string::npos;
}

}  // namespace text_lines
