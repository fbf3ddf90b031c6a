#pragma once
// List1: the recorded readings live in the LISTBOX control itself, as the
// window shows them, so the program keeps no second copy of a day's list.

#include "form1_view.h"

#include <string>

#include <windows.h>

namespace win32ui {

class ListBoxList final : public app::ReadingList {
public:
    explicit ListBoxList(HWND listBox) : listBox_(listBox) {}

    // An unsorted list box appends without scrolling and without touching
    // the selection. A list box out of room throws ServiceError.
    void AddItem(std::string_view entry) override;
    std::int32_t ListCount() const override;
    // The text is kept here until the next call.
    std::string_view List(std::int32_t index) const override;

private:
    HWND listBox_;
    mutable std::wstring wide_;
    mutable std::string item_;
};

} // namespace win32ui
