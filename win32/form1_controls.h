#pragma once
// Form1's controls as Win32 child windows, built from the layout table
// (app/form1_layout.h): the same names, kinds, captions and first contents,
// created in tab order so that Tab follows it.

#include "fonts.h"

#include <string_view>

#include <windows.h>

namespace win32ui {

struct Form1Controls {
    HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr, Label5 = nullptr;
    HWND List1 = nullptr, Command1 = nullptr, Text1 = nullptr, Check1 = nullptr;

    // The control of that name in the layout table, or null.
    HWND byName(std::string_view name) const;
    // The first control Tab reaches.
    HWND firstTabStop() const { return List1; }
};

Form1Controls createForm1Controls(HWND form);

// Places and sizes every control for `dpi` and gives it its face.
void layOutForm1Controls(const Form1Controls& controls, UINT dpi, const Form1Fonts& fonts);

} // namespace win32ui
