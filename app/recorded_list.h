#pragma once
// List1's entries: the readings recorded (and recovered), in the order they
// were added. The core keeps the one list; each window only shows it, and
// SaveList, the fatal path and the journal read it here.
//
// The entries are packed into one buffer, so a day's recording (86 400
// entries of some 15 bytes) costs about 20 bytes an entry, not the few
// dozen a string apiece would.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class RecordedList {
public:
    // Appends at the end. Throws std::bad_alloc when memory runs out.
    void AddItem(std::string_view entry);
    std::int32_t ListCount() const noexcept { return std::int32_t(ends_.size()); }
    // The entry at a 0-based index; valid until the next AddItem.
    std::string_view List(std::int32_t index) const;

private:
    std::string text_;
    std::vector<std::uint32_t> ends_;  // where each entry ends in text_
};

} // namespace app
