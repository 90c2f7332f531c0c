#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "core/lesson/SoundDecodingSession.h"
#include "support/KeyedSound.h"

namespace {

const QString kParis = QStringLiteral(".--.|.-|.-.|..|... ");
const QString kCq = QStringLiteral("-.-.|--.- ");

// Two stations keyed at once at their own pitches and speeds, mixed as a receiver hears them.
std::vector<float> TwoStations() {
    std::vector<float> paris = KeyedSound(kParis.repeated(6), 20, 6, 0, 600);
    const std::vector<float> cq = KeyedSound(kCq.repeated(12), 28, 6, 0, 950);
    paris.resize(std::max(paris.size(), cq.size()), 0.0f);
    for (size_t n = 0; n < cq.size(); ++n) {
        paris[n] += cq[n];
    }
    return paris;
}

void Feed(SoundDecodingSession& session, const std::vector<float>& sound) {
    for (size_t at = 0; at < sound.size(); at += 160) {  // as a capture delivers it, 20 ms
        session.addSamples(std::span(sound).subspan(at, std::min<size_t>(160, sound.size() - at)),
                           kKeyedSoundRate);
    }
    session.finish();
}

}  // namespace

class TestSoundDecoding : public QObject {
    Q_OBJECT
  private slots:
    // Each station is followed by itself, at its own pitch and speed, and decoded apart; the
    // copy check sets the learner's copy against the station's.
    void stationsAreFollowedAndDecodedApart() {
        SoundDecodingSession session;
        Feed(session, TwoStations());
        QCOMPARE(session.signalList().size(), 2);
        for (const SoundDecodingSession::Signal& signal : session.signalList()) {
            const bool paris = std::abs(signal.pitchHz - 600) < 3;
            QVERIFY2(paris || std::abs(signal.pitchHz - 950) < 3,
                     qPrintable(QString::number(signal.pitchHz)));
            QCOMPARE_LE(std::abs(signal.wpm - (paris ? 20 : 28)), 2.5);
            const QString word = paris ? QStringLiteral("PARIS") : QStringLiteral("CQ");
            QVERIFY2(signal.text.simplified().endsWith(QStringList(4, word).join(u' ')),
                     qPrintable(signal.text));
        }
        const int paris = std::abs(session.signalList()[0].pitchHz - 600) < 3 ? 0 : 1;
        const CopyAlignment copy = session.checkCopy(paris, QStringLiteral("PARIS PARIS PARIS"));
        QCOMPARE(copy.rightCharacters, 15);
        QCOMPARE(session.checkCopy(7, QStringLiteral("PARIS")).sentCharacters, 0);
    }

    // A file that cannot be heard is refused and changes nothing; one that can is heard in
    // pieces between events to its end, a picked pitch decoded beside the one found.
    void filesAreHeardOrRefused() {
        QTemporaryDir dir;
        SoundDecodingSession session;
        const QString text = dir.filePath(QStringLiteral("notes.wav"));
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a recording");
        notes.close();
        QCOMPARE(session.openFile(text), WaveInput::Result::Status::NotWave);
        QCOMPARE(session.input(), SoundDecodingSession::Input::None);

        const std::vector<float> sound = TwoStations();
        QFile wave(dir.filePath(QStringLiteral("band.wav")));
        QVERIFY(wave.open(QIODevice::WriteOnly));
        QDataStream out(&wave);
        out.setByteOrder(QDataStream::LittleEndian);
        const auto bytes = static_cast<quint32>(sound.size() * 2);
        out.writeRawData("RIFF", 4);
        out << quint32(36 + bytes);
        out.writeRawData("WAVEfmt ", 8);
        out << quint32(16) << quint16(1) << quint16(1) << quint32(kKeyedSoundRate)
            << quint32(kKeyedSoundRate * 2) << quint16(2) << quint16(16);
        out.writeRawData("data", 4);
        out << bytes;
        for (const float sample : sound) {
            out << qint16(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767));
        }
        wave.close();
        session.setFollowStrongest(false);
        QSignalSpy finished(&session, &SoundDecodingSession::fileFinished);
        QCOMPARE(session.openFile(wave.fileName()), WaveInput::Result::Status::Read);
        QCOMPARE(session.input(), SoundDecodingSession::Input::File);
        session.pickPitch(955);
        QVERIFY(finished.wait(20000));
        QCOMPARE(session.signalList().size(), 1);
        QVERIFY2(session.signalList()[0].text.simplified().endsWith(QStringLiteral("CQ CQ CQ")),
                 qPrintable(session.signalList()[0].text));
    }
};

QTEST_GUILESS_MAIN(TestSoundDecoding)
#include "test_sound_decoding.moc"
