#pragma once
// From converter code to the reading and the texts the window shows.
//
// The voltage is rounded to hundredths as text first, and the temperature is
// computed from that text read back, so every 0.01 V step is exactly one
// degree and every code gives a whole number of degrees. All number <-> text
// conversions here are explicit about the separator and never depend on the
// C library's global locale. Texts are UTF-8.

#include "number_format.h"
#include "scale.h"

#include <optional>
#include <string>
#include <string_view>

namespace measure {

// (code x 5.083) / 1024 in double precision, multiplying first.
double voltageForCode(double sampleCode);

// At least one integer digit, no grouping, exactly two decimals, rounded to
// the nearest hundredth: 2.97832 -> "2.98" (or "2,98").
std::string formatHundredths(double value, const NumberFormat& format);

// Reads back a number written with `format`'s separator; nothing else may
// surround it. Empty when the text is not such a number.
std::optional<double> parseNumber(std::string_view text, const NumberFormat& format);

// A single-precision value with at most seven significant digits, no
// trailing zeros, no separator for whole numbers: 25.f -> "25", -6.f -> "-6".
std::string singleToText(float value, const NumberFormat& format);

// The single-precision (v - 2.73) x 100 of the voltage text's value,
// computed in double precision before the one narrowing.
float temperatureFromVoltageText(std::string_view voltageText, const NumberFormat& format);

std::string voltageDisplayText(std::string_view voltageText);         // "2.98 Вольт"
std::string temperatureDisplayText(std::string_view temperatureText); // "25 *C"

struct Conversion {
    std::string VoltageText;        // "2.98"
    float Temperature = 0.0f;       // 25
    std::string voltageDisplay;     // "2.98 Вольт"
    std::string temperatureText;    // "25"
    std::string temperatureDisplay; // "25 *C"
};

Conversion convertCode(double sampleCode, const NumberFormat& format);

} // namespace measure
