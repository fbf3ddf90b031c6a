#pragma once
// Lines of text fitted to a width in the front end's face.

#include "chart.h"

#include <string>
#include <vector>

namespace chart {

// `text` as it fits into `width` pixels: whole, or cut short with "…".
std::string fitText(const Host& host, const std::string& text, int width);

// `text` broken between words into lines no wider than `width` pixels; a
// word wider than that is broken where a line is full, and loses nothing.
std::vector<std::string> wrapText(const Host& host, const std::string& text, int width);

} // namespace chart
