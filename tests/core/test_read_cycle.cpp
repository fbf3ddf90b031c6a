// The converter read cycle, the keep-alive and the converter model, driven
// through the recording double and the simulated port.

#include "converter_chip.h"
#include "keep_alive.h"
#include "port_settings.h"
#include "read_cycle.h"
#include "recording_line.h"
#include "scale.h"
#include "simulated_port.h"

#include <gtest/gtest.h>

using serial::PortError;

namespace {

std::vector<std::string> expectedCycle() {
    std::vector<std::string> calls{"DTR 0"};
    for (int k = 0; k < 9; ++k)
        calls.insert(calls.end(), {"RTS 1", "DCD?", "RTS 0"});
    calls.insert(calls.end(), {"RTS 1", "DCD?", "DTR 1", "RTS 0"});
    return calls;
}

// An open simulated port whose input sits in the middle of `code`'s step.
serial::SimulatedPort openPortAt(const int& code) {
    serial::SimulatedPort port([&code] {
        return (code + 0.5) * measure::kFullScaleVolts / measure::kConverterSteps;
    });
    port.Settings("1200,N,8,1");
    port.CommPort(1);
    port.PortOpen(true);
    port.DTREnable(true);
    return port;
}

} // namespace

TEST(ReadCycle, OneReadIsExactlyTheThirtyTwoCallsInOrder) {
    RecordingLine line;
    serial::readSampleBits(line);
    EXPECT_EQ(line.calls, expectedCycle());
    EXPECT_EQ(line.calls.size(), 32u);
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
        const serial::SampleBits bits = serial::readSampleBits(line);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(bits[k], c.dcd[k] ? 1 : 0);
        EXPECT_EQ(serial::sampleCode(bits), c.code);
    }
}

TEST(ReadCycle, AFailingCallStopsTheReadWhereItFailed) {
    RecordingLine line;
    line.failAtCall(4);  // the second RTS assertion
    EXPECT_THROW(serial::readSampleBits(line), PortError);
    ASSERT_EQ(line.calls.size(), 5u);
    EXPECT_EQ(line.calls.back(), "RTS 1 failed");
}

TEST(ConverterModel, YieldsEveryCode) {
    int code = 0;
    serial::SimulatedPort port = openPortAt(code);
    for (code = 0; code < 1024; ++code)
        ASSERT_EQ(serial::sampleCode(serial::readSampleBits(port)), code);
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
    EXPECT_THROW(port.DTREnable(true), PortError);
    EXPECT_THROW(port.Output(std::string_view("\0\0", 2)), PortError);
    EXPECT_THROW(port.Settings("1200,N,9,1"), PortError);
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

TEST(KeepAlive, EachCallHandsOverExactlyTwoZeroBytes) {
    RecordingLine line;
    serial::sendKeepAlive(line);
    serial::sendKeepAlive(line);
    EXPECT_EQ(line.calls, (std::vector<std::string>{"Output 2", "Output 2"}));
    EXPECT_EQ(line.output, std::string(4, '\0'));
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
