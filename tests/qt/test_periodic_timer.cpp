// The timers behind Timer1 and Timer2: they tick from the event loop only,
// stop when told, and keep their period however long a handler takes.

#include "periodic_timer.h"

#include <QElapsedTimer>
#include <QTest>
#include <thread>

using namespace std::chrono_literals;

class PeriodicTimerTest : public QObject {
    Q_OBJECT
private slots:
    void ticksComeFromTheEventLoopUntilStopped() {
        int ticks = 0;
        qtui::PeriodicTimer timer(1ms, [&] { ++ticks; });
        QCOMPARE(ticks, 0);
        timer.start();
        QCOMPARE(ticks, 0);  // nothing runs before the event loop does
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 20, 10000);
        timer.stop();
        const int atStop = ticks;
        QTest::qWait(20);
        QCOMPARE(ticks, atStop);
    }

    void aSlowHandlerDoesNotDelayTheSchedule() {
        // Each handler takes 60% of the period. A timer that re-armed after
        // its handler would space ticks 160 ms apart (1.6 s for ten); one
        // that keeps its schedule starts the tenth tick 0.9 s after the
        // first. The bound in between leaves room for a busy machine.
        QElapsedTimer clock;
        std::vector<qint64> at;
        qtui::PeriodicTimer timer(100ms, [&] {
            at.push_back(clock.elapsed());
            std::this_thread::sleep_for(60ms);
        });
        clock.start();
        timer.start();
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 10, 20000);
        timer.stop();
        QVERIFY2(at[9] - at[0] < 1250, qPrintable(QString::number(at[9] - at[0])));
    }
};

QTEST_GUILESS_MAIN(PeriodicTimerTest)
#include "test_periodic_timer.moc"
