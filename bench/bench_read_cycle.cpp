// The read cycle on its own: what a whole read costs in the program's own
// work, and how many line calls it makes once it has learnt the port, on a
// prompt port and on one whose DCD reads each take a millisecond.

#include "counting_line.h"
#include "keep_alive.h"
#include "read_cycle.h"
#include "simulated_port.h"

#include <benchmark/benchmark.h>

namespace {

using Clock = serial::ReadCycle::Clock;

// Reads once a second on 1 ms ticks of a clock the bench moves: the first
// ten seconds to learn the port, then the timed ones. Counts line calls.
template <class Line>
void readSeconds(benchmark::State& state, Line& line, Clock::time_point& now,
                 const std::function<std::uint64_t()>& calls) {
    serial::ReadCycle cycle([&now] { return now; });
    std::int64_t readings = 0;
    const auto second = [&] {
        cycle.start();
        for (int tick = 0; tick < 1000; ++tick) {
            if (const auto outcome = cycle.step(line))
                readings += outcome->result == serial::ReadResult::Reading;
            now += std::chrono::milliseconds(1);
        }
    };
    for (int learning = 0; learning < 10; ++learning)
        second();
    const std::uint64_t callsBefore = calls();
    readings = 0;
    for (auto _ : state)
        second();
    state.counters["line_calls_per_cycle"] = double(calls() - callsBefore) / double(state.iterations());
    state.counters["readings_per_cycle"] = double(readings) / double(state.iterations());
}

void BM_ReadSecond_PromptPort(benchmark::State& state) {
    CountingLine line;
    line.PortOpen(true);
    Clock::time_point now{};
    readSeconds(state, line, now, [&line] { return line.lineCalls; });
}
BENCHMARK(BM_ReadSecond_PromptPort);

void BM_ReadSecond_ReadsTakeAMillisecond(benchmark::State& state) {
    Clock::time_point now{};
    simulation::Adapter adapter;
    adapter.getCall = std::chrono::milliseconds(1);
    adapter.clock = [&now] { return now; };
    adapter.spend = [&now](Clock::duration took) { now += took; };
    simulation::SimulatedPort port([] { return 2.98; }, std::move(adapter));
    port.PortOpen(true);
    readSeconds(state, port, now, [&port] { return port.lineCalls(); });
}
BENCHMARK(BM_ReadSecond_ReadsTakeAMillisecond);

void BM_KeepAlive_CountingLine(benchmark::State& state) {
    CountingLine line;
    for (auto _ : state)
        serial::sendKeepAlive(line);
    benchmark::DoNotOptimize(line.bytesOut);
}
BENCHMARK(BM_KeepAlive_CountingLine);

} // namespace
