#pragma once
// A bitmap the size of the window's client area, kept from one paint to the
// next: the chart is drawn into it and then copied to the window at once, so
// that no half-drawn chart ever shows.

#include <windows.h>

namespace win32chart {

class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // A DC to draw `width` x `height` pixels into, compatible with `window`'s;
    // null where GDI has no room for one (then draw straight onto the window).
    HDC prepare(HDC window, int width, int height);
    // What was drawn, onto the window.
    void show(HDC window) const;

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ original_ = nullptr;
    SIZE size_{0, 0};
};

} // namespace win32chart
