// The timers behind Timer1 and Timer2: they tick from the event loop only,
// and stop when told.

#include "periodic_timer.h"

#include <QTest>

using namespace std::chrono_literals;

class PeriodicTimerTest : public QObject {
    Q_OBJECT
private slots:
    void ticksComeFromTheEventLoopUntilStopped() {
        int ticks = 0;
        PeriodicTimer timer(1ms, [&] { ++ticks; });
        QCOMPARE(ticks, 0);
        timer.start();
        QVERIFY(timer.isActive());
        QCOMPARE(ticks, 0);  // nothing runs before the event loop does
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 20, 10000);
        timer.stop();
        QVERIFY(!timer.isActive());
        const int atStop = ticks;
        QTest::qWait(20);
        QCOMPARE(ticks, atStop);
    }
};

QTEST_GUILESS_MAIN(PeriodicTimerTest)
#include "test_periodic_timer.moc"
