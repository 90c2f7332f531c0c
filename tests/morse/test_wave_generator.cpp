// The WAV generator: each symbol's stream, its file, what plays, and the waits after it.
#include <QtTest>

#include "core/morse/WaveFile.h"
#include "support/WaveTestRig.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Bytes(const SampleBuffer& samples) {
    return QByteArray(reinterpret_cast<const char*>(samples.constData()), samples.size() * 2);
}

qsizetype LeadingZeros(const SampleBuffer& samples) {
    return std::find_if(samples.begin(), samples.end(), [](qint16 s) { return s != 0; }) -
           samples.begin();
}

const SampleBuffer& Played(const SoundRig& rig, int index) {
    return rig.output.events().at(index).samples;
}

}  // namespace

class TestWaveGenerator : public QObject {
    Q_OBJECT

  private slots:
    void everySymbol_data() {
        QTest::addColumn<int>("symbol");
        for (const MorseSymbol& entry : MorseTable()) {
            QTest::newRow(entry.fileStem) << int(entry.id);
        }
    }
    void everySymbol() {
        QFETCH(int, symbol);
        const MorseSymbol& entry = MorseSymbolFor(static_cast<SymbolId>(symbol));
        SoundRig rig;
        rig.state.LastSoundedChar = QStringLiteral("#");
        rig.soundWave(entry.id, 120, 800);

        const bool longGap = entry.id == SymbolId::AR || entry.id == SymbolId::BT;
        QCOMPARE(rig.timeline(120),
                 u'W' + QLatin1StringView(entry.pattern) +
                     (longGap ? QStringLiteral(" G420") : QStringLiteral(" G180")));
        QVERIFY(rig.isSeamless());
        QCOMPARE(rig.output.events().constFirst().sampleRate, 44100);

        // The file holds exactly what played, under the symbol's stem.
        const QByteArray file = ReadAll(rig.filePath(QString::fromLatin1(entry.fileStem)));
        QCOMPARE(file.size(), 44 + Played(rig, 0).size() * 2);
        QCOMPARE(file.mid(44), Bytes(Played(rig, 0)));

        const char* recorded = entry.recordedWave;
        QCOMPARE(rig.state.LastSoundedChar,
                 recorded ? QString::fromLatin1(recorded) : QStringLiteral("#"));
    }

    // The files of the three fixed speeds stay byte for byte what they have always been: all 42
    // files of a speed, level and adjustment, taken together.
    void fixedSpeedFilesKeepTheirBytes_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("fine");
        QTest::addColumn<int>("quality");
        QTest::addColumn<QByteArray>("sha1");
        QTest::newRow("25") << 220 << 0 << 1
                            << QByteArray("4d62536da873333ac73a8021a95d928e4b0a728f");
        QTest::newRow("45, -10, quality 3")
            << 120 << -10 << 3 << QByteArray("9f90c2ec1cf8a1e460e8dda1e6a03a7556467528");
        QTest::newRow("60, +20, quality 5")
            << 90 << 20 << 5 << QByteArray("607cc3424bf96256f6f7b2a57a743b5c19b4a025");
    }
    void fixedSpeedFilesKeepTheirBytes() {
        QFETCH(int, unit);
        QFETCH(int, fine);
        QFETCH(int, quality);
        QFETCH(QByteArray, sha1);
        SoundRig rig;
        rig.controls.fine = fine;
        rig.controls.quality = quality;
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const MorseSymbol& entry : MorseTable()) {
            rig.wave.WriteSymbolFile(entry.id, unit, 800);
            hash.addData(ReadAll(rig.filePath(QString::fromLatin1(entry.fileStem))));
        }
        QCOMPARE(hash.result().toHex(), sha1);
    }

    void elements_data() {
        QTest::addColumn<int>("symbol");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("fine");
        QTest::addColumn<int>("silence");  // samples before the first tone
        QTest::addColumn<int>("total");
        QTest::newRow("E at 25") << int(SymbolId::E) << 220 << 0 << 9702 << 2 * 9702;
        QTest::newRow("T at 60") << int(SymbolId::T) << 90 << 0 << 3969 << 4 * 3969;
        QTest::newRow("dash at 45") << int(SymbolId::T) << 120 << 0 << 5292 << 5292 + 15876;
        QTest::newRow("E at 60, -20") << int(SymbolId::E) << 90 << -20 << 3175 << 3175 + 3175;
        // The longest stream: five of 264 ms silence and 792 ms tone, 5.28 s.
        QTest::newRow("0 at 25, +20")
            << int(SymbolId::Num0) << 220 << 20 << 11642 << 5 * (11642 + 34927);
    }
    void elements() {
        QFETCH(int, symbol);
        QFETCH(int, unit);
        QFETCH(int, fine);
        QFETCH(int, silence);
        QFETCH(int, total);
        SoundRig rig;
        rig.controls.fine = fine;
        rig.soundWave(static_cast<SymbolId>(symbol), unit, 800);
        QCOMPARE(Played(rig, 0).size(), total);
        QCOMPARE(LeadingZeros(Played(rig, 0)), silence);
        QCOMPARE(int(Played(rig, 0)[silence]), 570);
    }

    void closingGaps_data() {
        QTest::addColumn<int>("symbol");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("fine");
        QTest::addColumn<int>("gap");
        QTest::newRow("A at 25") << int(SymbolId::A) << 220 << 0 << 330;
        QTest::newRow("AR at 25") << int(SymbolId::AR) << 220 << 0 << 770;
        // 270 x 0.85 x 0.5 = 114.75; 630 x 1.2 x 0.5 = 378.
        QTest::newRow("A at 60, -15") << int(SymbolId::A) << 90 << -15 << 115;
        QTest::newRow("AR at 60, +20") << int(SymbolId::AR) << 90 << 20 << 378;
    }
    void closingGaps() {
        QFETCH(int, symbol);
        QFETCH(int, unit);
        QFETCH(int, fine);
        QFETCH(int, gap);
        SoundRig rig;
        rig.controls.fine = fine;
        rig.soundWave(static_cast<SymbolId>(symbol), unit, 800);
        QCOMPARE(rig.output.events().size(), 2);
        QCOMPARE(rig.output.events().at(1).durationMs, gap);
        QVERIFY(rig.isSeamless());
    }

    void levelsAndFactorAreReadForEverySymbol() {
        SoundRig rig;
        rig.controls.quality = 1;
        // During the closing gap of the first E (its stream lasts 440 ms at 25).
        rig.clock.scheduleAt(kRigStart + 500, [&] {
            rig.controls.quality = 5;
            rig.controls.volume = 5;
            rig.controls.fine = 20;
        });
        rig.soundWave(SymbolId::E, 220, 800);
        rig.soundWave(SymbolId::E, 220, 800);
        QCOMPARE(int(Played(rig, 0)[9702 + 1]), 1);  // ramped in
        QCOMPARE(Played(rig, 2).size(), 2 * 11642);
        QCOMPARE(int(Played(rig, 2)[11642]), 1802);  // hard edge, 10 dB
        QCOMPARE(rig.output.events().at(3).durationMs, 396);
    }

    void frequencyOutsideTheRangeIsHeldToIt_data() {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("heldTo");
        QTest::newRow("0") << 0 << 100;
        QTest::newRow("-5") << -5 << 100;
        QTest::newRow("7000") << 7000 << 6000;
    }
    void frequencyOutsideTheRangeIsHeldToIt() {
        QFETCH(int, frequency);
        QFETCH(int, heldTo);
        SoundRig rig;
        rig.soundWave(SymbolId::E, 90, frequency);
        rig.soundWave(SymbolId::E, 90, heldTo);
        QCOMPARE(Played(rig, 0), Played(rig, 2));
        QCOMPARE(SoundRig::Pattern(Played(rig, 0), 90), QStringLiteral("."));
    }

    void testWordIsTestWithItsGaps() {
        SoundRig rig;
        rig.controls.generator = SoundGenerator::Beep;
        rig.wave.PlayTestWord(kTestWordUnitMs, 800, &rig.output, [] {});
        rig.heard();
        QCOMPARE(rig.timeline(90), QStringLiteral("W- G135 W. G135 W... G135 W- G135"));
        QVERIFY(rig.isSeamless());
        QCOMPARE(rig.state.LastSoundedChar, QStringLiteral("T"));
        for (const char* stem : {"T", "E", "S"}) {
            QVERIFY(QFile::exists(rig.filePath(QString::fromLatin1(stem))));
        }
        // A speed of its own is what the test plays then: 60 ms units, 180 ms character gaps.
        rig.output.clear();
        rig.controls.free = FreeSpeed{20, 0, 0};
        rig.wave.PlayTestWord(kTestWordUnitMs, 800, &rig.output, [] {});
        rig.heard();
        QCOMPARE(rig.timeline(60), QStringLiteral("W- G180 W. G180 W... G180 W- G180"));
    }

    void quittingEndsTheTestWord() {
        SoundRig rig;
        // Inside the gap after E (T: 0 ... 360 + 135, E: ... + 180 + 135).
        rig.clock.scheduleAt(kRigStart + 700, [&] { rig.clock.requestQuit(); });
        bool over = false;
        rig.wave.PlayTestWord(90, 800, &rig.output, [&over] { over = true; });
        WaitUntil(rig.clock, [&over] { return over; });
        QCOMPARE(rig.clock.now(), kRigStart + 700);
    }

    void shorterStreamLeavesTheOlderFilesTail() {
        SoundRig rig;
        rig.soundWave(SymbolId::E, 220, 800);
        const qsizetype oldSize = Played(rig, 0).size() * 2;
        rig.soundWave(SymbolId::E, 90, 800);
        const QByteArray file = ReadAll(rig.filePath(QStringLiteral("E")));
        const qsizetype newSize = Played(rig, 2).size() * 2;
        QCOMPARE(file.size(), 44 + oldSize);
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 40), quint32(newSize));
        QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 4), quint32(36 + newSize));
        QCOMPARE(file.mid(44, newSize), Bytes(Played(rig, 2)));
    }

    void unwritableFolderStillPlays() {
        SoundRig rig;
        QDir(rig.places.soundFolder()).removeRecursively();
        QFile blocker(rig.places.soundFolder());  // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        rig.soundWave(SymbolId::A, 90, 800);
        QCOMPARE(rig.timeline(90), QStringLiteral("W.- G135"));
    }
};

QTEST_GUILESS_MAIN(TestWaveGenerator)
#include "test_wave_generator.moc"
