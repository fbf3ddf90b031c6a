#pragma once
// Drives one second of Form1 as the timers would: Timer1's tick, then the
// keep-alive ticks that carry the read cycle, 1 ms apart on the fake
// runtime's clock, until the next Timer1 tick is due.

#include "fake_window.h"
#include "form1.h"

#include <chrono>

// False as soon as a handler has failed.
inline bool deliverSampleTicks(app::Form1& form, FakeRuntime& runtime) {
    if (!form.deliver(&app::Form1::OnSampleTimer))
        return false;
    for (int tick = 1; tick < 1000; ++tick) {
        runtime.now += std::chrono::milliseconds(1);
        if (!form.deliver(&app::Form1::OnKeepAliveTimer))
            return false;
    }
    runtime.now += std::chrono::milliseconds(1);
    return true;
}
