#include <QtTest>

#include "core/morse/ClockedKeyer.h"
#include "core/morse/Keyer.h"
#include "core/morse/KeyingSession.h"
#include "support/VirtualClock.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(KeyerMode)

namespace {

// "t:.d" closes the dot contact at t ms, "t:-u" opens the dash contact, "t:x" releases all.
// The keyer runs at 20 WPM: dot 60 ms, dash 180 ms, gap 60 ms.
struct Run {
    QString marks;  // each mark as "." (under two units) or "-"
    QString edges;  // "0+ 60-": every key edge with its time
};

Run Key(KeyerMode mode, const QString& script) {
    VirtualClock clock;
    Keyer keyer;
    keyer.setMode(mode);
    keyer.setSpeed(20);
    ClockedKeyer clocked(clock, keyer);
    Run run;
    qint64 downAt = 0;
    keyer.setOutput([&](const KeyEdge& edge) {
        run.edges += QStringLiteral("%1%2 ").arg(edge.at).arg(QChar(edge.down ? u'+' : u'-'));
        if (edge.down) {
            downAt = edge.at;
        } else {
            run.marks += edge.at - downAt < 120 ? u'.' : u'-';
        }
    });
    for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
        const qint64 at = step.section(u':', 0, 0).toLongLong();
        const QString what = step.section(u':', 1);
        clock.scheduleAt(at, [&clocked, what, at] {
            if (what == u"x") {
                clocked.releaseAll();
            } else {
                clocked.contact(what[0] == u'.' ? Paddle::Dot : Paddle::Dash, what[1] == u'd', at);
            }
        });
    }
    clock.waitUntil(5000);
    run.edges = run.edges.trimmed();
    return run;
}

}  // namespace

class TestKeyer : public QObject {
    Q_OBJECT
  private slots:
    void keysAsTheClassicCasesSay_data();
    void keysAsTheClassicCasesSay();
    void sessionDecodesOnTheClockAlone();
};

void TestKeyer::keysAsTheClassicCasesSay_data() {
    QTest::addColumn<KeyerMode>("mode");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QString>("edges");  // empty: not compared

    const auto A = KeyerMode::IambicA;
    const auto B = KeyerMode::IambicB;
    QTest::newRow("straight key passes through")
        << KeyerMode::Straight << "0:.d 100:.u 250:.d 262:.u 300:-d"
        << ".."
        << "0+ 100- 250+ 262-";
    QTest::newRow("held dot repeats at its timing") << A << "0:.d 130:.u"
                                                    << ".."
                                                    << "0+ 60- 120+ 180-";
    QTest::newRow("A: dot-first squeeze released during the dash")
        << A << "0:.d 30:-d 200:.u 200:-u"
        << ".-"
        << "0+ 60- 120+ 300-";
    QTest::newRow("B: dot-first squeeze released during the dash")
        << B << "0:.d 30:-d 200:.u 200:-u"
        << ".-."
        << "0+ 60- 120+ 300- 360+ 420-";
    QTest::newRow("A: dash-first squeeze released during the dot")
        << A << "0:-d 50:.d 260:.u 260:-u"
        << "-."
        << "";
    QTest::newRow("B: dash-first squeeze released during the dot")
        << B << "0:-d 50:.d 260:.u 260:-u"
        << "-.-"
        << "";
    QTest::newRow("A: squeeze held alternates") << A << "0:.d 0:-d 500:.u 500:-u"
                                                << ".-.-"
                                                << "";
    QTest::newRow("B: squeeze held alternates, one more") << B << "0:.d 0:-d 500:.u 500:-u"
                                                          << ".-.-."
                                                          << "";
    QTest::newRow("A: dot memory set while the dash sounds") << A << "0:-d 50:.d 70:.u 100:-u"
                                                             << "-."
                                                             << "0+ 180- 240+ 300-";
    QTest::newRow("B: dot memory set while the dash sounds") << B << "0:-d 50:.d 70:.u 100:-u"
                                                             << "-."
                                                             << "0+ 180- 240+ 300-";
    QTest::newRow("dash memory set in the gap after a dot") << B << "0:.d 40:.u 80:-d 90:-u"
                                                            << ".-"
                                                            << "0+ 60- 120+ 300-";
    QTest::newRow("contact closed as an element ends counts for the next")
        << A << "0:.d 10:.u 120:-d 130:-u"
        << ".-"
        << "0+ 60- 120+ 300-";
    QTest::newRow("releasing all ends the element at once") << B << "0:-d 30:.d 90:x"
                                                            << "."
                                                            << "0+ 90-";
}

void TestKeyer::keysAsTheClassicCasesSay() {
    QFETCH(KeyerMode, mode);
    QFETCH(QString, script);
    QFETCH(QString, marks);
    QFETCH(QString, edges);
    const Run run = Key(mode, script);
    QCOMPARE(run.marks, marks);
    if (!edges.isEmpty()) {
        QCOMPARE(run.edges, edges);
    }
}

// A keying session with no window: a straight key at 20 WPM keyed on the virtual clock, from the
// standard's codes and spacing (dot 60 ms, dash 180, gaps of 1, 3 and 7 units), decodes what was
// keyed, and the word's end comes from the silence alone, with no key after it.
void TestKeyer::sessionDecodesOnTheClockAlone() {
    VirtualClock clock;
    KeyingSession session(clock);
    KeyInputSettings settings;
    settings.mode = KeyerMode::Straight;
    settings.wpm = 20;
    session.setSettings(settings);
    QString told;
    connect(&session, &KeyingSession::characterDecoded, this,
            [&told](const QString& text) { told += text; });
    qint64 at = 0;
    for (const QString& word : {u".--. .- .-. .. ..."_s, u".--. .- .-. .. ..."_s}) {
        for (const QString& sign : word.split(u' ')) {
            for (QChar element : sign) {
                clock.scheduleAt(at, [&, at] { session.contact(Paddle::Dot, true, at); });
                at += element == u'.' ? 60 : 180;
                clock.scheduleAt(at, [&, at] { session.contact(Paddle::Dot, false, at); });
                at += 60;
            }
            at += 120;
        }
        at += 240;
    }
    clock.waitUntil(at + 2000);
    QCOMPARE(told, u"PARIS PARIS "_s);
    QCOMPARE(session.characters().size(), std::size_t(10));
    session.reset();
    QVERIFY(session.decodedText().isEmpty());
    QVERIFY(session.timings().empty());
}

QTEST_GUILESS_MAIN(TestKeyer)
#include "test_keyer.moc"
