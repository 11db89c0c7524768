#include "dialogs/locale_number.h"

#include <charconv>
#include <string>
#include <system_error>

std::optional<double> ParseTypedNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    // Rewritten with a full stop and without a plus sign, which is what
    // from_chars takes; it ignores the locale, as strtod would not.
    std::string classic;
    classic.reserve(static_cast<std::size_t>(trimmed.size()));
    int digits = 0;
    int separators = 0;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c >= u'0' && c <= u'9') {
            ++digits;
            classic += static_cast<char>(c);
        } else if (c == u'.' || c == u',') {
            ++separators;
            classic += '.';
        } else if (i == 0 && (c == u'+' || c == u'-')) {
            if (c == u'-') {
                classic += '-';
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || separators > 1) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* const end = classic.data() + classic.size();
    const auto [stop, error] =
        std::from_chars(classic.data(), end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}
