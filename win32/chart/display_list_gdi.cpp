#include "display_list_gdi.h"

#include "encoding_windows.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace win32chart {
namespace {

void fill(HDC dc, const chart::Rect& r, const InkColours& colours) {
    ::SetDCBrushColor(dc, colours[std::size_t(r.ink)]);
    ::PatBlt(dc, r.x, r.y, r.width, r.height, PATCOPY);
}

HPEN penFor(COLORREF colour, int width) {
    if (width <= 1)
        return ::CreatePen(PS_SOLID, 1, colour);  // cosmetic: exactly the pixels on the line
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return ::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_SQUARE | PS_JOIN_MITER, DWORD(width), &brush, 0,
                          nullptr);
}

// The runs of one ink and width in one PolyPolyline. A cosmetic pen leaves
// out the last pixel of each line, which the run's end then gets by hand,
// as Qt's square cap draws it.
void drawRuns(HDC dc, const chart::DisplayList& list, const InkColours& colours) {
    std::map<std::pair<chart::Ink, int>, std::vector<const chart::Run*>> groups;
    for (const chart::Run& run : list.runs)
        if (run.count >= 2)
            groups[{run.ink, run.width}].push_back(&run);
    std::vector<POINT> points;
    std::vector<DWORD> counts;
    for (const auto& [key, runs] : groups) {
        const auto [ink, width] = key;
        points.clear();
        counts.clear();
        for (const chart::Run* run : runs) {
            for (std::size_t k = 0; k < run->count; ++k) {
                const chart::Point& p = list.points[run->first + k];
                points.push_back({p.x, p.y});
            }
            counts.push_back(DWORD(run->count));
        }
        const HPEN pen = penFor(colours[std::size_t(ink)], width);
        const HGDIOBJ old = ::SelectObject(dc, pen);
        ::PolyPolyline(dc, points.data(), counts.data(), DWORD(counts.size()));
        ::SelectObject(dc, old);
        ::DeleteObject(pen);
        if (width <= 1) {
            ::SetDCBrushColor(dc, colours[std::size_t(ink)]);
            for (const chart::Run* run : runs) {
                const chart::Point& end = list.points[run->first + run->count - 1];
                ::PatBlt(dc, end.x, end.y, 1, 1, PATCOPY);
            }
        }
    }
}

} // namespace

void paintDisplayList(HDC dc, const chart::DisplayList& list, const TextFaces& faces, const InkColours& colours) {
    const int saved = ::SaveDC(dc);
    ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
    for (const chart::Rect& r : list.rects)
        fill(dc, r, colours);

    if (list.plot.width > 0 && list.plot.height > 0) {
        const int beforeClip = ::SaveDC(dc);
        ::IntersectClipRect(dc, list.plot.x, list.plot.y, list.plot.x + list.plot.width,
                            list.plot.y + list.plot.height);
        drawRuns(dc, list, colours);
        ::RestoreDC(dc, beforeClip);
    }
    for (const chart::Rect& r : list.marks)
        fill(dc, r, colours);

    ::SetBkMode(dc, TRANSPARENT);
    for (const chart::Text& t : list.texts) {
        ::SetTextColor(dc, colours[std::size_t(t.ink)]);
        faces.draw(dc, t.topLeft.x, t.topLeft.y, text::toWide(t.utf8));
    }
    ::RestoreDC(dc, saved);
}

Picture::~Picture() {
    if (bitmap)
        ::DeleteObject(bitmap);
}

Picture::Picture(Picture&& other) noexcept
    : bitmap(std::exchange(other.bitmap, nullptr)), pixels(other.pixels), width(other.width),
      height(other.height) {}

Picture drawPicture(const chart::DisplayList& list, const TextFaces& faces, const InkColours& colours) {
    Picture picture;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = std::max(list.width, 1);
    info.bmiHeader.biHeight = -std::max(list.height, 1);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    picture.bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture.bitmap)
        return picture;
    picture.pixels = static_cast<const std::uint8_t*>(bits);
    picture.width = info.bmiHeader.biWidth;
    picture.height = -info.bmiHeader.biHeight;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, picture.bitmap);
    paintDisplayList(dc, list, faces, colours);
    ::GdiFlush();
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return picture;
}

} // namespace win32chart
