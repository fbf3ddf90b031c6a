#include "list1_rows.h"

#include "encoding_windows.h"
#include "error.h"

namespace win32ui {

void List1Rows::list1Grew(const app::RecordedList& list, std::int32_t first) {
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
