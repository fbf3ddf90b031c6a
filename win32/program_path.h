#pragma once
// The running program's own file: the thermometer saves beside it, and the
// chart looks for the journals there.

#include <string>

namespace win32ui {

// The full path, however long; empty if Windows will not say.
std::wstring programPath();

} // namespace win32ui
