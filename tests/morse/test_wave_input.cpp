#include <sys/stat.h>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "core/morse/WaveFile.h"
#include "core/morse/WaveInput.h"

using Status = WaveInput::Result::Status;

namespace {

QByteArray Le(quint32 value, int bytes) {
    const quint32 little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), bytes);
}

// A RIFF WAVE file laid out by hand: a format chunk, `before` (other chunks), then the data
// chunk, whose header may claim more than it holds.
QByteArray Wav(quint16 tag, int channels, quint32 rate, int bits, const QByteArray& data,
               const QByteArray& before = {}, qint64 claimed = -1, bool extensible = false) {
    const int block = channels * bits / 8;
    QByteArray format = Le(extensible ? 0xFFFE : tag, 2) + Le(channels, 2) + Le(rate, 4) +
                        Le(rate * block, 4) + Le(block, 2) + Le(bits, 2);
    if (extensible) {
        format += Le(22, 2) + Le(bits, 2) + Le(0, 4) + Le(tag, 2) + QByteArray(14, '\x01');
    }
    const QByteArray body = "WAVEfmt " + Le(format.size(), 4) + format + before + "data" +
                            Le(claimed < 0 ? data.size() : claimed, 4) + data;
    return "RIFF" + Le(body.size(), 4) + body;
}

}  // namespace

class TestWaveInput : public QObject {
    Q_OBJECT
  private slots:
    void recordingsAreReadOrRefused_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QList<float>>("samples");
        QTest::addColumn<bool>("truncated");
        const QByteArray pcm16 = Le(0, 2) + Le(16384, 2) + Le(0x8000, 2);
        const QList<float> pcm16Read{0.0f, 0.5f, -1.0f};
        QTest::newRow("16-bit") << Wav(1, 1, 8000, 16, pcm16) << Status::Read << pcm16Read << false;
        QTest::newRow("8-bit stereo, mixed") << Wav(1, 2, 8000, 8, QByteArray::fromHex("80c00080"))
                                             << Status::Read << QList<float>{0.25f, -0.5f} << false;
        QTest::newRow("24-bit") << Wav(1, 1, 8000, 24, Le(0x400000, 3) + Le(0xC00000, 3))
                                << Status::Read << QList<float>{0.5f, -0.5f} << false;
        QTest::newRow("32-bit float") << Wav(3, 1, 8000, 32, Le(0x3E800000, 4)) << Status::Read
                                      << QList<float>{0.25f} << false;
        QTest::newRow("extensible, PCM inside")
            << Wav(1, 1, 8000, 16, pcm16, {}, -1, true) << Status::Read << pcm16Read << false;
        QTest::newRow("an odd-sized chunk before the data, padded")
            << Wav(1, 1, 8000, 16, pcm16, "LIST" + Le(3, 4) + QByteArray("abc\0", 4))
            << Status::Read << pcm16Read << false;
        QTest::newRow("cut off: what is there is read")
            << Wav(1, 1, 8000, 16, pcm16 + QByteArray("\x01"), {}, 100) << Status::Read << pcm16Read
            << true;
        QTest::newRow("not RIFF") << QByteArray("ID3\x03 some mp3") << Status::NotWave
                                  << QList<float>{} << false;
        QTest::newRow("no format before the data")
            << QByteArray("RIFF\x0c\0\0\0WAVEdata\0\0\0\0", 20) << Status::NotWave << QList<float>{}
            << false;
        QTest::newRow("ADPCM") << Wav(2, 1, 8000, 4, pcm16) << Status::NotPcm << QList<float>{}
                               << false;
        QTest::newRow("block size that lies")
            << Wav(1, 1, 8000, 12, pcm16) << Status::NotPcm << QList<float>{} << false;
        QTest::newRow("no channels")
            << Wav(1, 0, 8000, 16, pcm16) << Status::Unplayable << QList<float>{} << false;
    }
    void recordingsAreReadOrRefused() {
        QFETCH(QByteArray, file);
        QFETCH(Status, status);
        QFETCH(QList<float>, samples);
        QFETCH(bool, truncated);
        const WaveInput::Result result = WaveInput::FromBytes(file);
        QCOMPARE(result.status, status);
        QCOMPARE(QList<float>(result.samples.begin(), result.samples.end()), samples);
        QCOMPARE(result.truncated, truncated);
        QCOMPARE(result.sampleRate, status == Status::Read ? 8000 : 0);
    }

    // The program's own files read back as written; a FIFO is refused without waiting for a
    // writer that never comes.
    void filesOnDisk() {
        QTemporaryDir dir;
        const QString own = dir.filePath(QStringLiteral("own.wav"));
        QVERIFY(WaveFile::Write(own, SampleBuffer{0, 16384, -16384}, 11025));
        const WaveInput::Result read = WaveInput::Read(own);
        QCOMPARE(read.status, Status::Read);
        QCOMPARE(read.sampleRate, 11025);
        QCOMPARE(QList<float>(read.samples.begin(), read.samples.end()),
                 (QList<float>{0.0f, 0.5f, -0.5f}));
        const QString fifo = dir.filePath(QStringLiteral("fifo.wav"));
        QCOMPARE(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        QCOMPARE(WaveInput::Read(fifo).status, Status::NotRegularFile);
        QCOMPARE(WaveInput::Read(dir.filePath(QStringLiteral("none.wav"))).status,
                 Status::CannotOpen);
    }
};

QTEST_GUILESS_MAIN(TestWaveInput)
#include "test_wave_input.moc"
