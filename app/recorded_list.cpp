#include "recorded_list.h"

#include <limits>
#include <new>
#include <stdexcept>

namespace app {

void RecordedList::AddItem(std::string_view entry) {
    // Offsets are 32-bit: 4 GiB of entries is some three centuries of
    // readings, and running past it must fail, not wrap.
    if (entry.size() > std::numeric_limits<std::uint32_t>::max() - text_.size())
        throw std::bad_alloc();
    if (ends_.size() == ends_.capacity())  // both grow, or neither does
        ends_.reserve(ends_.capacity() * 2 + 64);
    text_.append(entry);
    ends_.push_back(std::uint32_t(text_.size()));
}

std::string_view RecordedList::List(std::int32_t index) const {
    const std::size_t i = std::size_t(index);
    if (index < 0 || i >= ends_.size())
        throw std::out_of_range("List1 has no entry " + std::to_string(index));
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

} // namespace app
