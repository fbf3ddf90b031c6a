#pragma once
// The chart's event loop: the window's messages, its menu's keys, and the
// folder watch's word of a change, all waited for at once. Between them the
// program sleeps.

#include "folder_watch.h"

#include <functional>

#include <windows.h>

namespace win32chart {

// Runs until WM_QUIT and returns its exit code; `onFolderChanged` runs
// whenever the watched folder reports a change.
int runChartLoop(HWND window, HACCEL accelerators, FolderWatch& watch, const std::function<void()>& onFolderChanged);

} // namespace win32chart
