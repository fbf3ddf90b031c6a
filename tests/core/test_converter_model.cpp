// The simulated converter on its simulated port, which the tests, the demo
// and the benches stand on: it must shift out what a converter would.

#include "keep_alive.h"
#include "recording_line.h"
#include "simulated_port.h"

#include <gtest/gtest.h>

#include <algorithm>

using simulation::DeselectedPin;

TEST(ConverterModel, ShiftsOnlyOnFallingClockEdgesWhileSelected) {
    int code = 0b1011001110;
    simulation::SimulatedPort port([&code] { return voltsFor(code); });
    port.PortOpen(true);
    port.DTREnable(true);
    EXPECT_FALSE(port.CDHolding());  // not selected: data low
    port.DTREnable(false);           // select: MSB appears at once
    EXPECT_TRUE(port.CDHolding());
    port.RTSEnable(true);            // the port opened with RTS high: no edge
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

TEST(ConverterModel, ADeselectedPinIsLowKeepsItsBitOrFloats) {
    const int code = 0b1000000001;
    for (const DeselectedPin pin : {DeselectedPin::Low, DeselectedPin::KeepsLastBit, DeselectedPin::Floats}) {
        simulation::SimulatedPort port([] { return voltsFor(code); }, {}, pin);
        port.PortOpen(true);
        std::vector<bool> levels;
        for (int read = 0; read < 16; ++read) {
            port.DTREnable(false);
            for (int k = 0; k < 9; ++k)
                port.RTSEnable(true), port.RTSEnable(false);
            port.DTREnable(true);  // deselected showing the last bit, 1
            levels.push_back(port.CDHolding());
        }
        const auto ones = std::count(levels.begin(), levels.end(), true);
        if (pin == DeselectedPin::Low)
            EXPECT_EQ(ones, 0);
        else if (pin == DeselectedPin::KeepsLastBit)
            EXPECT_EQ(ones, 16);
        else
            EXPECT_TRUE(ones > 0 && ones < 16);
    }
}

TEST(ConverterModel, TheSimulatedPortBehavesLikeAPort) {
    simulation::SimulatedPort port([] { return 1.0; });
    EXPECT_THROW(port.DTREnable(true), text::Error);
    EXPECT_THROW(port.Output(std::string_view("\0\0", 2)), text::Error);
    EXPECT_THROW(port.Settings("1200,N,9,1"), text::Error);
    port.PortOpen(true);
    serial::sendKeepAlive(port);
    EXPECT_EQ(port.bytesWritten(), 2u);
    EXPECT_EQ(port.nonZeroBytesWritten(), 0u);
}

TEST(ConverterModel, SensorAndConverterAgreeWithTheScale) {
    using simulation::ConverterChip;
    using simulation::sensorVolts;
    EXPECT_EQ(ConverterChip::codeFor(sensorVolts(25.0)), 600);
    EXPECT_EQ(ConverterChip::codeFor(sensorVolts(0.2)), 550);
    EXPECT_EQ(ConverterChip::codeFor(sensorVolts(-0.2)), 549);
    EXPECT_EQ(ConverterChip::codeFor(-1.0), 0);
    EXPECT_EQ(ConverterChip::codeFor(9.0), 1023);
}

