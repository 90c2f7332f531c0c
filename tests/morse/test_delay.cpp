#include <QtTest>
#include <climits>

#include "core/kit/ClockTimer.h"
#include "core/kit/RealClock.h"
#include "support/VirtualClock.h"

namespace {

// Two kinds of pending event a wait must (or must not) let run: a zero timer
// and a queued call. Owned by a context object so that, when a test leaves them
// pending on purpose, they are dropped with it instead of leaking into the next test.
struct PendingEvents {
    PendingEvents() {
        QTimer::singleShot(0, &context, [this] { timerRan = true; });
        QMetaObject::invokeMethod(
            &context, [this] { queuedRan = true; }, Qt::QueuedConnection);
    }
    bool anyRan() const { return timerRan || queuedRan; }
    bool allRan() const { return timerRan && queuedRan; }

    QObject context;
    bool timerRan = false;
    bool queuedRan = false;
};

// What fired, and when on the clock.
struct FiringLog {
    void add(const Clock& clock, const QString& what) {
        entries << QStringLiteral("%1@%2").arg(what).arg(clock.now());
    }
    std::function<void()> marker(const Clock& clock, const QString& what) {
        return [this, &clock, what] { add(clock, what); };
    }
    QStringList entries;
};

}  // namespace

class TestDelay : public QObject {
    Q_OBJECT

  private slots:
    // --- Delay's rules on the virtual clock ---

    void zeroOrNegativeReturnsAtOnceWithoutEvents_data() {
        QTest::addColumn<int>("ms");
        QTest::newRow("0") << 0;
        QTest::newRow("-1") << -1;
        QTest::newRow("-1000") << -1000;
        QTest::newRow("INT_MIN") << INT_MIN;
    }
    void zeroOrNegativeReturnsAtOnceWithoutEvents() {
        QFETCH(int, ms);
        VirtualClock clock(5000);
        PendingEvents pending;
        bool dueNowFired = false;
        clock.scheduleAt(clock.now(), [&] { dueNowFired = true; });

        Delay(clock, ms);

        QVERIFY(!pending.anyRan());
        QVERIFY(!dueNowFired);
        QCOMPARE(clock.eventPasses(), 0);
        QCOMPARE(clock.now(), 5000);
    }

    void oneMillisecondRunsPendingEvents() {
        VirtualClock clock(5000);
        PendingEvents pending;
        Delay(clock, 1);
        QVERIFY(pending.allRan());
        QVERIFY(clock.eventPasses() >= 1);
        QCOMPARE(clock.now(), 5001);
    }

    void timeAdvancesExactly_data() {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<int>("ms");
        QTest::newRow("1 from 0") << qint64(0) << 1;
        QTest::newRow("7 from 1000") << qint64(1000) << 7;
        QTest::newRow("1540 from 123456") << qint64(123456) << 1540;
        QTest::newRow("100 s") << qint64(0) << 100000;
        QTest::newRow("INT_MAX past 32 bits") << qint64(5'000'000'000) << INT_MAX;
    }
    void timeAdvancesExactly() {
        QFETCH(qint64, start);
        QFETCH(int, ms);
        VirtualClock clock(start);
        Delay(clock, ms);
        QCOMPARE(clock.now(), start + ms);
        Delay(clock, 10);
        QCOMPARE(clock.now(), start + ms + 10);
    }

    void scheduledActionsFireInDeadlineOrder() {
        VirtualClock clock(1000);
        FiringLog log;
        clock.scheduleAt(1030, log.marker(clock, QStringLiteral("c")));
        clock.scheduleAt(1010, log.marker(clock, QStringLiteral("a")));
        clock.scheduleAt(1020, log.marker(clock, QStringLiteral("b1")));
        clock.scheduleAt(1020, log.marker(clock, QStringLiteral("b2")));
        clock.scheduleAt(1020, log.marker(clock, QStringLiteral("b3")));
        clock.scheduleAt(1050, log.marker(clock, QStringLiteral("at deadline")));
        clock.scheduleAt(1051, log.marker(clock, QStringLiteral("late")));

        Delay(clock, 50);

        QCOMPARE(log.entries,
                 QStringList({QStringLiteral("a@1010"), QStringLiteral("b1@1020"),
                              QStringLiteral("b2@1020"), QStringLiteral("b3@1020"),
                              QStringLiteral("c@1030"), QStringLiteral("at deadline@1050")}));
        QCOMPARE(clock.now(), 1050);

        // The action beyond the deadline waits for the next wait, at its own time.
        Delay(clock, 100);
        QCOMPARE(log.entries.last(), QStringLiteral("late@1051"));
        QCOMPARE(clock.now(), 1150);
    }

    void actionScheduledFromAnActionFiresInTheSameWait() {
        VirtualClock clock;
        FiringLog log;
        clock.scheduleAt(10, [&] {
            log.add(clock, QStringLiteral("first"));
            clock.scheduleAt(15, log.marker(clock, QStringLiteral("second")));
            clock.scheduleAt(200, log.marker(clock, QStringLiteral("too late")));
        });
        Delay(clock, 100);
        QCOMPARE(log.entries,
                 QStringList({QStringLiteral("first@10"), QStringLiteral("second@15")}));
    }

    void actionDueInThePastFiresWithoutTurningTimeBack() {
        VirtualClock clock(1000);
        FiringLog log;
        clock.scheduleAt(400, log.marker(clock, QStringLiteral("overdue")));
        Delay(clock, 5);
        QCOMPARE(log.entries, QStringList({QStringLiteral("overdue@1000")}));
        QCOMPARE(clock.now(), 1005);
    }

    void nestedDelayInsideAnAction() {
        VirtualClock clock;
        FiringLog log;
        clock.scheduleAt(10, [&] {
            log.add(clock, QStringLiteral("inner start"));
            Delay(clock, 25);
            log.add(clock, QStringLiteral("inner end"));
        });
        clock.scheduleAt(20, log.marker(clock, QStringLiteral("during inner")));
        clock.scheduleAt(50, log.marker(clock, QStringLiteral("after inner")));

        Delay(clock, 100);

        QCOMPARE(log.entries,
                 QStringList({QStringLiteral("inner start@10"), QStringLiteral("during inner@20"),
                              QStringLiteral("inner end@35"), QStringLiteral("after inner@50")}));
        QCOMPARE(clock.now(), 100);
    }

    void nestedDelayOutlastingTheOuterOne() {
        VirtualClock clock;
        clock.scheduleAt(90, [&] { Delay(clock, 50); });
        Delay(clock, 100);
        // The outer wait cannot end before the handler inside it returns.
        QCOMPARE(clock.now(), 140);
    }

    void cancelledActionsNeverFire() {
        VirtualClock clock;
        FiringLog log;
        const Clock::TimerId first =
            clock.scheduleAt(10, log.marker(clock, QStringLiteral("first")));
        Clock::TimerId third = 0;
        clock.scheduleAt(20, [&] {
            log.add(clock, QStringLiteral("second"));
            clock.cancel(third);
        });
        third = clock.scheduleAt(30, log.marker(clock, QStringLiteral("third")));
        clock.scheduleAt(30, log.marker(clock, QStringLiteral("fourth")));
        clock.cancel(first);
        clock.cancel(9999);  // unknown ids are ignored

        Delay(clock, 100);

        QCOMPARE(log.entries,
                 QStringList({QStringLiteral("second@20"), QStringLiteral("fourth@30")}));
    }

    // --- ClockTimer ---

    void clockTimerIsOffUntilEnabled() {
        VirtualClock clock;
        ClockTimer timer(clock, 1000);
        int fired = 0;
        connect(&timer, &ClockTimer::timeout, this, [&] { ++fired; });
        QVERIFY(!timer.isEnabled());
        timer.setInterval(500);  // changing the interval alone does not start it
        Delay(clock, 5000);
        QCOMPARE(fired, 0);
    }

    void clockTimerTicksEveryIntervalUntilDisabled() {
        VirtualClock clock;
        ClockTimer timer(clock, 1000);
        FiringLog log;
        connect(&timer, &ClockTimer::timeout, this,
                [&] { log.add(clock, QStringLiteral("tick")); });
        timer.setEnabled(true);
        QVERIFY(timer.isEnabled());
        Delay(clock, 600);
        timer.setEnabled(true);  // already on: the period runs on
        Delay(clock, 2900);
        timer.setEnabled(false);
        QVERIFY(!timer.isEnabled());
        Delay(clock, 5000);
        QCOMPARE(log.entries, QStringList({QStringLiteral("tick@1000"), QStringLiteral("tick@2000"),
                                           QStringLiteral("tick@3000")}));

        // Enabling again starts a new period from that moment.
        timer.setEnabled(true);
        Delay(clock, 1000);
        QCOMPARE(log.entries.last(), QStringLiteral("tick@9500"));
    }

    void clockTimerIntervalChangeRestartsThePeriod() {
        VirtualClock clock;
        ClockTimer timer(clock, 1000);
        FiringLog log;
        connect(&timer, &ClockTimer::timeout, this,
                [&] { log.add(clock, QStringLiteral("tick")); });
        timer.setEnabled(true);
        Delay(clock, 600);
        timer.setInterval(1000);  // same interval: still a new period
        Delay(clock, 1000);
        timer.setInterval(300);
        Delay(clock, 650);
        QCOMPARE(timer.interval(), 300);
        QCOMPARE(log.entries, QStringList({QStringLiteral("tick@1600"), QStringLiteral("tick@1900"),
                                           QStringLiteral("tick@2200")}));
    }

    void clockTimerIntervalChangeFromItsHandler() {
        // As the presence ping does: the first period is long, the later ones short.
        VirtualClock clock;
        ClockTimer timer(clock, 60000);
        FiringLog log;
        connect(&timer, &ClockTimer::timeout, this, [&] {
            log.add(clock, QStringLiteral("tick"));
            timer.setInterval(10000);
        });
        timer.setEnabled(true);
        Delay(clock, 90000);
        QCOMPARE(log.entries,
                 QStringList({QStringLiteral("tick@60000"), QStringLiteral("tick@70000"),
                              QStringLiteral("tick@80000"), QStringLiteral("tick@90000")}));
    }

    void clockTimerFiresTenTimesInOneHundredSecondWait() {
        VirtualClock clock(1000);
        ClockTimer timer(clock, 10000);
        QList<qint64> times;
        connect(&timer, &ClockTimer::timeout, this, [&] { times << clock.now(); });
        timer.setEnabled(true);
        Delay(clock, 100000);
        QList<qint64> expected;
        for (int i = 1; i <= 10; ++i) {
            expected << 1000 + i * 10000;
        }
        QCOMPARE(times, expected);
        QCOMPARE(clock.now(), 101000);
    }

    void clockTimerDisabledFromItsOwnHandlerStops() {
        VirtualClock clock;
        ClockTimer timer(clock, 10000);
        QList<qint64> times;
        connect(&timer, &ClockTimer::timeout, this, [&] {
            times << clock.now();
            timer.setEnabled(false);
        });
        timer.setEnabled(true);
        Delay(clock, 100000);
        QCOMPARE(times, QList<qint64>({10000}));
        QVERIFY(!timer.isEnabled());
    }

    void clockTimerHandlerWaitingKeepsTheTimerTicking() {
        // A handler that waits (a blinking label, a notice) does not hold the timer up.
        VirtualClock clock;
        ClockTimer timer(clock, 1000);
        QList<qint64> times;
        connect(&timer, &ClockTimer::timeout, this, [&] {
            times << clock.now();
            if (times.size() == 1) {
                Delay(clock, 2500);
            }
        });
        timer.setEnabled(true);
        Delay(clock, 4000);
        QCOMPARE(times, QList<qint64>({1000, 2000, 3000, 4000}));
    }

    void destroyedClockTimerLeavesNothingScheduled() {
        VirtualClock clock;
        int fired = 0;
        {
            ClockTimer timer(clock, 1000);
            connect(&timer, &ClockTimer::timeout, this, [&] { ++fired; });
            timer.setEnabled(true);
        }
        Delay(clock, 5000);
        QCOMPARE(fired, 0);
    }

    // --- Quitting ---

    void quitEndsTheRunningWaitAndEveryLaterOne() {
        VirtualClock clock;
        QSignalSpy quitSignal(&clock, &Clock::quitRequested);
        FiringLog log;
        clock.scheduleAt(2000, [&] {
            clock.requestQuit();
            clock.requestQuit();  // a second request changes nothing
        });
        clock.scheduleAt(3000, log.marker(clock, QStringLiteral("after quit")));

        Delay(clock, 60000);

        QVERIFY(clock.quitting());
        QCOMPARE(clock.now(), 2000);
        QCOMPARE(quitSignal.count(), 1);

        PendingEvents pending;
        const int passes = clock.eventPasses();
        Delay(clock, 1000);
        clock.block(500);
        QCOMPARE(clock.now(), 2000);
        QCOMPARE(clock.eventPasses(), passes);
        QVERIFY(!pending.anyRan());
        QVERIFY(log.entries.isEmpty());
    }

    void quitInsideANestedWaitEndsBothWaits() {
        VirtualClock clock;
        qint64 innerReturnedAt = -1;
        clock.scheduleAt(10, [&] {
            Delay(clock, 1000);
            innerReturnedAt = clock.now();
        });
        clock.scheduleAt(20, [&] { clock.requestQuit(); });
        Delay(clock, 5000);
        QCOMPARE(innerReturnedAt, 20);
        QCOMPARE(clock.now(), 20);
    }

    void clockTimerStopsTickingAfterQuit() {
        VirtualClock clock;
        ClockTimer timer(clock, 1000);
        int fired = 0;
        connect(&timer, &ClockTimer::timeout, this, [&] {
            if (++fired == 2) {
                clock.requestQuit();
            }
        });
        timer.setEnabled(true);
        Delay(clock, 10000);
        Delay(clock, 10000);
        QCOMPARE(fired, 2);
        QCOMPARE(clock.now(), 2000);
    }

    // --- WaitUntil: a condition, events running, ended by the program ending ---

    void waitUntilAConditionThatHoldsRunsNoEvents() {
        VirtualClock clock(100);
        PendingEvents pending;
        QVERIFY(WaitUntil(clock, [] { return true; }));
        QCOMPARE(clock.now(), 100);
        QVERIFY(!pending.anyRan());
    }

    void waitUntilEndsAtTheActionThatFulfilsIt() {
        VirtualClock clock(100);
        bool done = false;
        bool laterRan = false;
        clock.scheduleAt(400, [&] { done = true; });
        clock.scheduleAt(900, [&] { laterRan = true; });
        QVERIFY(WaitUntil(clock, [&] { return done; }));
        QCOMPARE(clock.now(), 400);
        QVERIFY(!laterRan);
    }

    void waitUntilTimesOutExactly() {
        VirtualClock clock(100);
        bool laterRan = false;
        clock.scheduleAt(700, [&] { laterRan = true; });
        QVERIFY(!WaitUntil(
            clock, [] { return false; }, 500));
        QCOMPARE(clock.now(), 600);
        QVERIFY(!laterRan);
    }

    // A loop around a wait that can never be fulfilled must not spin once the program ends.
    void waitUntilEndsWhenTheProgramEnds() {
        VirtualClock clock(0);
        clock.scheduleAt(300, [&] { clock.requestQuit(); });
        QVERIFY(!WaitUntil(clock, [] { return false; }));
        QCOMPARE(clock.now(), 300);
        int rounds = 0;
        while (!WaitUntil(clock, [] { return false; }) && rounds < 1000) {
            ++rounds;
            if (clock.quitting()) {
                break;
            }
        }
        QCOMPARE(rounds, 1);
        PendingEvents pending;
        QVERIFY(!WaitUntil(
            clock, [] { return false; }, 1000));
        QVERIFY(!pending.anyRan());
    }

    void waitUntilNestedInsideAnotherWait() {
        VirtualClock clock(0);
        bool inner = false;
        bool outer = false;
        clock.scheduleAt(100, [&] {
            QVERIFY(WaitUntil(clock, [&] { return inner; }));
            QCOMPARE(clock.now(), 500);
        });
        clock.scheduleAt(200, [&] { outer = true; });
        clock.scheduleAt(500, [&] { inner = true; });
        QVERIFY(WaitUntil(clock, [&] { return outer; }));
        // The outer condition held from 200 on; its wait ends when the inner one returns.
        QCOMPARE(clock.now(), 500);
    }

    void realClockWaitUntilEndsAfterTheEventThatFulfilsIt() {
        RealClock clock;
        QObject context;
        bool done = false;
        QMetaObject::invokeMethod(
            &context, [&] { done = true; }, Qt::QueuedConnection);
        QVERIFY(WaitUntil(clock, [&] { return done; }));
        bool timerDone = false;
        QTimer::singleShot(20, &context, [&] { timerDone = true; });
        QVERIFY(WaitUntil(clock, [&] { return timerDone; }));
    }

    void realClockWaitUntilTimesOutAndQuits() {
        RealClock clock;
        QVERIFY(!WaitUntil(
            clock, [] { return false; }, 5));
        clock.scheduleAt(clock.now() + 5, [&] { clock.requestQuit(); });
        QVERIFY(!WaitUntil(clock, [] { return false; }));
        QVERIFY(clock.quitting());
    }

    // --- The real clock: same rules, no assertions on how long anything took ---

    void realClockZeroOrNegativeRunsNoEvents() {
        RealClock clock;
        PendingEvents pending;
        Delay(clock, 0);
        Delay(clock, -5);
        QVERIFY(!pending.anyRan());
    }

    void realClockOneMillisecondRunsPendingEvents() {
        RealClock clock;
        PendingEvents pending;
        Delay(clock, 1);
        QVERIFY(pending.allRan());
    }

    void realClockQuitEndsTheWait() {
        RealClock clock;
        bool quitRan = false;
        bool laterRan = false;
        clock.scheduleAt(clock.now() + 5, [&] {
            quitRan = true;
            clock.requestQuit();
        });
        // Only fires if the wait failed to end at the quit: an order, not a time bound.
        clock.scheduleAt(clock.now() + 2000, [&] { laterRan = true; });
        Delay(clock, 5000);
        QVERIFY(quitRan);
        QVERIFY(clock.quitting());
        QVERIFY(!laterRan);

        PendingEvents pending;
        Delay(clock, 1000);
        QVERIFY(!pending.anyRan());
    }

    void realClockIsMonotonic() {
        RealClock clock;
        qint64 previous = clock.now();
        QVERIFY(previous >= 0);
        for (int i = 0; i < 20; ++i) {
            const qint64 before = clock.now();
            QVERIFY(before >= previous);
            Delay(clock, 2);
            previous = clock.now();
            // Delay's own guarantee: never returns before its time has passed.
            QVERIFY(previous - before >= 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestDelay)
#include "test_delay.moc"
