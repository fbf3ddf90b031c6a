#pragma once
// From converter code to the reading and the texts the window shows.
//
// The voltage is rounded to hundredths as text first, and the temperature is
// computed from that text read back, so every 0.01 V step is exactly one
// degree and every code gives a whole number of degrees. All number <-> text
// conversions here are explicit about the separator and never depend on the
// C library's global locale.

#include "number_format.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace measure {

inline constexpr double kFullScaleVolts = 5.083;
inline constexpr double kConverterSteps = 1024.0;
inline constexpr double kVoltsAtZeroCelsius = 2.73;
inline constexpr double kDegreesPerVolt = 100.0;

// (code x 5.083) / 1024 in double precision, multiplying first.
double voltageForCode(double sampleCode);

// At least one integer digit, no grouping, exactly two decimals, rounded to
// the nearest hundredth: 2.97832 -> "2.98" (or "2,98").
QString formatHundredths(double value, const NumberFormat& format);

// Reads back a number written with `format`'s separator; nothing else may
// surround it. Empty when the text is not such a number.
std::optional<double> parseNumber(QStringView text, const NumberFormat& format);

// A single-precision value with at most seven significant digits, no
// trailing zeros, no separator for whole numbers: 25.f -> "25", -6.f -> "-6".
QString singleToText(float value, const NumberFormat& format);

// The single-precision (v - 2.73) x 100 of the voltage text's value,
// computed in double precision before the one narrowing.
float temperatureFromVoltageText(QStringView voltageText, const NumberFormat& format);

QString voltageDisplayText(const QString& voltageText);         // "2.98 Вольт"
QString temperatureDisplayText(const QString& temperatureText); // "25 *C"

struct Conversion {
    QString VoltageText;        // "2.98"
    float Temperature = 0.0f;   // 25
    QString voltageDisplay;     // "2.98 Вольт"
    QString temperatureText;    // "25"
    QString temperatureDisplay; // "25 *C"
};

Conversion convertCode(double sampleCode, const NumberFormat& format);

} // namespace measure
