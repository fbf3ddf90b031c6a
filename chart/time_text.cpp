#include "time_text.h"

#include "unicode_text.h"

#include <array>

namespace chart {
namespace {

constexpr std::size_t kMostCodePoints = 64;
constexpr std::size_t kLongestSeparator = 8;

struct CodePoint {
    char32_t c;
    std::size_t byte;  // where it starts in the text
};

struct Number {
    std::size_t first, end;  // code point indices
    int value;
};

bool isSign(char32_t c) {
    return c == '+' || c == '-' || c == 0x2212;
}

bool isAsciiDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

// A signed ASCII number of two or four digits standing on its own after
// a blank or at an end: a time zone ("+0300"), not a part of the time.
bool isZone(const std::array<CodePoint, kMostCodePoints>& cps, std::size_t count, const Number& n) {
    const std::size_t digits = n.end - n.first;
    if (n.first == 0 || !isSign(cps[n.first - 1].c) || (digits != 2 && digits != 4))
        return false;
    for (std::size_t k = n.first; k < n.end; ++k)
        if (!isAsciiDigit(cps[k].c))
            return false;
    const bool standsAlone = n.first == 1 || isBlank(cps[n.first - 2].c);
    return standsAlone && (n.end == count || isBlank(cps[n.end].c));
}

} // namespace

std::optional<TimeText> parseTimeText(std::string_view text) {
    std::array<CodePoint, kMostCodePoints> cps{};
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (count == kMostCodePoints)
            return std::nullopt;
        const std::size_t start = at;
        const char32_t c = decodeUtf8(text, at);
        if (c == kNotUtf8 || c < 0x20)
            return std::nullopt;
        cps[count++] = {c, start};
    }

    std::array<Number, 3> numbers{};
    std::size_t found = 0;
    for (std::size_t i = 0; i < count;) {
        if (digitValue(cps[i].c) < 0) {
            ++i;
            continue;
        }
        Number n{i, i, 0};
        while (n.end < count && digitValue(cps[n.end].c) >= 0)
            n.value = n.value * 10 + digitValue(cps[n.end++].c);
        i = n.end;
        if (isZone(cps, count, n))
            continue;
        if (found == numbers.size() || n.end - n.first > 2)
            return std::nullopt;
        numbers[found++] = n;
    }
    if (found < 2)
        return std::nullopt;
    for (std::size_t k = 1; k < found; ++k)
        if (numbers[k].first - numbers[k - 1].end > kLongestSeparator)
            return std::nullopt;

    TimeText time;
    time.hour = numbers[0].value;
    time.minute = numbers[1].value;
    time.second = found == 3 ? numbers[2].value : 0;
    if (time.hour > 23 || time.minute > 59 || time.second > 60)
        return std::nullopt;

    const auto byteAt = [&](std::size_t index) { return index < count ? cps[index].byte : text.size(); };
    const std::string_view before = trimBlanks(text.substr(0, byteAt(numbers[0].first)));
    const std::string_view after = trimBlanks(text.substr(byteAt(numbers[found - 1].end)));
    time.frame.reserve(before.size() + 1 + after.size());
    time.frame.append(before).append(1, kFrameJoint).append(after);
    return time;
}

} // namespace chart
