#pragma once
// The chart's menu bar and its keyboard accelerators, both made from the
// core's menus(): captions from the catalogue in the user's language, each
// entry's shortcut shown beside it and working from the keyboard.

#include "chart.h"

#include <optional>

#include <windows.h>

namespace win32chart {

// The menu bar; each entry's WM_COMMAND id is commandId(entry.command).
HMENU makeChartMenu();
// The accelerator table for the same shortcuts; the caller destroys it.
HACCEL makeChartAccelerators();

WORD commandId(chart::Command command);
std::optional<chart::Command> commandOf(WORD id);

// One shortcut as an accelerator: "Ctrl+O", "Home", "+" (a character,
// whichever key types it). Nothing for a shortcut it does not know.
std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD id);

} // namespace win32chart
