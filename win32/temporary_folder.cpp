#include "temporary_folder.h"

#include "encoding_windows.h"
#include "message.h"

#include <windows.h>

namespace win32ui {
namespace {

// The full path with every component in its long form and no trailing
// backslash; as far as it goes where a part cannot be resolved.
std::wstring normalised(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = ::GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = ::GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
    }
    full.resize(length < full.size() ? length : 0);
    if (full.empty())
        full = path;
    std::wstring longForm(full.size() + MAX_PATH, L'\0');
    length = ::GetLongPathNameW(full.c_str(), longForm.data(), DWORD(longForm.size()));
    if (length > 0 && length < longForm.size()) {
        longForm.resize(length);
        full = longForm;
    }
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();
    return full;
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           ::CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

bool isInTemporaryFolder(const std::string& folder) {
    wchar_t temp[MAX_PATH + 1]{};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return false;
    const std::wstring parent = normalised(temp);
    const std::wstring child = normalised(text::toWide(folder));
    if (child.size() < parent.size() || !sameIgnoringCase(std::wstring_view(child).substr(0, parent.size()), parent))
        return false;
    // C:\Users\ann\AppData\Local\Temp2 is not inside ...\Temp.
    return child.size() == parent.size() || child[parent.size()] == L'\\' || parent.back() == L'\\';
}

std::optional<std::string> temporaryFolderWarning(const std::string& programDirectory) {
    if (!isInTemporaryFolder(programDirectory))
        return std::nullopt;
    return text::render(text::MessageId::TemporaryFolder, {programDirectory});
}

} // namespace win32ui
