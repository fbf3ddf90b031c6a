// Form1 on ports that show DCD late or let it wander: what the window shows
// and records, and what the user is told.

#include "form1_bench.h"
#include "simulated_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace std::chrono_literals;

namespace {

// The converter on a line that, while `noisy`, flips DCD every few
// milliseconds whatever the program does: a loose wire, an open input.
class WanderingLine final : public serial::SerialLine {
public:
    explicit WanderingLine(const FakeRuntime& runtime) : runtime_(runtime) { line_.code = 600; }
    bool noisy = false;

    void Settings(std::string_view settings) override { line_.Settings(settings); }
    void CommPort(int number) override { line_.CommPort(number); }
    void PortOpen(bool open) override { line_.PortOpen(open); }
    void DTREnable(bool asserted) override { line_.DTREnable(asserted); }
    void RTSEnable(bool asserted) override { line_.RTSEnable(asserted); }
    bool CDHolding() override {
        const bool level = line_.CDHolding();
        const long long ms = (runtime_.now - std::chrono::steady_clock::time_point{}) / 1ms;
        return noisy && (ms * 7919 / 13) % 2 ? !level : level;
    }
    void Output(std::string_view text) override { line_.Output(text); }

private:
    const FakeRuntime& runtime_;
    RecordingLine line_;
};

// Form1 recording on a port made for the runtime whose clock it keeps.
struct PortBench {
    ScratchDir dir;
    FakeRuntime runtime;
    FakeWindow window;
    std::unique_ptr<app::Form1> form;

    explicit PortBench(const std::function<std::unique_ptr<serial::SerialLine>(FakeRuntime&)>& port) {
        runtime.directory = dir.path();
        form = std::make_unique<app::Form1>(port(runtime), window, runtime);
        EXPECT_TRUE(form->load());
        window.Check1 = true;
    }
    void run(int seconds) {
        for (int second = 0; second < seconds; ++second)
            deliverSampleTicks(*form, runtime);
    }
};

// The converter, reading `code`, behind an adapter on the runtime's clock.
std::unique_ptr<serial::SerialLine> adapterPort(FakeRuntime& runtime, simulation::Adapter adapter,
                                                const int& code) {
    adapter.clock = [&runtime] { return runtime.now; };
    adapter.spend = [&runtime](std::chrono::steady_clock::duration took) { runtime.now += took; };
    return std::make_unique<simulation::SimulatedPort>([&code] { return voltsFor(code); },
                                                       std::move(adapter));
}

} // namespace

TEST(Form1Port, ALineThatChangesOnItsOwnClearsTheReadingsRecordsNothingAndSaysSoOnce) {
    WanderingLine* line = nullptr;
    PortBench b([&](FakeRuntime& runtime) {
        auto port = std::make_unique<WanderingLine>(runtime);
        line = port.get();
        return port;
    });
    b.run(4);
    EXPECT_EQ(b.window.Label3, "25 *C");
    const std::size_t recorded = b.window.list.entries.size();
    EXPECT_GE(recorded, 2u);

    line->noisy = true;
    b.run(10);
    EXPECT_TRUE(b.window.Label1.empty() && b.window.Label3.empty());
    EXPECT_EQ(b.window.list.entries.size(), recorded);
    ASSERT_EQ(b.window.problems.size(), 1u);
    EXPECT_EQ(b.window.problems[0].rfind("DCD on port 1 changes", 0), 0u);

    line->noisy = false;
    b.run(6);
    EXPECT_EQ(b.window.Label3, "25 *C");
    EXPECT_GT(b.window.list.entries.size(), recorded);
    ASSERT_EQ(b.window.problems.size(), 2u);
    EXPECT_EQ(b.window.problems[1].rfind("Port 1 reads reliably again", 0), 0u);
}

TEST(Form1Port, ASlowAdapterIsReadRightEverySecondTickAndItsDelayIsAnnounced) {
    const int code = 600;
    simulation::Adapter adapter;
    adapter.lag = 150ms;
    adapter.setCall = 3ms;
    PortBench b([&](FakeRuntime& runtime) { return adapterPort(runtime, adapter, code); });
    b.run(24);
    ASSERT_FALSE(b.runtime.announced.empty());
    EXPECT_EQ(b.runtime.announced.back().rfind("port 1 answers within 15", 0), 0u);
    ASSERT_EQ(b.window.problems.size(), 1u);
    EXPECT_NE(b.window.problems[0].find("every 2 seconds"), std::string::npos);
    // Every second tick from the first reading on, each of them right.
    EXPECT_GE(b.window.list.entries.size(), 9u);
    EXPECT_LE(b.window.list.entries.size(), 12u);
    for (const std::string& entry : b.window.list.entries)
        EXPECT_EQ(entry, "25    14:03:07");
}

TEST(Form1Port, AReadStillMeasuringAtTheNextTickDoesNotCostThatTicksReading) {
    // DCD shown 10 to 26 ms late: while the delay is being learnt, a read
    // watches each clock edge for some 50 ms, and the second runs past the
    // third tick. That tick's reading comes once it ends.
    int code = 1023;
    simulation::Adapter adapter;
    adapter.lag = 10ms;
    adapter.period = 16ms;
    adapter.phase += 6ms;
    PortBench b([&](FakeRuntime& runtime) { return adapterPort(runtime, adapter, code); });
    b.run(1);
    code = 0;
    b.run(2);
    EXPECT_EQ(b.window.list.entries.size(), 3u);
}
