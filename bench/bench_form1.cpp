// The window's two timer handlers as the timers run them, on a counting
// port: everything but the event loop and the system calls.

#include "counting_line.h"
#include "form1.h"
#include "reading_log.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class BenchRuntime final : public Runtime {
public:
    QString programDirectory() const override { return dir_.path(); }
    QTime timeOfDay() const override { return QTime::currentTime(); }
    measure::NumberFormat numberFormat() const override { return {}; }
    void reportFatal(const QString& report) override { fatal = report; }
    void reportProblem(QWidget*, const QString& text) override { problem = text; }
    void endProgram(int) override {}

    QString fatal;
    QString problem;

private:
    QTemporaryDir dir_;
};

// Both handlers are timed on a window just as the program shows it: built on
// a counting port and loaded. Skipped with an error when it does not load.
template <class Body>
void withLoadedForm(benchmark::State& state, Body body) {
    BenchRuntime runtime;
    auto port = std::make_unique<CountingLine>();
    CountingLine& line = *port;
    Form1 form(std::move(port), runtime);
    if (!form.load()) {
        state.SkipWithError("the window did not load");
        return;
    }
    body(form, line, runtime);
}

void sampleTicks(benchmark::State& state, bool recording) {
    withLoadedForm(state, [&](Form1& form, CountingLine& line, BenchRuntime& runtime) {
        form.controls().Check1->setCheckState(recording ? Qt::Checked : Qt::Unchecked);
        const auto callsBefore = line.lineCalls;
        for (auto _ : state)
            form.OnSampleTimer();
        state.counters["line_calls_per_cycle"] =
            double(line.lineCalls - callsBefore) / double(state.iterations());
        if (recording && form.controls().log->ListCount() != int(state.iterations()))
            state.SkipWithError("a recorded reading went missing");
        if (!runtime.fatal.isEmpty())
            state.SkipWithError(runtime.fatal.toStdString().c_str());
    });
}

void BM_SampleTimerTick(benchmark::State& state) { sampleTicks(state, false); }
BENCHMARK(BM_SampleTimerTick);

void BM_SampleTimerTickRecording(benchmark::State& state) { sampleTicks(state, true); }
BENCHMARK(BM_SampleTimerTickRecording);

void BM_KeepAliveTimerTick(benchmark::State& state) {
    withLoadedForm(state, [&](Form1& form, CountingLine& line, BenchRuntime&) {
        for (auto _ : state)
            form.OnKeepAliveTimer();
        state.counters["bytes_per_tick"] = double(line.bytesOut) / double(state.iterations());
    });
}
BENCHMARK(BM_KeepAliveTimerTick);

} // namespace
