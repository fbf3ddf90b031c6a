#pragma once
// The little of Unicode a log's time of day needs: UTF-8 read strictly, the
// value of a decimal digit of any script, and the blanks locales put around
// and inside times.

#include <cstddef>
#include <string>
#include <string_view>

namespace chart {

inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The code point at `at`, moving `at` past it; kNotUtf8 (moving one byte)
// where the bytes there are not well-formed UTF-8.
char32_t decodeUtf8(std::string_view text, std::size_t& at);

bool isUtf8(std::string_view text);
void appendUtf8(std::string& out, char32_t c);

// 0 to 9 for a decimal digit of any script (ASCII, Arabic-Indic, Devanagari,
// Myanmar, fullwidth, ...), -1 for anything else.
int digitValue(char32_t c);

// A blank of any width: space, tab, no-break space and its narrow and
// figure forms, which some systems put between a time and its marker.
bool isBlank(char32_t c);

// `text` without blanks at either end.
std::string_view trimBlanks(std::string_view text);

} // namespace chart
