#pragma once
// How the user's locale writes numbers, reduced to what the reading texts
// need. Only the decimal separator follows the locale, and the front end
// supplies it from the user's settings: digits are never grouped and the
// minus sign is always the ASCII hyphen-minus, which every spreadsheet and
// narrow code page reads (some locales' data would give U+2212 instead).

#include <string>

namespace measure {

struct NumberFormat {
    std::string decimalSeparator = ".";  // UTF-8
};

} // namespace measure
