#include "unicode_text.h"

#include <algorithm>
#include <array>

namespace chart {
namespace {

// The zero of every run of ten decimal digits Unicode has (general category
// Nd), in ascending order.
constexpr std::array<char32_t, 68> kDigitZeros{
    0x30,    0x660,   0x6F0,   0x7C0,   0x966,   0x9E6,   0xA66,   0xAE6,   0xB66,   0xBE6,
    0xC66,   0xCE6,   0xD66,   0xDE6,   0xE50,   0xED0,   0xF20,   0x1040,  0x1090,  0x17E0,
    0x1810,  0x1946,  0x19D0,  0x1A80,  0x1A90,  0x1B50,  0x1BB0,  0x1C40,  0x1C50,  0xA620,
    0xA8D0,  0xA900,  0xA9D0,  0xA9F0,  0xAA50,  0xABF0,  0xFF10,  0x104A0, 0x10D30, 0x11066,
    0x110F0, 0x11136, 0x111D0, 0x112F0, 0x11450, 0x114D0, 0x11650, 0x116C0, 0x11730, 0x118E0,
    0x11950, 0x11C50, 0x11D50, 0x11DA0, 0x11F50, 0x16A60, 0x16AC0, 0x16B50, 0x1D7CE, 0x1D7D8,
    0x1D7E2, 0x1D7EC, 0x1D7F6, 0x1E140, 0x1E2F0, 0x1E4F0, 0x1E950, 0x1FBF0,
};

bool continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

char32_t decodeUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        ++at;
        return kNotUtf8;
    }
    if (at + length > text.size()) {
        ++at;
        return kNotUtf8;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!continuation(byte(k))) {
            ++at;
            return kNotUtf8;
        }
        c = (c << 6) | (byte(k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode's end are not UTF-8.
    if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++at;
        return kNotUtf8;
    }
    at += length;
    return c;
}

bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80)
            ++at;
        else if (decodeUtf8(text, at) == kNotUtf8)
            return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

int digitValue(char32_t c) {
    if (c < 0x80)
        return c >= '0' && c <= '9' ? int(c - '0') : -1;
    const auto after = std::upper_bound(kDigitZeros.begin(), kDigitZeros.end(), c);
    if (after == kDigitZeros.begin())
        return -1;
    const char32_t zero = *(after - 1);
    return c - zero < 10 ? int(c - zero) : -1;
}

bool isBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == 0xA0 || c == 0x2007 || c == 0x2009 || c == 0x202F;
}

std::string_view trimBlanks(std::string_view text) {
    // Every blank but the ASCII ones is two or three bytes in UTF-8, so the
    // ends are looked at code point by code point.
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t next = from;
        if (!isBlank(decodeUtf8(text, next)))
            break;
        from = next;
    }
    std::size_t to = text.size();
    while (to > from) {
        std::size_t start = to - 1;
        while (start > from && continuation(static_cast<unsigned char>(text[start])))
            --start;
        std::size_t next = start;
        if (!isBlank(decodeUtf8(text, next)) || next != to)
            break;
        to = start;
    }
    return text.substr(from, to - from);
}

} // namespace chart
