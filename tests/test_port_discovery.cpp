// Which device port 1 stands for on Linux, decided from what the system
// lists (nothing here looks at this machine's devices).

#include "port_discovery.h"

#include <QTest>

using serial::SystemPorts;

class PortDiscoveryTest : public QObject {
    Q_OBJECT
private slots:
    void portOneFollowsWhatTheSystemHas_data() {
        QTest::addColumn<int>("uartType");  // -1: the system lists no ttyS0
        QTest::addColumn<QStringList>("adapters");
        QTest::addColumn<QString>("device");
        const QStringList none;
        const QStringList both{"/dev/ttyUSB0", "/dev/ttyACM0"};
        QTest::newRow("built-in UART") << 4 << none << "/dev/ttyS0";
        QTest::newRow("built-in UART wins over an adapter") << 4 << both << "/dev/ttyS0";
        QTest::newRow("no UART, both adapters") << 0 << both << "/dev/ttyUSB0";
        QTest::newRow("no UART, modem-class adapter") << 0 << QStringList{"/dev/ttyACM0"} << "/dev/ttyACM0";
        QTest::newRow("no ttyS0 listed, adapter") << -1 << QStringList{"/dev/ttyUSB0"} << "/dev/ttyUSB0";
        QTest::newRow("nothing at all: the error names ttyS0") << 0 << none << "/dev/ttyS0";
    }
    void portOneFollowsWhatTheSystemHas() {
        QFETCH(int, uartType);
        QFETCH(QStringList, adapters);
        QFETCH(QString, device);
        SystemPorts system;
        if (uartType >= 0)
            system.firstUartType = uartType;
        for (const QString& adapter : adapters)
            system.adapters.push_back(adapter.toStdString());
        QCOMPARE(QString::fromStdString(serial::linuxDeviceForPort(1, system)), device);
    }

    void otherPortsAreTheirOwnUarts() {
        const SystemPorts adapterOnly{0, {"/dev/ttyUSB0"}};
        QCOMPARE(serial::linuxDeviceForPort(2, adapterOnly), std::string("/dev/ttyS1"));
        QCOMPARE(serial::linuxDeviceForPort(0, adapterOnly), std::string());
        QCOMPARE(serial::linuxDeviceForPort(-3, adapterOnly), std::string());
    }
};

QTEST_GUILESS_MAIN(PortDiscoveryTest)
#include "test_port_discovery.moc"
