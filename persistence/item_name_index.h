// The first item of each name in an item vector: a later item of the same
// name is read from that first element again. The names a save writes,
// "item0", "item1", ..., are looked up by their number; any other name, a
// number with leading zeros included, by hashing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class CItemNameIndex {
public:
    // The index of the first item named name, and whether that is this one,
    // the item at index; it is then recorded as the first of its name.
    std::pair<std::size_t, bool> FirstOf(std::string_view name, std::size_t index);

private:
    std::vector<std::size_t> m_byNumber;  // kNone where no such item came yet
    std::unordered_map<std::string, std::size_t> m_byName;
};
