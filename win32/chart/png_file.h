#pragma once
// A picture saved as PNG with Windows' own codecs (WIC, in windowscodecs.dll,
// reached through COM), so the program needs no image library. The PNG is
// made in memory and then written as a whole, as the log file is: an old
// file of that name stays as it was unless the new one is complete.

#include "error.h"

#include <cstdint>
#include <optional>
#include <string>

namespace win32chart {

// `pixels`: `height` rows of `width` pixels, `stride` bytes apart, each
// blue, green, red and an unused byte (a 32-bit DIB's).
std::string encodePng(const std::uint8_t* pixels, int width, int height, int stride, const std::string& path);

// The same, written to `path`; the error names the file and why.
std::optional<text::Error> savePng(const std::uint8_t* pixels, int width, int height, int stride,
                                   const std::string& path);

} // namespace win32chart
