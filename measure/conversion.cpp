#include "conversion.h"

#include <array>
#include <charconv>
#include <string>

namespace measure {
namespace {

// Swaps the C-style '.' of to_chars output for the locale's separator.
QString withSeparator(const char* begin, const char* end, const NumberFormat& format) {
    QString text = QString::fromLatin1(begin, end - begin);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.replace(dot, 1, format.decimalSeparator);
    return text;
}

} // namespace

double voltageForCode(double sampleCode) {
    return (sampleCode * kFullScaleVolts) / kConverterSteps;
}

QString formatHundredths(double value, const NumberFormat& format) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    return withSeparator(buffer.data(), result.ptr, format);
}

std::optional<double> parseNumber(QStringView text, const NumberFormat& format) {
    QString plain = text.toString();
    if (format.decimalSeparator != QLatin1String(".")) {
        // Where the point is not the separator it means something else
        // (often digit grouping): such text is not one of ours.
        if (plain.contains(QLatin1Char('.')))
            return std::nullopt;
        plain.replace(format.decimalSeparator, QLatin1String("."));
    }
    const std::string bytes = plain.toStdString();
    double value = 0.0;
    const char* end = bytes.data() + bytes.size();
    const auto [ptr, ec] = std::from_chars(bytes.data(), end, value);
    if (bytes.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

QString singleToText(float value, const NumberFormat& format) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 7);
    return withSeparator(buffer.data(), result.ptr, format);
}

float temperatureFromVoltageText(QStringView voltageText, const NumberFormat& format) {
    // The text always comes from formatHundredths, so it always reads back.
    const double volts = parseNumber(voltageText, format).value_or(0.0);
    return static_cast<float>((volts - kVoltsAtZeroCelsius) * kDegreesPerVolt);
}

QString voltageDisplayText(const QString& voltageText) {
    return voltageText + QStringLiteral(" Вольт");
}

QString temperatureDisplayText(const QString& temperatureText) {
    return temperatureText + QStringLiteral(" *C");
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
