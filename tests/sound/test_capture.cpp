#include <QtTest>
#include <limits>

#include "core/sound/CaptureRing.h"
#include "core/sound/CaptureSources.h"
#include "core/sound/CaptureStream.h"

constexpr int kBlock = 160;

class TestCapture : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // No sound server answers: the program never starts one, and the address leads nowhere.
        qputenv("PULSE_SERVER", "unix:/nonexistent/quill-test/native");
        qputenv("PULSE_CLIENTCONFIG", "/dev/null");
    }

    // Peak and RMS as the definitions give them: half the samples at the peak, half silent, is
    // an RMS of the peak over the root of two.
    void levelIsPeakAndRmsBelowFullScale_data() {
        QTest::addColumn<std::vector<float>>("samples");
        QTest::addColumn<float>("peakDbfs");
        QTest::addColumn<float>("rmsDbfs");
        const float silence = CaptureLevel::kSilenceDbfs;
        QTest::newRow("half scale")
            << std::vector<float>{0.5f, -0.5f, 0, 0} << -6.0206f << -9.0309f;
        QTest::newRow("silence") << std::vector<float>(800, 0.0f) << silence << silence;
        QTest::newRow("nothing") << std::vector<float>{} << silence << silence;
    }
    void levelIsPeakAndRmsBelowFullScale() {
        QFETCH(std::vector<float>, samples);
        QFETCH(float, peakDbfs);
        QFETCH(float, rmsDbfs);
        const CaptureLevel level = LevelOf(samples);
        QCOMPARE_LE(std::abs(level.peakDbfs - peakDbfs), 0.01f);
        QCOMPARE_LE(std::abs(level.rmsDbfs - rmsDbfs), 0.01f);
    }

    // What a peek hands over comes out in blocks, a hole as silence of its length, a sample
    // that is no number as silence; a partial sample is left out.
    void peeksComeOutAsBlocks_data() {
        QTest::addColumn<bool>("hole");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("extraBytes");
        QTest::newRow("two blocks and a half") << false << 0.25f << 2 * kBlock + kBlock / 2 << 0;
        QTest::newRow("a hole") << true << 0.25f << 3 * kBlock << 0;
        QTest::newRow("no numbers")
            << false << std::numeric_limits<float>::quiet_NaN() << kBlock << 0;
        QTest::newRow("infinities")
            << false << std::numeric_limits<float>::infinity() << kBlock << 0;
        QTest::newRow("a partial sample") << false << 0.25f << 10 << 3;
    }
    void peeksComeOutAsBlocks() {
        QFETCH(bool, hole);
        QFETCH(float, value);
        QFETCH(int, samples);
        QFETCH(int, extraBytes);
        CaptureRing ring(16, kBlock);
        const std::vector<float> peeked(static_cast<size_t>(samples) + 1, value);
        ring.putPeeked(hole ? nullptr : peeked.data(), samples * sizeof(float) + extraBytes);
        const float expected = hole || !std::isfinite(value) ? 0.0f : value;
        int taken = 0;
        CaptureBlock block;
        while (ring.take(block)) {
            QCOMPARE_LE(block.samples.size(), size_t{kBlock});
            for (const float sample : block.samples) {
                QCOMPARE(sample, expected);
            }
            taken += static_cast<int>(block.samples.size());
        }
        QCOMPARE(taken, samples);
        QCOMPARE(ring.dropped(), 0);
    }

    // A taker that falls behind loses the newest blocks, counted; what it takes is in order.
    void aFullRingDropsTheNewestAndCountsThem() {
        CaptureRing ring(4, kBlock);  // one slot always free: three blocks wait at most
        for (int n = 1; n <= 5; ++n) {
            const std::vector<float> samples(kBlock, static_cast<float>(n) / 10);
            ring.putPeeked(samples.data(), samples.size() * sizeof(float));
        }
        CaptureBlock block;
        for (int n = 1; n <= 3; ++n) {
            QVERIFY(ring.take(block));
            QCOMPARE(block.samples.front(), static_cast<float>(n) / 10);
        }
        QVERIFY(!ring.take(block));
        QCOMPARE(ring.dropped(), 2);
        // A hole far longer than the ring is counted, not looped over block by block.
        ring.putPeeked(nullptr, size_t{1} << 40);
        QCOMPARE(ring.dropped(), 2 + ((qint64{1} << 38) + kBlock - 1) / kBlock - 3);
    }

    // Without a server: an empty list and the reason, soon; a recording fails with the reason,
    // an absurd rate at once, and stopping is safe in every state.
    void withoutAServerEverythingSaysWhy() {
        CaptureSources sources;
        QSignalSpy listed(&sources, &CaptureSources::listed);
        sources.request();
        QVERIFY(listed.wait(CaptureSources::kAnswerWithinMs + 3000));
        QVERIFY(listed.at(0).at(0).value<QList<CaptureSource>>().isEmpty());
        QCOMPARE(listed.at(0).at(1).value<CaptureFault>(), CaptureFault::NoServer);

        CaptureStream stream;
        stream.stop();
        QCOMPARE(stream.state(), CaptureStream::State::Stopped);
        stream.start("nowhere", 0);
        QCOMPARE(stream.state(), CaptureStream::State::Failed);
        QCOMPARE(stream.fault(), CaptureFault::BadFormat);
        stream.start({}, 48000);
        QTRY_COMPARE_WITH_TIMEOUT(stream.state(), CaptureStream::State::Failed,
                                  CaptureStream::kAnswerWithinMs + 3000);
        QCOMPARE(stream.fault(), CaptureFault::NoServer);
        stream.start("nowhere", 44100);
        stream.stop();  // while connecting
        QCOMPARE(stream.state(), CaptureStream::State::Stopped);
        stream.stop();
    }
};

QTEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
