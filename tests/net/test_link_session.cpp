// What each received message does to the link session, without a window: the state it changes,
// what it asks the window to show and the practice side to select, and which notices it raises.
// The window tests keep what only a window shows (colours, enabled controls, blinks).
#include <QSignalSpy>
#include <QTest>

#include "core/link/SendQueue.h"
#include "support/LinkSessionRig.h"

using namespace Qt::StringLiterals;

class LinkSessionTest : public QObject {
    Q_OBJECT

  private slots:
    void whatAMessageAsksFor_data() {
        QTest::addColumn<LinkStatus>("teacherStatus");  // the setter's, before the message
        QTest::addColumn<bool>("waitingForSetter");     // the main button reads "出題待機"
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("composingNotices");

        const auto row = [](const char* name, LinkStatus status, bool waiting,
                            const QByteArray& message, const QStringList& calls,
                            int composing = 0) {
            QTest::newRow(name) << status << waiting << message << calls << composing;
        };
        row("0 callsign: joined", LinkStatus::Empty, false, "0JA9ZZZ",
            {u"log"_s, u"log"_s, u"joined"_s});
        row("2 T: setter role", LinkStatus::Empty, false, "2T", {u"role:setter"_s});
        row("2 S: answerer role", LinkStatus::Empty, false, "2S", {u"role:answerer"_s});
        row("2 X: ignored", LinkStatus::Empty, false, "2X", {});
        row("3 2: step mode", LinkStatus::Empty, false, "32",
            {u"student:解答者:JA9ZZZ[ステップモード]"_s, u"mode:step"_s});
        row("3 9: ignored", LinkStatus::Empty, false, "39", {});
        row("4 2: 45 a minute", LinkStatus::Empty, false, "42",
            {u"student:解答者:JA9ZZZ[45]"_s, u"speed:45"_s});
        row("4 4: no such speed", LinkStatus::Empty, false, "44", {});
        row("5 question", LinkStatus::Empty, true, "5CQ DE JA9ZZZ", {u"question"_s});
        // The answerer's readiness: a notice for a setter that has nothing under way.
        row("7 1 setter idle: a notice", LinkStatus::Empty, false, "71",
            {u"student:解答者:JA9ZZZ[解答準備完了]"_s, u"ready notice"_s});
        row("7 1 setter composing: none", LinkStatus::Composing, false, "71",
            {u"student:解答者:JA9ZZZ[解答準備完了]"_s});
        row("7 1 question sent: none", LinkStatus::QuestionSent, false, "71",
            {u"student:解答者:JA9ZZZ[解答準備完了]"_s});
        row("7 2 test running", LinkStatus::Empty, false, "72",
            {u"roles off"_s, u"testing blink"_s});
        // The setter composing: a notice unless this side waits for the question anyway.
        row("6 1 while ready", LinkStatus::Empty, false, "61", {u"composing blink"_s}, 1);
        row("6 1 while waiting: none", LinkStatus::Empty, true, "61", {u"composing blink"_s}, 0);
        row("8 0 typing", LinkStatus::Empty, false, "80", {u"student:JA9ZZZ[(入力中)]|r"_s});
        row("8 2 keyed sending ended", LinkStatus::Empty, false, "82",
            {u"keying ended"_s, u"student:JA9ZZZ[送信終了]|b"_s});
        row("8 7: ignored", LinkStatus::Empty, false, "87", {});
        row("unknown type", LinkStatus::Empty, false, "Z1", {});
        row("empty", LinkStatus::Empty, false, "", {});
    }
    void whatAMessageAsksFor() {
        QFETCH(LinkStatus, teacherStatus);
        QFETCH(bool, waitingForSetter);
        QFETCH(QByteArray, message);
        QFETCH(QStringList, calls);
        QFETCH(int, composingNotices);
        LinkSessionRig rig;
        rig.link.teacherStatus = teacherStatus;
        if (waitingForSetter) {
            rig.window.lesson.mainButton = MainButton::Waiting;
        }
        QSignalSpy composing(&rig.module, &QuillNetModule::composingStarted);
        QSignalSpy questions(&rig.module, &QuillNetModule::questionReceived);
        rig.module.DispatchNetMessage(message);
        QCOMPARE(rig.window.calls, calls);
        QCOMPARE(composing.size(), composingNotices);
        QCOMPARE(questions.size(), calls.contains(u"question"_s) ? 1 : 0);
        if (!questions.isEmpty()) {
            QCOMPARE(rig.link.receivedQuestion, QString::fromUtf8(message.mid(1)));
        }
    }

    // Sends go out one at a time: each 10 ms after the one before completed, or 3 s after it
    // began when its completion never comes; ending the program sends what is left at once.
    void sendsGoOutOneAtATime_data() {
        QTest::addColumn<QList<int>>("pushedAt");
        QTest::addColumn<int>("completionMs");  // -1: never
        QTest::addColumn<int>("quitAt");        // -1: not
        QTest::addColumn<bool>("firstQueuesAnother");
        QTest::addColumn<QList<qint64>>("writtenAt");
        using Times = QList<qint64>;
        QTest::newRow("each after the one before")
            << QList<int>{0, 0, 0} << 5 << -1 << false << Times{10, 25, 40};
        QTest::newRow("one pushed after the last completed")
            << QList<int>{0, 100} << 5 << -1 << false << Times{10, 110};
        QTest::newRow("a completion that never comes")
            << QList<int>{0, 0} << -1 << -1 << false << Times{10, 3020};
        QTest::newRow("the program ends")
            << QList<int>{0, 0, 0} << 5 << 12 << false << Times{10, 12, 12};
        QTest::newRow("a write that queues another")
            << QList<int>{0} << 5 << -1 << true << Times{10, 25};
    }
    void sendsGoOutOneAtATime() {
        QFETCH(QList<int>, pushedAt);
        QFETCH(int, completionMs);
        QFETCH(int, quitAt);
        QFETCH(bool, firstQueuesAnother);
        QFETCH(QList<qint64>, writtenAt);
        VirtualClock clock;
        bool completed = true;
        SendQueue queue(clock, [&completed] { return completed; });
        QList<qint64> written;
        std::function<void()> write = [&] {
            written << clock.now();
            completed = false;
            if (completionMs >= 0) {
                clock.scheduleAt(clock.now() + completionMs, [&completed] { completed = true; });
            }
            if (firstQueuesAnother && written.size() == 1) {
                queue.push(write);
            }
        };
        for (int at : pushedAt) {
            clock.scheduleAt(at, [&queue, &write] { queue.push(write); });
        }
        if (quitAt >= 0) {
            clock.scheduleAt(quitAt, [&clock] { clock.requestQuit(); });
        }
        QSignalSpy drained(&queue, &SendQueue::drained);
        clock.waitUntil(5000);
        QCOMPARE(written, writtenAt);
        QVERIFY(queue.idle());
        QVERIFY(!drained.isEmpty());
    }
};

QTEST_MAIN(LinkSessionTest)
#include "test_link_session.moc"
