#pragma once
// Draws the chart's display list with GDI, in device pixels, in its order:
// each rectangle filled (PatBlt with the DC's brush), the curve's runs with
// one PolyPolyline per ink and width, clipped to the plot, the marks over
// them, then each text with ExtTextOutW, its top left where the list puts
// it. Every coordinate is a whole pixel, so nothing needs smoothing and the
// chart is as sharp at 192 dots per inch as at 96.

#include "chart.h"
#include "chart_colours.h"
#include "text_faces.h"

#include <windows.h>

namespace win32chart {

// `faces` are those the host measured the texts in.
void paintDisplayList(HDC dc, const chart::DisplayList& list, const TextFaces& faces, const InkColours& colours);

// The display list drawn into a 32-bit top-down bitmap of its size, for a
// picture to save; its pixels are blue, green, red, unused. Null where GDI
// could not make one.
struct Picture {
    HBITMAP bitmap = nullptr;
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture(Picture&& other) noexcept;
    int stride() const { return width * 4; }
};
Picture drawPicture(const chart::DisplayList& list, const TextFaces& faces, const InkColours& colours);

} // namespace win32chart
