#include "legacy_text.h"

#include "unicode_text.h"

namespace chart {

std::string legacyToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char byte : bytes)
        appendUtf8(text, static_cast<unsigned char>(byte));
    return text;
}

} // namespace chart
