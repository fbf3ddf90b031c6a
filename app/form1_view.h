#pragma once
// What a window offers Form1: the two reading labels, the check box, the
// file name box, a view of List1 (which Form1 keeps), messages, and the
// ways to close and to end. Each front end's window implements it with its
// own controls; Form1 never sees them. Texts are UTF-8.

#include "recorded_list.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

class Form1View {
public:
    virtual ~Form1View() = default;

    virtual void setLabel1Caption(std::string_view text) = 0;
    virtual void setLabel3Caption(std::string_view text) = 0;
    // Only a tick records; unticked and dimmed do not.
    virtual bool check1Ticked() const = 0;
    // Text1's text as typed.
    virtual std::string text1Text() const = 0;
    // List1 has grown: its entries from `first` on are new. The view shows
    // them at its end, keeping its scroll position and selection. Throws
    // text::Error when it can show no more.
    virtual void list1Grew(const RecordedList& list, std::int32_t first) = 0;

    // A problem the user can put right: shown without blocking the caller,
    // the window stays usable.
    virtual void reportProblem(const std::string& text) = 0;
    // Tells the user `report` once, then ends the program with `status`.
    // The report may be shown before or after the call returns; Form1 has
    // stopped both timers by then and runs nothing more, so nothing can run
    // into a half-ended program meanwhile. Never throws: the program ends
    // even where the report cannot be shown.
    virtual void endWithReport(const std::string& report, int status) noexcept = 0;
    // Closes the window, which ends the program with status 0.
    virtual void closeWindow() = 0;
};

} // namespace app
