#pragma once
// A repeating timer as Form1 uses it. The front end makes them (Runtime::
// makeTimer) from its own event loop's means; whatever they are, a timer
// keeps its period, each tick due a whole number of intervals after the
// start however long the previous handler took, and delivers its ticks from
// the event loop, one at a time, never while another handler runs. Ticks
// that fall due meanwhile are merged into one.

namespace app {

class Timer {
public:
    virtual ~Timer() = default;

    // Both throw text::Error when the OS refuses.
    virtual void start() = 0;
    virtual void stop() = 0;
};

} // namespace app
