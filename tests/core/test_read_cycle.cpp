// The converter read cycle: the edges of a read, and the codes read through
// adapters that show DCD late, take their time over each call, change their
// timing while running, or leave the data pin to itself between reads.

#include "port_rig.h"
#include "port_settings.h"
#include "read_cycle.h"
#include "recording_line.h"
#include "simulated_port.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::chrono_literals;
using serial::ReadResult;
using simulation::DeselectedPin;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using Clock = serial::ReadCycle::Clock;

namespace {

std::vector<std::string> expectedEdges() {
    std::vector<std::string> edges{"DTR 0"};
    for (int k = 0; k < 9; ++k)
        edges.insert(edges.end(), {"RTS 1", "RTS 0"});
    edges.insert(edges.end(), {"RTS 1", "DTR 1", "RTS 0"});
    return edges;
}

// A read of `code` on the recording line, stepped exactly every
// millisecond: its calls, and what it came to.
struct SteppedRead {
    std::vector<std::string> calls;
    serial::ReadOutcome outcome;
};

SteppedRead readOnRecordingLine(RecordingLine& line, serial::ReadCycle& cycle, Clock::time_point& now,
                                int code) {
    line.code = code;
    line.calls.clear();
    cycle.start();
    for (;;) {
        const std::size_t before = line.calls.size();
        const auto outcome = cycle.step(line);
        // One call a tick, but for a bit read and the edge that follows it.
        if (line.calls.size() > before + 1) {
            EXPECT_EQ(line.calls.size(), before + 2);
            EXPECT_EQ(line.calls[before], "DCD?");
        }
        now += 1ms;
        if (outcome)
            return {line.calls, *outcome};
    }
}

std::vector<std::string> edgesOf(const std::vector<std::string>& calls) {
    std::vector<std::string> edges;
    for (const std::string& call : calls)
        if (call != "DCD?")
            edges.push_back(call);
    return edges;
}

} // namespace

TEST(ReadCycle, EveryReadMakesTheEdgesInOrderAndReadsTheMostSignificantBitFirst) {
    RecordingLine line;
    line.PortOpen(true);
    Clock::time_point now{};
    serial::ReadCycle cycle([&now] { return now; });
    for (const int code : {600, 0, 1023, 512, 1, 641, 600, 600}) {
        SCOPED_TRACE(code);
        const SteppedRead read = readOnRecordingLine(line, cycle, now, code);
        EXPECT_EQ(edgesOf(read.calls), expectedEdges());
        ASSERT_EQ(read.outcome.result, ReadResult::Reading);
        EXPECT_EQ(serial::sampleCode(read.outcome.bits), code);
        now += 700ms;
    }
    // Once learnt, a prompt port costs at most ten looks more than the
    // 22 edges and one look per bit.
    EXPECT_LE(readOnRecordingLine(line, cycle, now, 600).calls.size(), 42u);
    EXPECT_LT(cycle.delay().longest(), 3ms);
}

TEST(ReadCycle, AFailingCallStopsTheReadWhereItFailed) {
    RecordingLine line;
    line.PortOpen(true);
    line.calls.clear();
    line.failAtCall(1);  // the select, after the look at DCD
    Clock::time_point now{};
    serial::ReadCycle cycle([&now] { return now; });
    cycle.start();
    EXPECT_THROW(while (!cycle.step(line)) now += 1ms, text::Error);
    EXPECT_EQ(line.calls, (std::vector<std::string>{"DCD?", "DTR 0 failed"}));
}

// Each adapter, read for a while with the code sweeping the whole range:
// no reading differs from what the converter presented, and readings come
// as often as a reading's length allows, but for the few reads that go to
// learning the port and those a stalled tick leaves in doubt.
TEST(ReadCycle, ReadsRightThroughSlowAdaptersAsOftenAsTheyAllow) {
    const DeselectedPin pins[] = {DeselectedPin::Low, DeselectedPin::KeepsLastBit, DeselectedPin::Floats};
    unsigned seed = 1;
    for (const int delayMs : {4, 20, 60, 90, 150, 250})
        for (const int callMs : {0, 3, 8})
            for (const bool refreshed : {false, true}) {
                // A copy refreshed every period, each refresh some way
                // behind: together up to the delay.
                const microseconds delay = milliseconds(delayMs);
                const microseconds period = refreshed ? std::min<microseconds>(delay / 2, 40ms) : 0us;
                SCOPED_TRACE(testing::Message() << delayMs << " ms, calls " << callMs << " ms"
                                                << (refreshed ? ", refreshed" : ""));
                PortRig rig({delay - period, period, milliseconds(callMs), 0us, pins[seed % 3]}, seed);
                const int start = int(std::mt19937(++seed)() % 1024);
                rig.beforeRead = [&](int index) { rig.code = (start + 37 * index) % 1024; };
                // A reading takes about ten times the wait, an edge call and
                // half a tick: one, two or three Timer1 periods.
                const int periods = delayMs <= 60 || (delayMs == 90 && callMs == 0 && !refreshed) ? 1
                                    : delayMs <= 150 ? 2 : 3;
                const int seconds = 40 * periods;
                rig.run(seconds);
                int readings = 0;
                for (const PortRig::Read& read : rig.reads()) {
                    if (read.outcome.result != ReadResult::Reading)
                        continue;
                    ++readings;
                    ASSERT_EQ(serial::sampleCode(read.outcome.bits), read.presented);
                }
                EXPECT_EQ(rig.cycle().delay().periodsPerReading(), periods);
                EXPECT_GE(readings, 32) << rig.reads().size() << " reads";
            }
}

// Every code once, through the adapters the end-to-end tests and the bench
// use: a code read wrong is never shown, one left in doubt is read again.
TEST(ReadCycle, EveryCodeReadsRightThroughTheAdaptersOfTheBench) {
    const RigAdapter adapters[] = {
        {20ms, 0us, 0us, 0us, DeselectedPin::Low},            // held 20 ms
        {10ms, 40ms, 3ms, 0us, DeselectedPin::KeepsLastBit},  // refreshed every 40 ms, 10 ms old
        {0us, 0us, 1ms, 1ms, DeselectedPin::Floats},          // asks the chip on each call
    };
    for (const RigAdapter& adapter : adapters) {
        PortRig rig(adapter, 11);
        int code = 0;
        rig.beforeRead = [&](int) {
            const auto& reads = rig.reads();
            if (!reads.empty() && reads.back().outcome.result == ReadResult::Reading)
                code = reads.back().presented + 1;
            rig.code = code % 1024;
        };
        while (code < 1024 && rig.reads().size() < 1300)
            rig.run(1);
        for (const PortRig::Read& read : rig.reads()) {
            if (read.outcome.result == ReadResult::Reading) {
                ASSERT_EQ(serial::sampleCode(read.outcome.bits), read.presented);
            }
        }
        EXPECT_GE(code, 1024) << rig.reads().size() << " reads";
    }
}

// The delay grows from 4 to 60 ms, between reads or in the middle of one.
// The select moves DCD in every read here, so the first read after the
// growth sees it there and waits it out: no reading is wrong but the one
// under way when it came, which may be, and then not shown either.
TEST(ReadCycle, ADelayThatGrowsShowsAtTheNextSelectAndNoReadingAfterItIsWrong) {
    for (const int growsAtMs : {20000, 20100, 20170}) {
        SCOPED_TRACE(growsAtMs);
        PortRig rig({4ms, 0us, 0us, 0us, DeselectedPin::Low});
        rig.beforeRead = [&](int index) { rig.code = 600 + index % 50; };
        const Clock::time_point growth = Clock::time_point{} + milliseconds(growsAtMs);
        rig.onTick = [&] {
            if (rig.now() >= growth && rig.now() < growth + 2ms)
                rig.port().retimeAdapter(60ms, 0ms);
        };
        rig.run(40);
        int wrong = 0;
        for (const PortRig::Read& read : rig.reads()) {
            if (read.outcome.result != ReadResult::Reading)
                continue;
            const bool right = serial::sampleCode(read.outcome.bits) == read.presented;
            EXPECT_TRUE(right || read.startedAt < growth) << "read from " << read.startedAt.time_since_epoch() / 1ms;
            wrong += !right;
        }
        EXPECT_LE(wrong, 1);
        EXPECT_GE(rig.cycle().delay().longest(), 60ms);
        EXPECT_EQ(rig.reads().back().outcome.result, ReadResult::Reading);
    }
}

// The read as it was before it learnt from the line: one call a tick, each
// bit read 21 ms after the tick whose call made its edge began, so the
// call's own time came out of the wait.
TEST(ReadCycle, AFixedWaitReadsWrongOnceDelayAndCallTogetherPassTwentyMilliseconds) {
    struct Case { int delayMs, callMs; };
    std::vector<Case> cases;
    for (const int delay : {4, 20, 60, 90, 150, 250})
        for (const int call : {0, 3, 8})
            if (delay + call > 20)
                cases.push_back({delay, call});
    for (const Case c : cases) {
        SCOPED_TRACE(testing::Message() << c.delayMs << " + " << c.callMs);
        PortRig rig({milliseconds(c.delayMs), 0us, milliseconds(c.callMs), 0us, DeselectedPin::Low});
        simulation::SimulatedPort& port = rig.port();
        Clock::time_point tick = rig.now();
        const auto nextTick = [&] {
            rig.pass(1ms);
            tick = rig.now();
        };
        int wrong = 0;
        for (int code = 0; code < 1024; code += 31) {
            rig.code = code;
            serial::SampleBits bits{};
            Clock::time_point edgeTick = tick;
            port.DTREnable(false);
            nextTick();
            for (int k = 0; k < 10; ++k) {
                port.RTSEnable(true);
                nextTick();
                while (tick - edgeTick < 21ms)
                    nextTick();
                bits[k] = port.CDHolding();
                nextTick();
                if (k < 9) {
                    edgeTick = tick;
                    port.RTSEnable(false);
                    nextTick();
                }
            }
            port.DTREnable(true);
            nextTick();
            port.RTSEnable(false);
            rig.pass(700ms);
            nextTick();
            wrong += serial::sampleCode(bits) != code;
        }
        EXPECT_GT(wrong, 0);
    }
}

TEST(PortSettings, TextIsParsedStrictly) {
    const std::pair<const char*, bool> cases[] = {
        {"1200,N,8,1", true},    {"9600,e,7,2", true},    {"1200,N,5,1.5", true},
        {"", false},             {"1200,N,8", false},     {"1200,N,8,1,1", false},
        {"1234,N,8,1", false},   {"1200, N,8,1", false},  {"1200,X,8,1", false},
        {"1200,N,9,1", false},   {"1200,N,8,3", false},   {"1200,N,8,1x", false}};
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(serial::parsePortSettings(text).has_value(), valid) << '"' << text << '"';
}
