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
    std::tm local{};
    if (!ToLocalTime(time, local)) {
        return {};
    }
    // tm_year + 1900 can exceed int for far-off times; widen first.
    const long long year = local.tm_year + 1900LL;
    const int month = local.tm_mon + 1;
    std::array<char, 64> buffer{};
    int length = -1;
    switch (selector) {
        case 0:
            length =
                std::snprintf(buffer.data(), buffer.size(), "%04lld-%02d-%02d %02d:%02d:%02d", year,
                              month, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
            break;
        case 1:
            length = std::snprintf(buffer.data(), buffer.size(), "%04lld-%02d-%02d", year, month,
                                   local.tm_mday);
            break;
        case 2:
            length = std::snprintf(buffer.data(), buffer.size(), "%02d:%02d:%02d", local.tm_hour,
                                   local.tm_min, local.tm_sec);
            break;
        case 3:
            length = std::snprintf(buffer.data(), buffer.size(), "%04lld%02d%02d%02d%02d%02d", year,
                                   month, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
            break;
        case 4:
            length = std::snprintf(buffer.data(), buffer.size(), "%04lld%02d%02d", year, month,
                                   local.tm_mday);
            break;
        case 5:
            length = std::snprintf(buffer.data(), buffer.size(), "%02d%02d%02d", local.tm_hour,
                                   local.tm_min, local.tm_sec);
            break;
        default:
            return {};
    }
    if (length < 0) {
        return {};
    }
    const auto written = static_cast<std::size_t>(length);
    return std::u16string(buffer.data(), buffer.data() + std::min(written, buffer.size() - 1));
}
