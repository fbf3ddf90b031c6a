#pragma once
// The colour of each of the chart's inks, from the system's colours
// (GetSysColor), so that the chart follows the user's scheme, high contrast
// included.

#include "chart.h"

#include <array>

#include <windows.h>

namespace win32chart {

using InkColours = std::array<COLORREF, std::size_t(chart::Ink::Notice) + 1>;

// Read afresh on each call: the user may change the scheme while it runs.
InkColours systemInkColours();

} // namespace win32chart
