#include <QtTest>
#include <cmath>

#include "core/sound/KeyedTone.h"
#include "core/sound/RealSoundOutput.h"
#include "core/sound/SoundTimeline.h"
#include "core/sound/ToneShaper.h"
#include "support/VirtualClock.h"

using namespace Qt::StringLiterals;
using ToneShaper::kEdgeSamples;
constexpr qint64 kGuard = KeyedTone::kGuardSamples;

class TestSoundOutput : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // No sound server can answer, and none may be started for us.
        m_config.open();
        m_config.write("autospawn = no\n");
        m_config.flush();
        qputenv("PULSE_SERVER", "unix:/nonexistent/quill-test/native");
        qputenv("PULSE_CLIENTCONFIG", m_config.fileName().toLocal8Bit());
    }

    // --- the tone's shape ---

    void toneEdgesAreCentredOnTheNominalPoints_data() {
        QTest::addColumn<qint64>("length");
        QTest::newRow("90 ms") << qint64{3969};
        QTest::newRow("one edge long") << qint64{kEdgeSamples};
        QTest::newRow("7 samples") << qint64{7};
    }
    void toneEdgesAreCentredOnTheNominalPoints() {
        QFETCH(qint64, length);
        const QVector<qint16> tone = ToneShaper::ShapedTone(800, length, 44100);
        QCOMPARE(tone.size(), length + kEdgeSamples);
        const qint64 start = kEdgeSamples / 2;
        QCOMPARE(ToneShaper::Envelope(0, length), 0.0);
        if (length >= kEdgeSamples) {
            QCOMPARE(ToneShaper::Envelope(start, length), 0.5);
            QCOMPARE(ToneShaper::Envelope(start + length, length), 0.5);
            QCOMPARE(ToneShaper::Envelope(length / 2 + start, length), 1.0);
        }
        // Rises, then falls, never jumping: no click.
        for (qint64 i = 1; i < length + kEdgeSamples; ++i) {
            const double step =
                ToneShaper::Envelope(i, length) - ToneShaper::Envelope(i - 1, length);
            QVERIFY(std::abs(step) <= M_PI / 2 / kEdgeSamples + 1e-12);
            QVERIFY(i <= (length + kEdgeSamples) / 2 ? step >= 0 : step <= 0);
        }
        // Consecutive samples differ by no more than the sine's own slope allows.
        const double maxStep =
            ToneShaper::kAmplitude * (2 * M_PI * 800 / 44100 + M_PI / kEdgeSamples);
        for (qsizetype i = 1; i < tone.size(); ++i) {
            QVERIFY(std::abs(tone[i] - tone[i - 1]) <= maxStep);
        }
        QVERIFY(std::abs(tone.first()) <= 1 && std::abs(tone.last()) <= maxStep);
    }

    void frequencyOutsideTheOutputIsSilentButAsLong_data() {
        QTest::addColumn<int>("frequency");
        QTest::newRow("0") << 0;
        QTest::newRow("negative") << -800;
        QTest::newRow("half the rate") << 22050;
    }
    void frequencyOutsideTheOutputIsSilentButAsLong() {
        QFETCH(int, frequency);
        const QVector<qint16> tone = ToneShaper::ShapedTone(frequency, 441, 44100);
        QCOMPARE(tone.size(), 441 + kEdgeSamples);
        QVERIFY(std::all_of(tone.begin(), tone.end(), [](qint16 s) { return s == 0; }));
    }

    // --- the keyed tone: rewritten in place where the server has not read yet ---

    void keyedToneJoinsWhatTheServerHolds_data() {
        QTest::addColumn<QList<qint64>>("changes");  // samples of the clock: down, up, down, ...
        QTest::addColumn<qint64>("late");     // every write reaches the server this much later
        QTest::addColumn<qint64>("restart");  // a dry stream given sound starts this much later
        const QList<qint64> redown{0, 22050, 22100, 30000};
        const QList<qint64> pauses{0, 900, 44100, 45000};
        QTest::newRow("held, released") << QList<qint64>{0, 44100} << qint64{0} << qint64{0};
        QTest::newRow("released in the rise")
            << QList<qint64>{0, 60, 30000, 31000} << qint64{0} << qint64{0};
        QTest::newRow("pressed in the fall") << redown << qint64{0} << qint64{0};
        QTest::newRow("rewrites landing late") << redown << qint64{kGuard - 1} << qint64{0};
        QTest::newRow("pressed after running dry") << pauses << qint64{0} << qint64{0};
        QTest::newRow("a dry stream restarted 7 ms late") << pauses << qint64{0} << qint64{309};
        QTest::newRow("60, 180 and 60 ms held; 60 and 300 ms up")
            << QList<qint64>{0, 2646, 5292, 13230, 26460, 29106} << qint64{0} << qint64{0};
    }
    void keyedToneJoinsWhatTheServerHolds() {
        QFETCH(QList<qint64>, changes);
        QFETCH(qint64, late);
        QFETCH(qint64, restart);
        KeyedTone tone;
        QVector<qint16> out(changes.last() + 44100, 0);  // as heard, by sample of the clock
        QVector<qint16> held(out.size() + 44100, 0);     // as the server holds it
        SoundPosition read = 0;  // what the server has taken: never changed again
        SoundPosition received = 0;
        const auto apply = [&](const KeyedTone::Write& write) {
            for (qsizetype i = std::max<qint64>(0, read - write.at); i < write.samples.size();
                 ++i) {
                held[write.at + i] = write.samples[i];
            }
            received = std::max(received, write.at + write.samples.size());
        };
        QList<std::pair<qint64, KeyedTone::Write>> sent;
        qint64 resumeAt = 0;  // where a server that had run dry plays again
        for (qint64 now = 0, k = 0; now < out.size(); ++now) {
            if (k < changes.size() && changes[k] == now) {
                const qint64 down = k % 2 == 1 ? now - changes[k - 1] : 0;
                sent.append({now + late, k++ % 2 == 0 ? tone.press(800, read, read + 8820)
                                                      : tone.release(read, down)});
            } else if (now % 441 == 0) {
                sent.append({now + late, tone.topUp(read + 8820)});
            }
            while (!sent.isEmpty() && sent.first().first <= now) {
                apply(sent.takeFirst().second);
            }
            // A server that has played all it was given waits for more, and may start late.
            if (read >= received) {
                resumeAt = now + 1 + restart;
            }
            out[now] = read < received && now >= resumeAt ? held[read++] : 0;
        }
        // Never a step larger than the sine's own slope with an edge's: no click.
        const double maxStep =
            ToneShaper::kAmplitude * (2 * M_PI * 800 / 44100 + M_PI / kEdgeSamples);
        for (qsizetype i = 1; i < out.size(); ++i) {
            QVERIFY2(std::abs(out[i] - out[i - 1]) <= maxStep, qPrintable(QString::number(i)));
        }
        // A tone apart from others lasts from half level to half level as the key was held (2 ms):
        const auto loud = [&](qint64 at) {
            return std::abs(out[at]) >= ToneShaper::kAmplitude / 2;
        };
        const auto apart = [&](qsizetype k) {  // the change k is two edges from either neighbour
            return (k == 0 || changes[k] - changes[k - 1] >= 2 * kEdgeSamples) &&
                   (k + 1 == changes.size() || changes[k + 1] - changes[k] >= 2 * kEdgeSamples);
        };
        for (qsizetype k = 0; k < changes.size(); k += 2) {
            if (!apart(k) || !apart(k + 1)) {
                continue;
            }
            qint64 rise = changes[k];
            qint64 fall = k + 2 < changes.size() ? changes[k + 2] : out.size() - 1;
            while (!loud(rise) || !loud(fall)) {
                rise += loud(rise) ? 0 : 1;
                fall -= loud(fall) ? 0 : 1;
            }
            QCOMPARE_LE(std::abs(fall - rise - (changes[k + 1] - changes[k])), qint64{88});
        }
        // Silence once the last fall is over.
        QVERIFY(std::all_of(out.begin() + changes.last() + late + restart + kGuard + kEdgeSamples,
                            out.end(), [](qint16 s) { return s == 0; }));
    }

    // --- the timeline ---

    void timelineNeverDriftsFromTheNominalSum_data() {
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<qint64>("endSamples");
        QTest::newRow("whole samples") << QList<int>{90, 90, 270} << qint64{450 * 441 / 10};
        QTest::newRow("tenths add up") << QList<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1} << qint64{441};
        QTest::newRow("121 ms twice") << QList<int>{121, 121} << qint64{10672};  // 10672.2
        QTest::newRow("odd ms") << QList<int>{5, 5} << qint64{441};
    }
    void timelineNeverDriftsFromTheNominalSum() {
        QFETCH(QList<int>, lengths);
        QFETCH(qint64, endSamples);
        SoundTimeline timeline;
        timeline.restartAt(1000);
        qint64 previousEnd = timeline.end();
        for (int ms : lengths) {
            QCOMPARE(timeline.addMs(ms), previousEnd);  // each element starts where the last ended
            previousEnd = timeline.end();
        }
        QCOMPARE(timeline.end() - 1000, endSamples);
    }

    void millisecondsAndSamples_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint64>("samples");
        QTest::newRow("1 ms") << qint64{1} << qint64{44};
        QTest::newRow("10 ms") << qint64{10} << qint64{441};
        QTest::newRow("121 ms") << qint64{121} << qint64{5336};
        QTest::newRow("5 ms, rounded as the timeline rounds") << qint64{5} << qint64{221};
    }
    void millisecondsAndSamples() {
        QFETCH(qint64, ms);
        QFETCH(qint64, samples);
        QCOMPARE(SamplesAfterMs(ms), samples);
        // A position planned n ms on is heard exactly n ms on.
        QCOMPARE(MsToReachSamples(samples), ms);
        SoundTimeline timeline;
        timeline.addMs(static_cast<int>(ms));
        QCOMPARE(timeline.end(), samples);
    }

    // --- planning, hearing and cutting, on the silent timeline ---

    // Planning returns at once; each element is heard at its planned time, and what waits for
    // a position runs then, in the order it was asked for.
    void plannedSoundIsHeardOnTime() {
        VirtualClock clock(1000);
        RealSoundOutput sound(clock);  // no server can answer: the silent timeline
        QStringList heard;
        const auto note = [&](const QString& what) {
            return [&heard, &clock, what] { heard << what + u'@' + QString::number(clock.now()); };
        };
        const SoundPosition tone = sound.planTone(800, 121);
        sound.whenHeard(tone, this, note(QStringLiteral("tone")));
        sound.whenHeard(tone, this, note(QStringLiteral("again")));
        const SoundPosition gap = sound.planGap(30);
        sound.whenHeard(gap, this, note(QStringLiteral("gap")));
        const SoundPosition wave = sound.planWave(QVector<qint16>(22050 / 10, 1000), 22050);
        sound.whenHeard(wave, this, note(QStringLiteral("wave")));
        sound.whenHeard(sound.plannedEnd(), this, note(QStringLiteral("end")));
        QCOMPARE(clock.now(), qint64{1000});
        QCOMPARE(sound.msAhead(), qint64{251});
        QVERIFY(sound.waitUntilHeard(sound.plannedEnd(), [] { return false; }));
        QCOMPARE(heard, (QStringList{u"tone@1000"_s, u"again@1000"_s, u"gap@1121"_s, u"wave@1151"_s,
                                     u"end@1251"_s}));
    }

    // A window closed after the output was shut down (the program ending with it open) keys up,
    // closes and plans without touching a stream that is gone.
    void keyingAfterShutDownIsHarmless() {
        VirtualClock clock(0);
        RealSoundOutput sound(clock);
        sound.openKeying();
        sound.keyDown(800);
        QVERIFY(sound.shutDown(100));
        sound.keyDown(800);
        sound.keyUp();
        sound.closeKeying();
        sound.planTone(800, 60);
        QCOMPARE(sound.underruns(), 0);
    }

    // The wait for the lead ends when no more than the lead is left unheard, and a cut ends it
    // early; a cut drops the sound from its position on with what waited for it, and the next
    // element starts there.
    void leadWaitsAndCuts() {
        VirtualClock clock(0);
        RealSoundOutput sound(clock);
        for (int i = 0; i < 10; ++i) {
            sound.planTone(800, 300);
        }
        QVERIFY(sound.waitForLead(1000, [] { return false; }));
        QCOMPARE(clock.now(), qint64{2000});
        bool lateRan = false;
        sound.whenHeard(sound.plannedEnd(), this, [&] { lateRan = true; });
        clock.scheduleAt(2100, [&] { sound.cut(); });
        QVERIFY(!sound.waitForLead(0, [] { return false; }));  // ended by the cut
        QCOMPARE(clock.now(), qint64{2100});
        QCOMPARE(sound.cutCount(), quint64{1});
        QCOMPARE(sound.msAhead(), qint64{0});
        QCOMPARE(sound.nextPosition(), sound.heard());
        Delay(clock, 2000);
        QVERIFY(!lateRan);
    }

    void blockingCallsTakeTheirExactTime_data() {
        QTest::addColumn<qint64>("idleBefore");
        QTest::newRow("at once") << qint64{0};
        QTest::newRow("after a pause") << qint64{5003};
    }
    void blockingCallsTakeTheirExactTime() {
        QFETCH(qint64, idleBefore);
        VirtualClock clock(1000);
        RealSoundOutput sound(clock);
        Delay(clock, static_cast<int>(idleBefore));
        QVERIFY(!sound.isSoundOn());
        struct Call {
            char kind;
            int ms;
        };
        const QList<Call> calls{{'b', 121}, {'g', 121}, {'b', 90}, {'g', 1}, {'w', 100},
                                {'b', 1},   {'g', 270}, {'v', 40}, {'g', 33}};
        for (const Call& call : calls) {
            const qint64 before = clock.now();
            switch (call.kind) {
                case 'b':
                    sound.Beep(800, call.ms);
                    break;
                case 'g':
                    sound.Gap(call.ms);
                    break;
                case 'w':  // at the stream's rate
                    sound.PlayWave(QVector<qint16>(call.ms * 441 / 10, 1000), 44100);
                    break;
                default:  // at another rate
                    sound.PlayWave(QVector<qint16>(call.ms * 22050 / 1000, 1000), 22050);
                    break;
            }
            QCOMPARE(clock.now() - before, qint64{call.ms});
        }
        QVERIFY(!sound.isSoundOn());
    }

    void waitsKeepTheWaitingRules() {
        VirtualClock clock;
        RealSoundOutput sound(clock);
        bool ran = false;
        QMetaObject::invokeMethod(
            this, [&] { ran = true; }, Qt::QueuedConnection);
        sound.Gap(0);
        sound.Gap(-5);
        QVERIFY(!ran);
        QCOMPARE(clock.now(), qint64{0});
        sound.waitForLead(1000, [] { return false; });  // nothing planned, events still run
        QVERIFY(ran);
        clock.requestQuit();
        sound.Beep(800, 1000);
        sound.PlayWave(QVector<qint16>(44100), 44100);
        QVERIFY(!sound.waitForLead(0, [] { return false; }));
        QCOMPARE(clock.now(), qint64{0});
    }

  private:
    QTemporaryFile m_config;
};

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "test_sound_output.moc"
