// The window's two timer handlers as the timers run them, on a counting
// port: everything but the event loop and the system calls.

#include "counting_line.h"
#include "form1_window.h"
#include "list1_rows.h"
#include "qt_runtime.h"
#include "stepped_clock_runtime.h"

#include <benchmark/benchmark.h>

namespace {

// Both handlers are timed on the Qt window just as the program shows it,
// with the program's own runtime services: built on a counting port and
// loaded. Skipped with an error when it does not load.
template <class Body>
void withLoadedForm(benchmark::State& state, Body body) {
    qtui::QtRuntime real;
    SteppedClockRuntime runtime(real);
    runtime.directory = real.programDirectory();
    auto port = std::make_unique<CountingLine>();
    CountingLine& line = *port;
    qtui::Form1Window window(std::move(port), runtime);
    if (!window.form().load()) {
        state.SkipWithError("the window did not load");
        return;
    }
    body(window, line, runtime);
}

// One second of the program: Timer1's tick and the thousand keep-alive
// ticks that carry its read and its keep-alive bytes.
void sampleSeconds(benchmark::State& state, bool recording) {
    withLoadedForm(state, [&](qtui::Form1Window& window, CountingLine& line,
                              SteppedClockRuntime& runtime) {
        window.controls().Check1->setCheckState(recording ? Qt::Checked : Qt::Unchecked);
        const auto callsBefore = line.lineCalls;
        for (auto _ : state) {
            window.form().OnSampleTimer();
            for (int tick = 0; tick < 1000; ++tick) {
                runtime.now += std::chrono::milliseconds(1);
                window.form().OnKeepAliveTimer();
            }
        }
        state.counters["line_calls_per_cycle"] =
            double(line.lineCalls - callsBefore) / double(state.iterations());
        if (recording && window.form().List1().ListCount() != int(state.iterations()))
            state.SkipWithError("a recorded reading went missing");
    });
}

void BM_SampleSecond(benchmark::State& state) { sampleSeconds(state, false); }
BENCHMARK(BM_SampleSecond);

void BM_SampleSecondRecording(benchmark::State& state) { sampleSeconds(state, true); }
BENCHMARK(BM_SampleSecondRecording);

// A keep-alive tick between reads.
void BM_KeepAliveTimerTick(benchmark::State& state) {
    withLoadedForm(state, [&](qtui::Form1Window& window, CountingLine& line, SteppedClockRuntime&) {
        for (auto _ : state)
            window.form().OnKeepAliveTimer();
        state.counters["bytes_per_tick"] = double(line.bytesOut) / double(state.iterations());
    });
}
BENCHMARK(BM_KeepAliveTimerTick);

} // namespace
