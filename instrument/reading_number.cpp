#include "instrument/reading_number.h"

#include <cstdlib>
#include <string>

#include "common/classic_locale.h"

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsCSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// Length of the number at the start of text by the grammar
// [sign] (digits [. digits] | . digits) [(e|E) [sign] digits]; 0 if none.
std::size_t NumberLength(std::u16string_view text) {
    std::size_t at = 0;
    const auto skipDigits = [&] {
        const std::size_t start = at;
        while (at < text.size() && IsDigit(text[at])) {
            ++at;
        }
        return at - start;
    };
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        ++at;
    }
    std::size_t mantissaDigits = skipDigits();
    if (at < text.size() && text[at] == u'.') {
        ++at;
        mantissaDigits += skipDigits();
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    const std::size_t beforeExponent = at;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
            ++at;
        }
        if (skipDigits() == 0) {
            at = beforeExponent;
        }
    }
    return at;
}

}  // namespace

double ReadLeadingNumber(std::u16string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsCSpace(text[start])) {
        ++start;
    }
    text.remove_prefix(start);
    const std::size_t length = NumberLength(text);
    if (length == 0) {
        return 0.0;
    }
    // The number is plain ASCII by construction.
    const std::string narrow(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
    return strtod_l(narrow.c_str(), nullptr, ClassicLocale());
}
