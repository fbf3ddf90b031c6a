#pragma once
// List1 on the window: a LISTBOX control showing Form1's recorded list.
// The control keeps its own copy of each entry's text, which it draws.

#include "recorded_list.h"

#include <windows.h>

namespace win32ui {

class List1Rows {
public:
    explicit List1Rows(HWND listBox) : listBox_(listBox) {}

    // Adds the list's entries from `first` on. An unsorted list box
    // appends without scrolling and without touching the selection. A
    // list box out of room throws text::Error.
    void list1Grew(const app::RecordedList& list, std::int32_t first);

private:
    HWND listBox_;
};

} // namespace win32ui
