// Ending the program from the desktop's termination signals.
#include <QLineEdit>
#include <QTest>
#include <csignal>
#include <thread>

#include "core/kit/RealClock.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/app/TerminationSignals.h"

class TerminationTest : public QObject {
    Q_OBJECT

  private slots:
    void signalCutsBlockingShortAndReachesTheWindow_data();
    void signalCutsBlockingShortAndReachesTheWindow();
    void interruptedRealBlockReturnsEarly();
};

void TerminationTest::signalCutsBlockingShortAndReachesTheWindow_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TerminationTest::signalCutsBlockingShortAndReachesTheWindow() {
    QFETCH(int, signal);
    TestContext t;
    MainForm form(t.context());
    form.ui().CallsignText->setText(QStringLiteral("JA1SIG"));
    TerminationSignals termination(t.clock);
    connect(&termination, &TerminationSignals::terminationRequested, &form, &QWidget::close);

    std::raise(signal);
    // A tone that was playing returns at once...
    QVERIFY(t.clock.blockingInterrupted());
    const qint64 before = t.clock.now();
    t.sound.Beep(800, 660);
    QCOMPARE(t.clock.now(), before);
    // ...and the next wait that runs events ends the program as closing the window does.
    Delay(t.clock, 1000);
    QCOMPARE(t.exitCount, 1);
    QVERIFY(t.clock.quitting());
    QVERIFY(t.settingsBytes().mid(7 * 14, 8) == QByteArray("\x06\x00JA1SIG", 8));
}

void TerminationTest::interruptedRealBlockReturnsEarly() {
    RealClock clock;
    std::thread interrupter([&clock] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        clock.interruptBlocking();
    });
    const qint64 start = clock.now();
    clock.block(60000);
    interrupter.join();
    // Generous: only a block that ignored the interruption comes near a minute.
    QVERIFY(clock.now() - start < 30000);
}

QTEST_MAIN(TerminationTest)
#include "test_termination.moc"
