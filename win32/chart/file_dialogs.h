#pragma once
// The system's Open and Save As dialogs for the chart's files, in the
// catalogue's words. Paths are UTF-8; nothing where the user cancels.

#include "message_id.h"

#include <optional>
#include <string>

#include <windows.h>

namespace win32chart {

// A log or journal to show, starting in `folder`.
std::optional<std::string> askFileToOpen(HWND owner, const std::string& folder);

// Where to save: `suggested` is a full path; `extension` ("png") is added
// to a name typed without one, and a file that exists is asked about.
std::optional<std::string> askFileToSave(HWND owner, text::MessageId title, text::MessageId kind,
                                         const std::wstring& extension, const std::string& suggested);

} // namespace win32chart
