#include "chart_colours.h"

#include <cmath>

namespace win32chart {
namespace {

// `share` of `over` laid on `under`.
COLORREF blend(COLORREF under, COLORREF over, double share) {
    const auto channel = [share](BYTE a, BYTE b) { return BYTE(std::lround(a + (b - a) * share)); };
    return RGB(channel(GetRValue(under), GetRValue(over)), channel(GetGValue(under), GetGValue(over)),
               channel(GetBValue(under), GetBValue(over)));
}

} // namespace

InkColours systemInkColours() {
    using chart::Ink;
    // The plot is drawn as a document is, on the window colour; around it
    // the dialog face.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), base = ::GetSysColor(COLOR_WINDOW);
    const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    InkColours colours{};
    const auto set = [&colours](Ink ink, COLORREF colour) { colours[std::size_t(ink)] = colour; };
    set(Ink::Window, face);
    set(Ink::Plot, base);
    set(Ink::Gap, blend(base, text, 0.07));
    set(Ink::Selection, blend(base, highlight, 0.25));
    set(Ink::Grid, blend(base, text, 0.12));
    set(Ink::Midnight, blend(base, text, 0.45));
    set(Ink::Frame, blend(base, text, 0.55));
    set(Ink::Mean, blend(base, highlight, 0.45));
    set(Ink::Curve, highlight);
    set(Ink::Extreme, blend(text, RGB(220, 40, 30), 0.85));
    set(Ink::Text, ::GetSysColor(COLOR_BTNTEXT));
    set(Ink::Notice, ::GetSysColor(COLOR_BTNTEXT));
    return colours;
}

} // namespace win32chart
