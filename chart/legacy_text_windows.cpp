#include "legacy_text.h"

#include "windows_encoding.h"

#include <windows.h>

namespace chart {

std::string legacyToUtf8(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), wide.data(), length);
    return text::toUtf8(wide);
}

}  // namespace chart
