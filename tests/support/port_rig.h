#pragma once
// The read cycle on the simulated converter behind a simulated adapter, run
// as Form1 runs it: Timer1 every second, reads begun as often as the cycle
// says a reading fits, and the cycle stepped on keep-alive ticks about a
// millisecond apart, jittered, now and then one late as if several were
// merged. Every line call takes the adapter's time on the rig's clock.

#include "read_cycle.h"
#include "recording_line.h"
#include "simulated_port.h"

#include <chrono>
#include <functional>
#include <random>
#include <vector>

struct RigAdapter {
    std::chrono::microseconds lag{}, period{}, setCall{}, getCall{};
    simulation::DeselectedPin pin = simulation::DeselectedPin::Low;
};

class PortRig {
public:
    using Clock = serial::ReadCycle::Clock;

    // What each read came to, with the code the converter presented.
    struct Read {
        serial::ReadOutcome outcome;
        int presented;
        Clock::time_point startedAt, endedAt;
    };

    explicit PortRig(RigAdapter adapter, unsigned seed = 7);

    // The code the converter presents at the next select.
    int code = 600;
    // Called as each Timer1 tick begins a read: may change `code`, the
    // adapter's timing (port()), or anything else.
    std::function<void(int readIndex)> beforeRead;
    // Called on every keep-alive tick, before the cycle's step.
    std::function<void()> onTick;

    // Runs `seconds` of Timer1 ticks.
    void run(int seconds);

    simulation::SimulatedPort& port() { return port_; }
    serial::ReadCycle& cycle() { return cycle_; }
    const std::vector<Read>& reads() const { return reads_; }
    Clock::time_point now() const { return now_; }
    void pass(Clock::duration time) { now_ += time; }

private:
    void tick();

    Clock::time_point now_{};
    std::mt19937 random_;
    simulation::SimulatedPort port_;
    serial::ReadCycle cycle_;
    std::vector<Read> reads_;
    int ticksSinceRead_ = serial::DcdDelay::kMostPeriodsPerReading;
    int presented_ = 0;
    Clock::time_point readStarted_{};
    Clock::time_point nextTimer1_{};
};

inline PortRig::PortRig(RigAdapter adapter, unsigned seed)
    : random_(seed),
      port_([this] { return voltsFor(code); },
            simulation::Adapter{adapter.lag, adapter.period,
                                Clock::time_point{} + std::chrono::microseconds(random_() % 40000),
                                adapter.setCall, adapter.getCall, [this] { return now_; },
                                [this](Clock::duration d) { now_ += d; }},
            adapter.pin),
      cycle_([this] { return now_; }) {
    port_.Settings("1200,N,8,1");
    port_.CommPort(1);
    port_.PortOpen(true);
    port_.DTREnable(true);
    nextTimer1_ = now_;
}

inline void PortRig::tick() {
    // Mostly a millisecond apart, give or take; one in three hundred late by
    // up to 40 ms, as when a handler or the system held the thread.
    std::uniform_int_distribution<int> us(300, 2000), lateUs(3000, 40000);
    const bool late = std::bernoulli_distribution(1.0 / 300)(random_);
    now_ += std::chrono::microseconds(late ? lateUs(random_) : us(random_));
    if (onTick)
        onTick();
    if (const auto outcome = cycle_.step(port_))
        reads_.push_back({*outcome, presented_, readStarted_, now_});
}

inline void PortRig::run(int seconds) {
    for (int second = 0; second < seconds; ++second) {
        // Timer1 keeps its period, however late a tick is delivered.
        nextTimer1_ += std::chrono::seconds(1);
        ++ticksSinceRead_;
        const int periods = cycle_.delay().periodsPerReading();
        if (cycle_.canStart() &&
            ticksSinceRead_ >= (periods > 0 ? periods : serial::DcdDelay::kMostPeriodsPerReading)) {
            ticksSinceRead_ = 0;
            if (beforeRead)
                beforeRead(int(reads_.size()));
            // A read still making its last look ends on the new read's
            // first step.
            const int previous = presented_;
            const Clock::time_point previousStart = readStarted_;
            presented_ = code;
            readStarted_ = now_;
            cycle_.start();
            if (const auto outcome = cycle_.step(port_))
                reads_.push_back({*outcome, previous, previousStart, now_});
        }
        while (now_ < nextTimer1_)
            tick();
    }
}
