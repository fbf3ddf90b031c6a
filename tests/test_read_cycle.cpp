// The converter read cycle, the keep-alive and the converter model, driven
// through the recording double and the simulated port.

#include "converter_chip.h"
#include "keep_alive.h"
#include "port_settings.h"
#include "read_cycle.h"
#include "recording_line.h"
#include "simulated_port.h"

#include <QTest>

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
        return (code + 0.5) * serial::ConverterChip::kFullScaleVolts / serial::ConverterChip::kSteps;
    });
    port.Settings("1200,N,8,1");
    port.CommPort(1);
    port.PortOpen(true);
    port.DTREnable(true);
    return port;
}

} // namespace

class ReadCycleTest : public QObject {
    Q_OBJECT
private slots:
    void oneReadIsExactlyTheThirtyTwoCallsInOrder() {
        RecordingLine line;
        serial::readSampleBits(line);
        QCOMPARE(line.calls, expectedCycle());
        QCOMPARE(line.calls.size(), std::size_t(32));
    }

    void bitsAreReadMostSignificantFirst_data() {
        QTest::addColumn<QList<bool>>("dcd");
        QTest::addColumn<double>("code");
        const QList<bool> none(10, false);
        QList<bool> first = none, last = none, pattern = none;
        first[0] = true;
        last[9] = true;
        pattern[0] = pattern[2] = pattern[9] = true;  // 512 + 128 + 1
        QTest::newRow("never asserted") << none << 0.0;
        QTest::newRow("always asserted") << QList<bool>(10, true) << 1023.0;
        QTest::newRow("only the first sample") << first << 512.0;
        QTest::newRow("only the last sample") << last << 1.0;
        QTest::newRow("mixed") << pattern << 641.0;
    }
    void bitsAreReadMostSignificantFirst() {
        QFETCH(QList<bool>, dcd);
        QFETCH(double, code);
        RecordingLine line;
        line.dcdScript.assign(dcd.begin(), dcd.end());
        const serial::SampleBits bits = serial::readSampleBits(line);
        for (int k = 0; k < 10; ++k)
            QCOMPARE(bits[k], std::int16_t(dcd[k] ? 1 : 0));
        QCOMPARE(serial::sampleCode(bits), code);
    }

    void aFailingCallStopsTheReadWhereItFailed() {
        RecordingLine line;
        line.failAtCall(4);  // the second RTS assertion
        QVERIFY_THROWS_EXCEPTION(PortError, serial::readSampleBits(line));
        QCOMPARE(line.calls.size(), std::size_t(5));
        QCOMPARE(line.calls.back(), std::string("RTS 1 failed"));
    }

    void theSimulatedConverterYieldsEveryCode() {
        int code = 0;
        serial::SimulatedPort port = openPortAt(code);
        for (code = 0; code < 1024; ++code) {
            const double read = serial::sampleCode(serial::readSampleBits(port));
            if (read != code)
                QFAIL(qPrintable(QStringLiteral("code %1 read as %2").arg(code).arg(read)));
        }
    }

    void theConverterShiftsOnlyOnFallingClockEdgesWhileSelected() {
        int code = 0b1011001110;
        serial::SimulatedPort port = openPortAt(code);
        QVERIFY(!port.CDHolding());  // not selected: data low
        port.DTREnable(false);       // select: MSB appears at once
        QVERIFY(port.CDHolding());
        port.RTSEnable(true);        // the port opened with RTS high: no edge
        port.RTSEnable(true);
        QVERIFY(port.CDHolding());
        port.RTSEnable(false);       // falling edge: bit 8 (0)
        QVERIFY(!port.CDHolding());
        port.RTSEnable(false);
        QVERIFY(!port.CDHolding());
        for (int k = 0; k < 20; ++k) {  // clock far past the ten bits
            port.RTSEnable(true);
            port.RTSEnable(false);
        }
        QVERIFY(!port.CDHolding());  // after ten bits the data pin stays low
    }

    void theSimulatedPortBehavesLikeAPort() {
        serial::SimulatedPort port([] { return 1.0; });
        QVERIFY_THROWS_EXCEPTION(PortError, port.DTREnable(true));
        QVERIFY_THROWS_EXCEPTION(PortError, port.Output(std::string_view("\0\0", 2)));
        QVERIFY_THROWS_EXCEPTION(PortError, port.Settings("1200,N,9,1"));
        port.PortOpen(true);
        serial::sendKeepAlive(port);
        QCOMPARE(port.bytesWritten(), std::uint64_t(2));
        QCOMPARE(port.nonZeroBytesWritten(), std::uint64_t(0));
    }

    void theSensorAndConverterAgreeWithTheScale() {
        QCOMPARE(serial::ConverterChip::codeFor(serial::sensorVolts(25.0)), 600);
        QCOMPARE(serial::ConverterChip::codeFor(serial::sensorVolts(0.2)), 550);
        QCOMPARE(serial::ConverterChip::codeFor(serial::sensorVolts(-0.2)), 549);
        QCOMPARE(serial::ConverterChip::codeFor(-1.0), 0);
        QCOMPARE(serial::ConverterChip::codeFor(9.0), 1023);
    }

    void eachKeepAliveHandsOverExactlyTwoZeroBytes() {
        RecordingLine line;
        serial::sendKeepAlive(line);
        serial::sendKeepAlive(line);
        QCOMPARE(line.calls, (std::vector<std::string>{"Output 2", "Output 2"}));
        QCOMPARE(line.output, std::string(4, '\0'));
    }

    void settingsTextIsParsedStrictly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("the program's") << "1200,N,8,1" << true;
        QTest::newRow("lower case parity") << "9600,e,7,2" << true;
        QTest::newRow("one and a half") << "1200,N,5,1.5" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("missing field") << "1200,N,8" << false;
        QTest::newRow("extra field") << "1200,N,8,1,1" << false;
        QTest::newRow("odd baud") << "1234,N,8,1" << false;
        QTest::newRow("blank inside") << "1200, N,8,1" << false;
        QTest::newRow("bad parity") << "1200,X,8,1" << false;
        QTest::newRow("nine data bits") << "1200,N,9,1" << false;
        QTest::newRow("three stop bits") << "1200,N,8,3" << false;
        QTest::newRow("trailing junk") << "1200,N,8,1x" << false;
    }
    void settingsTextIsParsedStrictly() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(serial::parsePortSettings(text.toStdString()).has_value(), valid);
    }
};

QTEST_GUILESS_MAIN(ReadCycleTest)
#include "test_read_cycle.moc"
