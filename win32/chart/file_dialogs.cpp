#include "file_dialogs.h"

#include "encoding_windows.h"
#include "message.h"

#include <commdlg.h>

namespace win32chart {
namespace {

// Room for a long path (\\?\ and up to 32 767 characters).
constexpr std::size_t kPathRoom = 32768;

// "Caption\0*.a;*.b\0" pairs, as the dialogs take them, ended by an empty one.
std::wstring filterOf(std::initializer_list<std::pair<text::MessageId, const wchar_t*>> kinds) {
    std::wstring filter;
    for (const auto& [caption, patterns] : kinds) {
        filter += text::toWide(text::render(caption)) + L" (" + patterns + L")";
        filter.push_back(L'\0');
        filter += patterns;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

// What both dialogs are given; the strings must outlive the dialog.
OPENFILENAMEW dialogFor(HWND owner, const std::wstring& filter, const std::wstring& title, std::wstring& buffer,
                        DWORD flags) {
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = DWORD(buffer.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = flags | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    return dialog;
}

std::optional<std::string> chosen(BOOL answered, const std::wstring& buffer) {
    if (!answered)
        return std::nullopt;  // cancelled, or the dialog failed: nothing to do either way
    return text::toUtf8(std::wstring_view(buffer.c_str()));
}

} // namespace

std::optional<std::string> askFileToOpen(HWND owner, const std::string& folder) {
    const std::wstring filter = filterOf({{text::MessageId::ChartLogFiles, L"*.txt;*.journal"},
                                          {text::MessageId::ChartAllFiles, L"*.*"}});
    const std::wstring title = text::toWide(text::render(text::MessageId::ChartOpenTitle));
    const std::wstring start = text::toWide(folder);
    std::wstring buffer(kPathRoom, L'\0');
    OPENFILENAMEW dialog = dialogFor(owner, filter, title, buffer, OFN_FILEMUSTEXIST);
    dialog.lpstrInitialDir = start.c_str();
    return chosen(::GetOpenFileNameW(&dialog), buffer);
}

std::optional<std::string> askFileToSave(HWND owner, text::MessageId title, text::MessageId kind,
                                         const std::wstring& extension, const std::string& suggested) {
    const std::wstring pattern = L"*." + extension;
    const std::wstring filter = filterOf({{kind, pattern.c_str()}});
    const std::wstring caption = text::toWide(text::render(title));
    const std::wstring suggestion = text::toWide(suggested);
    std::wstring buffer(kPathRoom, L'\0');
    buffer.replace(0, std::min(suggestion.size(), kPathRoom - 1), suggestion);
    OPENFILENAMEW dialog = dialogFor(owner, filter, caption, buffer, OFN_OVERWRITEPROMPT);
    dialog.lpstrDefExt = extension.c_str();
    return chosen(::GetSaveFileNameW(&dialog), buffer);
}

} // namespace win32chart
