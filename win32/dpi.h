#pragma once
// Dots per inch of the monitor a window is on, and the window size that
// gives a client area at that DPI. Windows 10 (1607 and later) knows each
// monitor's DPI; older systems have one for the whole desktop, which these
// fall back to.

#include <windows.h>

namespace win32ui {

UINT dpiOf(HWND window);

// The outer size of a window whose client area is `width` x `height` pixels.
SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

// A LOGFONT height for `points` at `dpi` (negative: the character height,
// as a point size means).
LONG fontHeight(int points, UINT dpi);

// The system's message font (the face of message boxes and dialogs, which
// the user can change) as it is at `dpi`.
LOGFONTW messageFontAt(UINT dpi);

} // namespace win32ui
