#include "legacy_text.h"

#include "encoding_windows.h"

namespace chart {

std::string legacyToUtf8(std::string_view bytes) {
    return text::ansiCodePageToUtf8(bytes);
}

} // namespace chart
