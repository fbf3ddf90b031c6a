#include "port_settings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace serial {
namespace {

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = text.find(',');
        fields.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            return fields;
        text.remove_prefix(comma + 1);
    }
}

std::optional<int> wholeNumber(std::string_view field) {
    int value = 0;
    const auto* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<Parity> parity(std::string_view field) {
    if (field.size() != 1)
        return std::nullopt;
    switch (field.front()) {
    case 'N': case 'n': return Parity::None;
    case 'E': case 'e': return Parity::Even;
    case 'O': case 'o': return Parity::Odd;
    case 'M': case 'm': return Parity::Mark;
    case 'S': case 's': return Parity::Space;
    default: return std::nullopt;
    }
}

std::optional<StopBits> stopBits(std::string_view field) {
    if (field == "1") return StopBits::One;
    if (field == "1.5") return StopBits::OneAndHalf;
    if (field == "2") return StopBits::Two;
    return std::nullopt;
}

constexpr std::array kBaudRates{110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                                19200, 28800, 38400, 57600, 115200};

} // namespace

std::optional<PortSettings> parsePortSettings(std::string_view text) {
    const auto fields = splitFields(text);
    if (fields.size() != 4)
        return std::nullopt;
    const auto baud = wholeNumber(fields[0]);
    const auto par = parity(fields[1]);
    const auto bits = wholeNumber(fields[2]);
    const auto stop = stopBits(fields[3]);
    if (!baud || std::find(kBaudRates.begin(), kBaudRates.end(), *baud) == kBaudRates.end())
        return std::nullopt;
    if (!par || !bits || *bits < 5 || *bits > 8 || !stop)
        return std::nullopt;
    return PortSettings{*baud, *par, *bits, *stop};
}

} // namespace serial
