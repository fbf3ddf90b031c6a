#pragma once
// A log line that is not UTF-8 is taken to be in the narrow encoding the
// Windows thermometer saves its log in. legacy_text_linux.cpp and
// legacy_text_windows.cpp implement it.

#include <string>
#include <string_view>

namespace chart {

// The line as UTF-8: on Windows from the user's ANSI code page; on Linux,
// which has no such code page, from Latin-1, so that every byte is some
// character (a log's digits and ASCII markers read the same in any of
// Windows' code pages).
std::string legacyToUtf8(std::string_view bytes);

} // namespace chart
