#include "common/utf.h"

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Decodes one well-formed sequence at bytes[at]; returns its length, or 0
// when the bytes there are not well-formed UTF-8 (overlong forms, encoded
// surrogates and values above U+10FFFF included).
std::size_t DecodeSequence(std::string_view bytes, std::size_t at, char32_t& out) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, out = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, out = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, out = lead & 0x07u;
    } else {
        return 0;
    }
    if (bytes.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[at + i]);
        if (!IsContinuation(b)) {
            return 0;
        }
        out = (out << 6) | (b & 0x3Fu);
    }
    const bool surrogate = out >= 0xD800 && out <= 0xDFFF;
    return (out < minimum || out > 0x10FFFF || surrogate) ? 0 : length;
}

void AppendUtf16(std::u16string& text, char32_t c) {
    if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& bytes, char32_t c) {
    auto put = [&bytes](char32_t b) { bytes.push_back(static_cast<char>(b)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes bytes; every byte that begins no well-formed sequence becomes the
// one code unit strayUnit gives for it.
template <class StrayUnit>
std::u16string Decode(std::string_view bytes, StrayUnit strayUnit) {
    std::u16string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t c = 0;
        const std::size_t length = DecodeSequence(bytes, at, c);
        if (length == 0) {
            text.push_back(strayUnit(static_cast<unsigned char>(bytes[at])));
            ++at;
        } else {
            AppendUtf16(text, c);
            at += length;
        }
    }
    return text;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view bytes) {
    return Decode(bytes,
                  [](unsigned char stray) { return static_cast<char16_t>(kEscapeBase + stray); });
}

std::u16string Utf8ToUtf16Replacing(std::string_view bytes) {
    return Decode(bytes, [](unsigned char) { return static_cast<char16_t>(kReplacement); });
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (IsHighSurrogate(c) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
            const char32_t high = c - 0xD800u;
            const char32_t low = text[++at] - 0xDC00u;
            AppendUtf8(bytes, 0x10000 + (high << 10) + low);
        } else if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            bytes.push_back(static_cast<char>(c - kEscapeBase));
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendUtf8(bytes, kReplacement);
        } else {
            AppendUtf8(bytes, c);
        }
    }
    return bytes;
}

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
    char32_t decoded = 0;
    return DecodeSequence(bytes, at, decoded);
}
