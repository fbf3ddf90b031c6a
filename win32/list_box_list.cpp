#include "list_box_list.h"

#include "wide_text.h"

namespace win32ui {

void ListBoxList::AddItem(std::string_view entry) {
    const std::wstring text = measure::toWide(entry);
    const LRESULT added = ::SendMessageW(listBox_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // A list box that runs out of room says so only here; the reading
    // would otherwise be dropped without a word.
    if (added == LB_ERR || added == LB_ERRSPACE)
        throw app::ServiceError(ERROR_NOT_ENOUGH_MEMORY, measure::systemErrorText(ERROR_NOT_ENOUGH_MEMORY),
                                "List1");
}

std::int32_t ListBoxList::ListCount() const {
    const LRESULT count = ::SendMessageW(listBox_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : std::int32_t(count);
}

std::string_view ListBoxList::List(std::int32_t index) const {
    const LRESULT length = ::SendMessageW(listBox_, LB_GETTEXTLEN, WPARAM(index), 0);
    if (length == LB_ERR) {
        item_.clear();
        return item_;
    }
    wide_.resize(std::size_t(length) + 1);
    const LRESULT copied =
        ::SendMessageW(listBox_, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(wide_.data()));
    wide_.resize(copied == LB_ERR ? 0 : std::size_t(copied));
    item_ = measure::toUtf8(wide_);
    return item_;
}

} // namespace win32ui
