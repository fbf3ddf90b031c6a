#pragma once
// Drives one reading through Form1 as the timers would: Timer1's tick, then
// the keep-alive ticks that carry the read cycle, 1 ms apart on the fake
// runtime's clock, for the third of a second in which a reading is shown.

#include "fake_window.h"
#include "form1.h"

#include <chrono>
#include <deque>

// DCD answers that read as `code`, most significant bit first.
inline std::deque<bool> dcdFor(int code) {
    std::deque<bool> bits;
    for (int k = 9; k >= 0; --k)
        bits.push_back((code >> k) & 1);
    return bits;
}

// False as soon as a handler has failed.
inline bool deliverSampleTicks(app::Form1& form, FakeRuntime& runtime) {
    if (!form.deliver(&app::Form1::OnSampleTimer))
        return false;
    for (int tick = 0; tick < 300; ++tick) {
        runtime.now += std::chrono::milliseconds(1);
        if (!form.deliver(&app::Form1::OnKeepAliveTimer))
            return false;
    }
    return true;
}
