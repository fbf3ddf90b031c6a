#include "conversion.h"

#include <array>
#include <charconv>

namespace measure {
namespace {

// Swaps the C-style '.' of to_chars output for the locale's separator.
std::string withSeparator(const char* begin, const char* end, const NumberFormat& format) {
    std::string text(begin, end);
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, format.decimalSeparator);
    return text;
}

} // namespace

double voltageForCode(double sampleCode) {
    return (sampleCode * kFullScaleVolts) / kConverterSteps;
}

std::string formatHundredths(double value, const NumberFormat& format) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    return withSeparator(buffer.data(), result.ptr, format);
}

std::optional<double> parseNumber(std::string_view text, const NumberFormat& format) {
    std::string plain(text);
    if (format.decimalSeparator != ".") {
        // Where the point is not the separator it means something else
        // (often digit grouping): such text is not one of ours.
        if (plain.find('.') != std::string::npos)
            return std::nullopt;
        if (const auto at = plain.find(format.decimalSeparator); at != std::string::npos)
            plain.replace(at, format.decimalSeparator.size(), ".");
    }
    double value = 0.0;
    const char* end = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(plain.data(), end, value);
    if (plain.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::string singleToText(float value, const NumberFormat& format) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 7);
    return withSeparator(buffer.data(), result.ptr, format);
}

float temperatureFromVoltageText(std::string_view voltageText, const NumberFormat& format) {
    // The text always comes from formatHundredths, so it always reads back.
    const double volts = parseNumber(voltageText, format).value_or(0.0);
    return static_cast<float>((volts - kVoltsAtZeroCelsius) * kDegreesPerVolt);
}

std::string voltageDisplayText(std::string_view voltageText) {
    return std::string(voltageText) + " Вольт";
}

std::string temperatureDisplayText(std::string_view temperatureText) {
    return std::string(temperatureText) + " *C";
}

Conversion convertCode(double sampleCode, const NumberFormat& format) {
    Conversion c;
    c.VoltageText = formatHundredths(voltageForCode(sampleCode), format);
    c.Temperature = temperatureFromVoltageText(c.VoltageText, format);
    c.voltageDisplay = voltageDisplayText(c.VoltageText);
    c.temperatureText = singleToText(c.Temperature, format);
    c.temperatureDisplay = temperatureDisplayText(c.temperatureText);
    return c;
}

} // namespace measure
