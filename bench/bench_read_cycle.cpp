// One read cycle: 32 line operations and the code they spell.

#include "counting_line.h"
#include "keep_alive.h"
#include "read_cycle.h"
#include "simulated_port.h"

#include <benchmark/benchmark.h>
#include <stdexcept>

namespace {

// The 32 calls back to back: the cost of the calls themselves, without the
// waits the program spreads them over.
serial::SampleBits readAtOnce(serial::SerialLine& line) {
    serial::ReadCycle cycle(serial::ReadCycle::Clock::duration::zero());
    cycle.start();
    for (;;)
        if (const auto bits = cycle.step(line, {}))
            return *bits;
}

void BM_ReadCycle_CountingLine(benchmark::State& state) {
    CountingLine line;
    for (auto _ : state) {
        const auto bits = readAtOnce(line);
        benchmark::DoNotOptimize(serial::sampleCode(bits));
    }
    const double cycles = double(state.iterations());
    state.counters["line_calls_per_cycle"] = double(line.lineCalls) / cycles;
    if (line.lineCalls != 32 * std::uint64_t(state.iterations()))
        state.SkipWithError("a read cycle did not make exactly 32 line calls");
}
BENCHMARK(BM_ReadCycle_CountingLine);

void BM_ReadCycle_SimulatedPort(benchmark::State& state) {
    double volts = 2.98;
    serial::SimulatedPort port([&volts] { return volts; });
    port.Settings("1200,N,8,1");
    port.CommPort(1);
    port.PortOpen(true);
    port.DTREnable(true);
    const double expected = serial::ConverterChip::codeFor(volts);
    for (auto _ : state) {
        const double code = serial::sampleCode(readAtOnce(port));
        benchmark::DoNotOptimize(code);
        if (code != expected) {
            state.SkipWithError("the simulated converter read back a different code");
            break;
        }
    }
}
BENCHMARK(BM_ReadCycle_SimulatedPort);

void BM_KeepAlive_CountingLine(benchmark::State& state) {
    CountingLine line;
    for (auto _ : state)
        serial::sendKeepAlive(line);
    benchmark::DoNotOptimize(line.bytesOut);
}
BENCHMARK(BM_KeepAlive_CountingLine);

} // namespace
