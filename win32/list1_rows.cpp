#include "list_box_list.h"

#include "error.h"
#include "windows_encoding.h"

namespace win32ui {

void ListBoxList::showFrom(const app::RecordedList& list, std::int32_t first) {
    for (std::int32_t i = first; i < list.ListCount(); ++i) {
        const std::wstring entry = text::toWide(list.List(i));
        const LRESULT added =
            ::SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        // A list box that runs out of room says so only here; the reading
        // would otherwise go unseen without a word.
        if (added == LB_ERR || added == LB_ERRSPACE)
            throw text::Error::system(ERROR_NOT_ENOUGH_MEMORY, "List1");
    }
}

} // namespace win32ui
