// The converter read cycle, the keep-alive and the converter model, driven
// through the recording double and the simulated port, on time or late.

#include "converter_chip.h"
#include "keep_alive.h"
#include "port_settings.h"
#include "read_cycle.h"
#include "recording_line.h"
#include "scale.h"
#include "simulated_port.h"

#include <gtest/gtest.h>
#include <random>

using text::Error;

namespace {

std::vector<std::string> expectedCycle() {
    std::vector<std::string> calls{"DTR 0"};
    for (int k = 0; k < 9; ++k)
        calls.insert(calls.end(), {"RTS 1", "DCD?", "RTS 0"});
    calls.insert(calls.end(), {"RTS 1", "DCD?", "DTR 1", "RTS 0"});
    return calls;
}

using Clock = serial::ReadCycle::Clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// The 32 calls back to back, with no waiting: how a built-in UART could be
// read, and how a late-reporting adapter cannot.
serial::SampleBits readAtOnce(serial::SerialLine& line, Clock::time_point now = {}) {
    serial::ReadCycle cycle(Clock::duration::zero());
    cycle.start();
    for (;;)
        if (const auto bits = cycle.step(line, now))
            return *bits;
}

// An open simulated port whose input sits in the middle of `code`'s step.
serial::SimulatedPort openPortAt(const int& code, std::optional<serial::StatusDelay> delay = {}) {
    serial::SimulatedPort port([&code] {
        return (code + 0.5) * measure::kFullScaleVolts / measure::kConverterSteps;
    }, std::move(delay));
    port.Settings("1200,N,8,1");
    port.CommPort(1);
    port.PortOpen(true);
    port.DTREnable(true);
    return port;
}

} // namespace

TEST(ReadCycle, OneReadIsExactlyTheThirtyTwoCallsInOrderOneAStep) {
    RecordingLine atOnce;
    readAtOnce(atOnce);
    EXPECT_EQ(atOnce.calls, expectedCycle());

    // Stepped on 1 ms ticks: the same calls, never two on one tick, each
    // DCD read more than the status latency after the edge before it, and
    // the reading done well within a third of a second.
    RecordingLine stepped;
    serial::ReadCycle cycle;
    cycle.start();
    Clock::time_point now{};
    std::vector<Clock::time_point> callTimes;
    while (cycle.running()) {
        const std::size_t before = stepped.calls.size();
        cycle.step(stepped, now);
        ASSERT_LE(stepped.calls.size(), before + 1);
        if (stepped.calls.size() > before)
            callTimes.push_back(now);
        now += milliseconds(1);
    }
    EXPECT_EQ(stepped.calls, expectedCycle());
    for (std::size_t i = 2; i < stepped.calls.size(); ++i) {
        if (stepped.calls[i] == "DCD?") {
            EXPECT_GT(callTimes[i] - callTimes[i - 2], serial::kStatusLatency) << "call " << i;
        }
    }
    EXPECT_LT(callTimes.back() - callTimes.front(), milliseconds(250));
}

TEST(ReadCycle, BitsAreReadMostSignificantFirst) {
    struct Case { const char* name; std::vector<bool> dcd; double code; };
    std::vector<bool> none(10, false), first = none, last = none, pattern = none;
    first[0] = true;
    last[9] = true;
    pattern[0] = pattern[2] = pattern[9] = true;  // 512 + 128 + 1
    const Case cases[] = {{"never asserted", none, 0.0},
                          {"always asserted", std::vector<bool>(10, true), 1023.0},
                          {"only the first sample", first, 512.0},
                          {"only the last sample", last, 1.0},
                          {"mixed", pattern, 641.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingLine line;
        line.dcdScript.assign(c.dcd.begin(), c.dcd.end());
        const serial::SampleBits bits = readAtOnce(line);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(bits[k], c.dcd[k] ? 1 : 0);
        EXPECT_EQ(serial::sampleCode(bits), c.code);
    }
}

TEST(ReadCycle, AFailingCallStopsTheReadWhereItFailed) {
    RecordingLine line;
    line.failAtCall(4);  // the second RTS assertion
    EXPECT_THROW(readAtOnce(line), Error);
    ASSERT_EQ(line.calls.size(), 5u);
    EXPECT_EQ(line.calls.back(), "RTS 1 failed");
}

TEST(ReadCycle, ReadsEveryCodeExactlyThroughLateStatusOnIrregularTicks) {
    struct Adapter { const char* name; milliseconds lag, period; };
    const Adapter adapters[] = {{"held 20 ms", milliseconds(20), milliseconds(0)},
                                {"refreshed every 20 ms", milliseconds(0), milliseconds(20)},
                                {"FTDI-like, 16 ms latency", milliseconds(4), milliseconds(16)},
                                {"half and half", milliseconds(10), milliseconds(10)},
                                {"slightly late", milliseconds(2), milliseconds(0)}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> phaseUs(0, 19999), tickUs(300, 2000), lateTickUs(3000, 40000);
    std::bernoulli_distribution lateTick(0.02);
    for (const Adapter& a : adapters) {
        SCOPED_TRACE(a.name);
        Clock::time_point now{};
        int code = 0;
        serial::SimulatedPort port = openPortAt(
            code, serial::StatusDelay{a.lag, a.period, now + microseconds(phaseUs(random)),
                                      [&now] { return now; }});
        serial::ReadCycle cycle;
        for (code = 0; code < 1024; ++code) {
            cycle.start();
            std::optional<serial::SampleBits> bits;
            while (!bits) {
                // Jittered ticks, now and then a late one standing for
                // several merged into one.
                now += microseconds(lateTick(random) ? lateTickUs(random) : tickUs(random));
                bits = cycle.step(port, now);
            }
            ASSERT_EQ(serial::sampleCode(*bits), code);
            now += milliseconds(700);
        }
    }
}

TEST(ReadCycle, BackToBackReadsGoWrongThroughAnAdapterOnlyTwoMillisecondsLate) {
    Clock::time_point now{};
    const int code = 600;
    serial::SimulatedPort port = openPortAt(
        code, serial::StatusDelay{milliseconds(2), {}, {}, [&now] { return now; }});
    now += milliseconds(1000);
    EXPECT_NE(serial::sampleCode(readAtOnce(port, now)), code);
}

TEST(ConverterModel, YieldsEveryCode) {
    int code = 0;
    serial::SimulatedPort port = openPortAt(code);
    for (code = 0; code < 1024; ++code)
        ASSERT_EQ(serial::sampleCode(readAtOnce(port)), code);
}

TEST(ConverterModel, ShiftsOnlyOnFallingClockEdgesWhileSelected) {
    int code = 0b1011001110;
    serial::SimulatedPort port = openPortAt(code);
    EXPECT_FALSE(port.CDHolding());  // not selected: data low
    port.DTREnable(false);           // select: MSB appears at once
    EXPECT_TRUE(port.CDHolding());
    port.RTSEnable(true);            // the port opened with RTS high: no edge
    port.RTSEnable(true);
    EXPECT_TRUE(port.CDHolding());
    port.RTSEnable(false);           // falling edge: bit 8 (0)
    EXPECT_FALSE(port.CDHolding());
    port.RTSEnable(false);
    EXPECT_FALSE(port.CDHolding());
    for (int k = 0; k < 20; ++k) {   // clock far past the ten bits
        port.RTSEnable(true);
        port.RTSEnable(false);
    }
    EXPECT_FALSE(port.CDHolding());  // after ten bits the data pin stays low
}

TEST(ConverterModel, TheSimulatedPortBehavesLikeAPort) {
    serial::SimulatedPort port([] { return 1.0; });
    EXPECT_THROW(port.DTREnable(true), Error);
    EXPECT_THROW(port.Output(std::string_view("\0\0", 2)), Error);
    EXPECT_THROW(port.Settings("1200,N,9,1"), Error);
    port.PortOpen(true);
    serial::sendKeepAlive(port);
    EXPECT_EQ(port.bytesWritten(), 2u);
    EXPECT_EQ(port.nonZeroBytesWritten(), 0u);
}

TEST(ConverterModel, SensorAndConverterAgreeWithTheScale) {
    EXPECT_EQ(serial::ConverterChip::codeFor(serial::sensorVolts(25.0)), 600);
    EXPECT_EQ(serial::ConverterChip::codeFor(serial::sensorVolts(0.2)), 550);
    EXPECT_EQ(serial::ConverterChip::codeFor(serial::sensorVolts(-0.2)), 549);
    EXPECT_EQ(serial::ConverterChip::codeFor(-1.0), 0);
    EXPECT_EQ(serial::ConverterChip::codeFor(9.0), 1023);
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
