#include "common/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace {

std::u16string WidenAscii(const char* first, const char* last) {
    return std::u16string(first, last);
}

template <class Integer>
std::u16string IntegerText(Integer value) {
    std::array<char, 16> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return WidenAscii(buffer.data(), result.ptr);
}

}  // namespace

std::u16string DoubleToText(double value) {
    return FixedText(value, 1);
}

std::u16string FixedText(double value, int decimals) {
    // Room for the largest finite double written out in fixed point.
    std::array<char, 420> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, std::clamp(decimals, 0, 17));
    return WidenAscii(buffer.data(), result.ptr);
}

std::u16string IntToText(std::int32_t value) {
    return IntegerText(value);
}

std::u16string UIntToText(std::uint32_t value) {
    return IntegerText(value);
}
