#pragma once
// The smallest list SaveList accepts: a count and an entry by index.

#include <cstdint>
#include <string>
#include <vector>

struct Entries {
    std::vector<std::string> items;
    std::int32_t ListCount() const { return std::int32_t(items.size()); }
    const std::string& List(std::int32_t i) const { return items.at(std::size_t(i)); }
};
