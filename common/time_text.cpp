#include "common/time_text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <limits>

namespace {

bool ToLocalTime(std::int64_t time, std::tm& local) {
    if (time < std::numeric_limits<std::time_t>::min() ||
        time > std::numeric_limits<std::time_t>::max()) {
        return false;
    }
    const auto seconds = static_cast<std::time_t>(time);
    return localtime_r(&seconds, &local) != nullptr;
}

}  // namespace

std::u16string FormatTime(int selector, std::int64_t time) {
    // Formats that begin with the date take year, month, day, hour, minute,
    // second; those that begin with the time take hour, minute, second.
    // printf ignores arguments a format does not use.
    struct Layout {
        const char* format;
        bool startsWithDate;
    };
    static constexpr std::array<Layout, 6> kLayouts{{
        {"%04lld-%02d-%02d %02d:%02d:%02d", true},
        {"%04lld-%02d-%02d", true},
        {"%02d:%02d:%02d", false},
        {"%04lld%02d%02d%02d%02d%02d", true},
        {"%04lld%02d%02d", true},
        {"%02d%02d%02d", false},
    }};
    std::tm local{};
    if (selector < 0 || selector >= static_cast<int>(kLayouts.size()) ||
        !ToLocalTime(time, local)) {
        return {};
    }
    const Layout& layout = kLayouts[static_cast<std::size_t>(selector)];
    // tm_year + 1900 can exceed int for far-off times; widen first.
    const long long year = local.tm_year + 1900LL;
    std::array<char, 64> buffer{};
    const int length =
        layout.startsWithDate
            ? std::snprintf(buffer.data(), buffer.size(), layout.format, year, local.tm_mon + 1,
                            local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec)
            : std::snprintf(buffer.data(), buffer.size(), layout.format, local.tm_hour,
                            local.tm_min, local.tm_sec);
    if (length < 0) {
        return {};
    }
    const auto written = std::min(static_cast<std::size_t>(length), buffer.size() - 1);
    return std::u16string(buffer.data(), buffer.data() + written);
}
