#include "persistence/field_text.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/classic_locale.h"

namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

template <class Integer>
bool ReadInteger(std::string_view text, Integer& value) {
    // strto* skip leading white space and stop at the first zero byte.
    const std::string digits(text);
    char* end = nullptr;
    errno = 0;
    const long long number = strtoll_l(digits.c_str(), &end, 10, ClassicLocale());
    if (end == digits.c_str() || errno == ERANGE ||
        number < static_cast<long long>(std::numeric_limits<Integer>::min()) ||
        number > static_cast<long long>(std::numeric_limits<Integer>::max())) {
        return false;
    }
    value = static_cast<Integer>(number);
    return true;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 0;
}

}  // namespace

std::string BoolText(bool value) {
    return value ? "true" : "false";
}

std::string ByteText(std::uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

std::string IntText(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string UIntText(std::uint32_t value) {
    return IntText(value);
}

std::string DoubleText(double value) {
    std::string text;
    AppendDoubleText(text, value);
    return text;
}

void AppendDoubleText(std::string& out, double value) {
    std::array<char, 400> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 6);
    out.append(buffer.data(), result.ptr);
}

bool ReadBoolText(std::string_view text, bool& value) {
    if (text.starts_with("true")) {
        value = true;
    } else if (text.starts_with("false")) {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool ReadByteText(std::string_view text, std::uint8_t& value) {
    for (const char c : text) {
        if (!IsCSpace(c)) {
            value = static_cast<std::uint8_t>(c);
            return true;
        }
    }
    return false;
}

bool ReadIntText(std::string_view text, std::int32_t& value) {
    return ReadInteger(text, value);
}

bool ReadInt64Text(std::string_view text, std::int64_t& value) {
    return ReadInteger(text, value);
}

bool ReadUIntText(std::string_view text, std::uint32_t& value) {
    return ReadInteger(text, value);
}

bool ReadDoubleText(std::string_view text, double& value) {
    const std::string number(text);
    char* end = nullptr;
    errno = 0;
    const double read = strtod_l(number.c_str(), &end, ClassicLocale());
    const bool overflow = errno == ERANGE && std::isinf(read);
    if (end == number.c_str() || overflow) {
        return false;
    }
    value = read;
    return true;
}

std::string HexEncode(std::u16string_view text) {
    std::string hex;
    AppendHexEncoded(hex, text);
    return hex;
}

void AppendHexEncoded(std::string& out, std::u16string_view text) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    const std::size_t start = out.size();
    out.resize(start + 4 * (text.size() + 1), '0');  // the final 0x0000 unit stays
    char* digit = out.data() + start;
    const auto putByte = [&digit](unsigned byte) {
        *digit++ = kDigits[byte >> 4];
        *digit++ = kDigits[byte & 0xF];
    };
    for (const char16_t unit : text) {
        putByte(unit & 0xFFu);
        putByte(static_cast<unsigned>(unit) >> 8);
    }
}

bool HexDecode(std::string_view hex, std::u16string& text) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    const std::size_t byteCount = hex.size() / 2;
    const auto byteAt = [hex](std::size_t i) {
        return static_cast<unsigned>(HexDigitValue(hex[2 * i]) * 16 +
                                     HexDigitValue(hex[2 * i + 1]));
    };
    std::u16string decoded;
    decoded.reserve(byteCount / 2);
    for (std::size_t i = 0; i < byteCount; i += 2) {
        const unsigned low = byteAt(i);
        const unsigned high = i + 1 < byteCount ? byteAt(i + 1) : 0;
        const auto unit = static_cast<char16_t>(low | (high << 8));
        if (unit == 0) {
            break;
        }
        decoded.push_back(unit);
    }
    text = std::move(decoded);
    return true;
}
