#include "back_buffer.h"

namespace win32chart {

BackBuffer::~BackBuffer() {
    if (dc_) {
        ::SelectObject(dc_, original_);
        ::DeleteDC(dc_);
    }
    if (bitmap_)
        ::DeleteObject(bitmap_);
}

HDC BackBuffer::prepare(HDC window, int width, int height) {
    if (size_.cx == width && size_.cy == height && bitmap_)
        return dc_;
    if (!dc_)
        dc_ = ::CreateCompatibleDC(window);
    const HBITMAP bitmap = dc_ ? ::CreateCompatibleBitmap(window, width, height) : nullptr;
    if (!bitmap)
        return nullptr;
    const HGDIOBJ previous = ::SelectObject(dc_, bitmap);
    if (!original_)
        original_ = previous;
    if (bitmap_)
        ::DeleteObject(bitmap_);
    bitmap_ = bitmap;
    size_ = {width, height};
    return dc_;
}

void BackBuffer::show(HDC window) const {
    ::BitBlt(window, 0, 0, size_.cx, size_.cy, dc_, 0, 0, SRCCOPY);
}

} // namespace win32chart
