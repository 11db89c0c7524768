#include "persistence/item_name_index.h"

#include <algorithm>

namespace {

constexpr std::string_view kPrefix = "item";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kMaxDigits = 9;

// The number of a name as a save writes it; kNone for any other name.
std::size_t WrittenNumber(std::string_view name) {
    if (!name.starts_with(kPrefix)) {
        return kNone;
    }
    const std::string_view digits = name.substr(kPrefix.size());
    if (digits.empty() || digits.size() > kMaxDigits || (digits.size() > 1 && digits[0] == '0') ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return kNone;
    }
    std::size_t number = 0;
    for (const char c : digits) {
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    return number;
}

}  // namespace

std::pair<std::size_t, bool> CItemNameIndex::FirstOf(std::string_view name, std::size_t index) {
    const std::size_t number = WrittenNumber(name);
    // A number far beyond the items so far would only waste the table; such
    // a name is hashed, so a name met again in the table's range is looked
    // for there too.
    if (number != kNone && number <= 2 * index + 1024) {
        if (number >= m_byNumber.size()) {
            m_byNumber.resize(std::max(number + 1, 2 * m_byNumber.size()), kNone);
        }
        std::size_t& first = m_byNumber[number];
        if (first != kNone) {
            return {first, false};
        }
        if (!m_byName.empty()) {
            if (const auto hashed = m_byName.find(std::string(name)); hashed != m_byName.end()) {
                return {hashed->second, false};
            }
        }
        first = index;
        return {index, true};
    }
    const auto [first, isFirst] = m_byName.try_emplace(std::string(name), index);
    return {first->second, isFirst};
}
