// Which character sounds as what, with which generator, speed and word pause.
#include <QtTest>

#include <cmath>

#include "core/morse/MorseTiming.h"
#include "support/WaveTestRig.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CharacterTable)
Q_DECLARE_METATYPE(SoundGenerator)
Q_DECLARE_METATYPE(FreeSpeed)

namespace {

constexpr auto Question = CharacterTable::Question;
constexpr auto Chat = CharacterTable::Chat;
constexpr auto Wave = SoundGenerator::Wave;
constexpr auto Beep = SoundGenerator::Beep;

}  // namespace

class TestCharacterDispatch : public QObject {
    Q_OBJECT

  private slots:
    void characters_data() {
        QTest::addColumn<CharacterTable>("table");
        QTest::addColumn<SoundGenerator>("generator");
        QTest::addColumn<int>("speed");  // 0: none selected
        QTest::addColumn<int>("fine");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tokens");  // after each character, "#" the one before
        QTest::addColumn<QString>("timeline");

        const auto row = [](const char* name, CharacterTable table, SoundGenerator generator,
                            int speed, int fine, const QString& text, const QString& tokens,
                            const QString& timeline) {
            QTest::newRow(name) << table << generator << speed << fine << text << tokens
                                << timeline;
        };
        row("letters either case", Question, Wave, 25, 0, u"aA"_s, u"A A"_s,
            u"W.- G330 W.- G330"_s);
        row("digit", Chat, Wave, 60, 0, u"7"_s, u"7"_s, u"W--... G135"_s);
        row("question period is AR", Question, Wave, 25, 0, u"."_s, u"[AR]"_s, u"W.-.-. G770"_s);
        row("chat period", Chat, Wave, 25, 0, u"."_s, u"."_s, u"W.-.-.- G330"_s);
        row("chat signs", Chat, Wave, 60, 0, u"(+/=?"_s, u"[KN] [AR] / [BT] ?"_s,
            u"W-.--. G135 W.-.-. G315 W-..-. G135 W-...- G315 W..--.. G135"_s);
        row("signs a question skips", Question, Wave, 60, 0, u"(+/=?"_s, u"# # # # #"_s, QString());
        row("unknown characters", Chat, Wave, 60, 0, u"!%"_s, u"# #"_s, QString());
        row("beep letter", Question, Beep, 25, 0, u"E"_s, u"E"_s, u"T220 G660"_s);
        row("beep chat BT", Chat, Beep, 60, 0, u"="_s, u"[BT]"_s,
            u"T270 G90 T90 G90 T90 G90 T90 G90 T270 G630"_s);
        row("beep space at 45, +10", Question, Beep, 45, 10, u" "_s, u"[Space]"_s, u"G528"_s);
        row("wave space at 45, +10", Chat, Wave, 45, 10, u" "_s, u"[Space]"_s, u"G264"_s);
        row("beep word space at 25", Question, Beep, 25, 0, u"E E"_s, u"E [Space] E"_s,
            u"T220 G660 G880 T220 G660"_s);
        row("no generator", Question, SoundGenerator::None, 25, 0, u"A B"_s, u"A [Space] B"_s,
            QString());
        row("no speed, wave", Question, Wave, 0, 0, u"A B"_s, u"A [Space] B"_s, QString());
        row("no speed, beep", Chat, Beep, 0, 0, u"A B"_s, u"A [Space] B"_s, QString());
    }
    void characters() {
        QFETCH(CharacterTable, table);
        QFETCH(SoundGenerator, generator);
        QFETCH(int, speed);
        QFETCH(int, fine);
        QFETCH(QString, text);
        QFETCH(QString, tokens);
        QFETCH(QString, timeline);
        SoundRig rig;
        rig.controls.generator = generator;
        rig.controls.speed = speed == 0 ? std::nullopt : std::optional<int>(speed);
        rig.controls.fine = fine;
        rig.state.CurrentSoundToken = u"#"_s;
        QStringList seen;
        for (QChar character : text) {
            rig.sound(character, table);
            seen << rig.state.CurrentSoundToken;
        }
        QCOMPARE(seen.join(u' '), tokens);
        QCOMPARE(rig.timeline(UnitForSpeed(speed == 0 ? 25 : speed)), timeline);
        QVERIFY(rig.isSeamless());
    }

    // A speed of its own: every tone, character gap and word gap within a sample of the exact
    // times, the characters' starts too, with either generator.
    void freeSpeedEdges_data() {
        QTest::addColumn<SoundGenerator>("generator");
        QTest::addColumn<FreeSpeed>("speed");
        const QList<FreeSpeed> speeds{{5, 0, 0},  {13, 0, 0},  {20, 0, 0}, {30, 0, 0},
                                      {45, 0, 0}, {60, 0, 0},  {25, 4, 0}, {18, 10, 0},
                                      {20, 5, 0}, {22, 0, 2.5}};
        for (const FreeSpeed& speed : speeds) {
            for (SoundGenerator generator : {Beep, Wave}) {
                QTest::addRow("%g/%g/%g %s", speed.characterWpm, speed.effectiveWpm,
                              speed.extraWordUnits, generator == Beep ? "beep" : "wave")
                    << generator << speed;
            }
        }
    }
    void freeSpeedEdges() {
        QFETCH(SoundGenerator, generator);
        QFETCH(FreeSpeed, speed);
        SoundRig rig;
        rig.controls.generator = generator;
        rig.controls.free = speed;
        const QString text = u"PARIS PARIS"_s;
        // Planned at once, as a playback does: waiting between characters would start each anew.
        for (QChar character : text) {
            rig.dispatch.SoundCharacter(character, Chat);
        }
        rig.heard();
        const FreeSpeedTimes times = TimesFor(speed);
        const auto samples = [](double ms) { return ms * kWaveSampleRate / 1000; };
        // Where each tone and character starts by the exact times.
        QList<double> toneStarts, toneEnds, characterStarts;
        double at = 0;
        for (QChar character : text) {
            if (character == u' ') {
                at += times.wordGapMs - times.characterGapMs;
                continue;
            }
            characterStarts << at;
            const QLatin1StringView pattern(
                MorseSymbolFor(*SymbolForAlphanumeric(character)).pattern);
            for (qsizetype i = 0; i < pattern.size(); ++i) {
                toneStarts << at;
                at += (pattern[i] == u'-' ? 3 : 1) * times.unitMs;
                toneEnds << at;
                at += i + 1 < pattern.size() ? times.unitMs : times.characterGapMs;
            }
        }
        const SoundPosition origin = rig.output.events().constFirst().position;
        QList<SoundPosition> heardTones, heardToneEnds, heardCharacters;
        for (const auto& event : rig.output.events()) {
            if (event.kind == RecordingSoundOutput::Kind::Tone) {
                heardTones << event.position - origin;
                heardToneEnds << event.end - origin;
            } else if (event.kind == RecordingSoundOutput::Kind::Wave) {
                heardCharacters << event.position - origin;
            }
        }
        if (generator == Beep) {
            QCOMPARE(heardTones.size(), toneStarts.size());
            for (qsizetype i = 0; i < toneStarts.size(); ++i) {
                QVERIFY(std::abs(heardTones[i] - samples(toneStarts[i])) <= 1);
                QVERIFY(std::abs(heardToneEnds[i] - samples(toneEnds[i])) <= 1);
            }
        } else {
            QCOMPARE(heardCharacters.size(), characterStarts.size());
            for (qsizetype i = 0; i < characterStarts.size(); ++i) {
                QVERIFY(std::abs(heardCharacters[i] - samples(characterStarts[i])) <= 1);
            }
        }
        // PARIS with its word gap is 50 units, or a word at the effective speed.
        const double word = (speed.stretched() ? 60000 / speed.effectiveWpm : 50 * times.unitMs) +
                            speed.extraWordUnits * times.unitMs;
        QVERIFY(std::abs(rig.output.plannedEnd() - origin - 2 * samples(word) +
                         samples(times.wordGapMs - times.characterGapMs)) <= samples(word) * 0.001);
    }

    void settingsAreReadForEveryCharacter() {
        SoundRig rig;
        // Inside the closing gap of the first A (stream 1000 ... 1880 at 25).
        rig.clock.scheduleAt(kRigStart + 900, [&] {
            rig.controls.generator = SoundGenerator::Beep;
            rig.controls.speed = 60;
            rig.controls.tone = u"0"_s;
        });
        rig.sound(u'A', CharacterTable::Chat);
        rig.sound(u'A', CharacterTable::Chat);
        QCOMPARE(rig.timeline(220), u"W.- G330 T90 G90 T270 G270"_s);
        QCOMPARE(rig.output.events().at(2).frequencyHz, 100);
    }

    void waveToneComesFromTheToneText() {
        SoundRig rig;
        rig.controls.tone = u"0"_s;  // as the settings file can leave it
        rig.sound(u'E', CharacterTable::Question);
        rig.soundWave(SymbolId::E, 220, 100);
        QCOMPARE(rig.output.events().at(0).samples, rig.output.events().at(2).samples);
    }
};

QTEST_GUILESS_MAIN(TestCharacterDispatch)
#include "test_character_dispatch.moc"
