#include <QLocalServer>
#include <QtTest>
#include <cmath>

#include "morse/RealSoundOutput.h"
#include "morse/SoundServerProbe.h"
#include "morse/SoundTimeline.h"
#include "morse/ToneShaper.h"
#include "support/VirtualClock.h"

using ToneShaper::kEdgeSamples;

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

    // --- the timeline ---

    void timelineNeverDriftsFromTheNominalSum_data() {
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<qint64>("endSamples");  // after the lead
        QTest::newRow("whole samples") << QList<int>{90, 90, 270} << qint64{450 * 441 / 10};
        QTest::newRow("tenths add up") << QList<int>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1} << qint64{441};
        QTest::newRow("121 ms twice") << QList<int>{121, 121} << qint64{10672};  // 10672.2
        QTest::newRow("odd ms") << QList<int>{5, 5} << qint64{441};
    }
    void timelineNeverDriftsFromTheNominalSum() {
        QFETCH(QList<int>, lengths);
        QFETCH(qint64, endSamples);
        SoundTimeline timeline;
        timeline.catchUp(1000);
        qint64 previousEnd = timeline.end();
        QCOMPARE(previousEnd, 1000 + SoundTimeline::kLeadSamples);
        for (int ms : lengths) {
            QCOMPARE(timeline.addMs(ms), previousEnd);  // each element starts where the last ended
            previousEnd = timeline.end();
            // The output is behind the timeline, so nothing is re-anchored.
            timeline.catchUp(timeline.returnPosition());
            QCOMPARE(timeline.end(), previousEnd);
        }
        QCOMPARE(timeline.end() - 1000 - SoundTimeline::kLeadSamples, endSamples);
    }

    void wholeSamplesKeepTheCarry() {
        SoundTimeline timeline;
        timeline.addMs(5);  // 220.5 samples
        const qint64 waveStart = timeline.addSamples(1000);
        QCOMPARE(waveStart, qint64{221});
        QCOMPARE(timeline.end(), qint64{1221});
        timeline.addMs(5);  // 441 in all
        QCOMPARE(timeline.end(), qint64{1441});
    }

    void aCaughtUpOutputStartsOneLeadAhead() {
        SoundTimeline timeline;
        timeline.addMs(100);
        timeline.catchUp(100000);
        QCOMPARE(timeline.end(), 100000 + SoundTimeline::kLeadSamples);
        QCOMPARE(timeline.returnPosition(), qint64{100000});
    }

    void millisecondsAndSamples_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<qint64>("samples");
        QTest::addColumn<qint64>("msToReach");
        QTest::newRow("1 ms") << qint64{1} << qint64{44} << qint64{1};
        QTest::newRow("10 ms") << qint64{10} << qint64{441} << qint64{10};
        QTest::newRow("121 ms") << qint64{121} << qint64{5336} << qint64{121};
        QTest::newRow("5 ms") << qint64{5} << qint64{220} << qint64{5};
    }
    void millisecondsAndSamples() {
        QFETCH(qint64, ms);
        QFETCH(qint64, samples);
        QFETCH(qint64, msToReach);
        QCOMPARE(SamplesAfterMs(ms), samples);
        QCOMPARE(MsToReachSamples(samples), msToReach);
        QCOMPARE(MsToReachSamples(samples + 44), msToReach + 1);
    }

    // --- finding the sound server ---

    void serverIsLookedForWhereTheClientLibraryLooks_data() {
        QTest::addColumn<QString>("pulseServer");  // "@" stands for the listening socket
        QTest::addColumn<bool>("runtimeDirListens");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("runtime folder, listening") << QString() << true << true;
        QTest::newRow("runtime folder, nothing") << QString() << false << false;
        QTest::newRow("unix: path") << QStringLiteral("unix:@") << false << true;
        QTest::newRow("plain path") << QStringLiteral("@") << false << true;
        QTest::newRow("missing socket")
            << QStringLiteral("unix:/nonexistent/native") << true << false;
        QTest::newRow("second of a list")
            << QStringLiteral("/nonexistent/native unix:@") << false << true;
        QTest::newRow("network server") << QStringLiteral("tcp:localhost:4713") << false << true;
    }
    void serverIsLookedForWhereTheClientLibraryLooks() {
        QFETCH(QString, pulseServer);
        QFETCH(bool, runtimeDirListens);
        QFETCH(bool, reachable);
        QTemporaryDir runtime;
        QVERIFY(QDir(runtime.path()).mkpath(QStringLiteral("pulse")));
        const QString socketPath = runtime.filePath(QStringLiteral("pulse/native"));
        QLocalServer server;
        const QString listening = runtime.filePath(QStringLiteral("other"));
        QVERIFY(server.listen(runtimeDirListens ? socketPath : listening));
        pulseServer.replace(u'@', listening);
        QCOMPARE(SoundServerReachable(pulseServer, runtime.path()), reachable);
    }

    // --- without a sound server: the silent timeline on the clock ---

    void withoutAServerEveryCallTakesItsExactTime_data() {
        QTest::addColumn<qint64>("idleBefore");
        QTest::newRow("at once") << qint64{0};
        QTest::newRow("after a pause") << qint64{5003};
    }
    void withoutAServerEveryCallTakesItsExactTime() {
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

    void gapKeepsTheWaitingRules() {
        VirtualClock clock;
        RealSoundOutput sound(clock);
        bool ran = false;
        QMetaObject::invokeMethod(
            this, [&] { ran = true; }, Qt::QueuedConnection);
        sound.Gap(0);
        sound.Gap(-5);
        QVERIFY(!ran);
        QCOMPARE(clock.now(), qint64{0});
        sound.Gap(1);
        QVERIFY(ran);
    }

    void quittingEndsEveryCallAtOnce() {
        VirtualClock clock;
        RealSoundOutput sound(clock);
        clock.requestQuit();
        sound.Beep(800, 1000);
        sound.Gap(1000);
        sound.PlayWave(QVector<qint16>(44100), 44100);
        QCOMPARE(clock.now(), qint64{0});
    }

  private:
    QTemporaryFile m_config;
};

QTEST_GUILESS_MAIN(TestSoundOutput)
#include "test_sound_output.moc"
