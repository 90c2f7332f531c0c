// Planned playback: sound planned a second ahead of what is heard, the window following what is
// heard, and what has not begun to sound planned again when the settings change, when a playback
// starts inside it, or thrown away by a stop.
#include <QtTest>

#include "core/morse/PlannedPlayback.h"
#include "support/WaveTestRig.h"

using namespace Qt::StringLiterals;

namespace {

struct Playing {
    QChar character;
    qint64 heardAt;  // when its first sound was heard
    QString token;   // the token then
};

// Plays a text through a planned playback, noting when each character is heard.
struct PlaybackRig : SoundRig {
    QList<Playing> heardLog;
    qint64 mostAheadMs = 0;

    void play(
        const QString& text, const std::function<bool()>& stopped = [] { return false; }) {
        PlannedPlayback playback(output, controls);
        playback.watch([] {});  // the clock's own wait looks again after every event
        for (const QChar character : text) {
            if (stopped()) {
                return;
            }
            playback.add([this, character] {
                output.whenHeard(output.nextPosition(), &output, [this, character] {
                    heardLog.append({character, clock.now(), QString()});
                });
                dispatch.SoundCharacter(character, CharacterTable::Chat);
                output.whenHeard(output.nextPosition(), &output, [this] {
                    if (!heardLog.isEmpty()) {
                        heardLog.last().token = state.CurrentSoundToken;
                    }
                });
            });
            mostAheadMs = qMax(mostAheadMs, output.msAhead());
            WaitUntil(clock, [&] { return stopped() || playback.leadLeft(); });
        }
        WaitUntil(clock, [&] { return stopped() || playback.heardToEnd(); });
    }
    QString heardText() const {
        QString text;
        for (const Playing& playing : heardLog) {
            text += playing.character;
        }
        return text;
    }
};

}  // namespace

class TestPlannedPlayback : public QObject {
    Q_OBJECT

  private slots:
    // About a second is planned ahead, no more; each character is heard where it was planned,
    // the token changing as it is heard, and the sound has no seam.
    void plansALeadAheadAndFollowsWhatIsHeard() {
        PlaybackRig rig;
        rig.controls.generator = SoundGenerator::Beep;
        rig.controls.speed = 60;
        rig.play(u"EEEEEEEEEE"_s);  // 360 ms each: 90 ms tone, 270 ms closing gap
        QCOMPARE(rig.heardText(), u"EEEEEEEEEE"_s);
        for (qsizetype i = 0; i < rig.heardLog.size(); ++i) {
            QCOMPARE(rig.heardLog.at(i).heardAt, kRigStart + 360 * i);
            QCOMPARE(rig.heardLog.at(i).token, u"E"_s);
        }
        QVERIFY(rig.mostAheadMs >= PlannedPlayback::kLeadMs);
        QVERIFY(rig.mostAheadMs <= PlannedPlayback::kLeadMs + 360);
        QVERIFY(rig.isSeamless());
    }

    // A change of the settings acts from the next character on: what was planned ahead with the
    // old settings and has not begun to sound is planned again; the character sounding stays.
    void aSettingsChangeActsFromTheNextCharacter() {
        PlaybackRig rig;
        rig.controls.generator = SoundGenerator::Beep;
        rig.controls.speed = 25;  // E: 220 ms tone, 660 ms gap
        rig.clock.scheduleAt(kRigStart + 100, [&] {
            rig.controls.fine = -20;  // 0.8: 176 and 528
            ++rig.controls.changes;
        });
        rig.play(u"EEE"_s);
        QCOMPARE(rig.timeline(220), u"T220 G660 T176 G528 T176 G528"_s);
        QCOMPARE(rig.heardLog.at(1).heardAt, kRigStart + 880);
        QCOMPARE(rig.heardLog.at(2).heardAt, kRigStart + 880 + 704);
        QVERIFY(rig.isSeamless());
    }

    // A playback that starts inside another (a CW chat line received during a question) is heard
    // right after the character that sounds; then the outer one goes on where it was.
    void aPlaybackInsideAnotherComesAfterItsCharacter() {
        PlaybackRig rig;
        rig.controls.generator = SoundGenerator::Beep;
        rig.controls.speed = 60;
        rig.clock.scheduleAt(kRigStart + 100, [&] { rig.play(u"T"_s); });
        rig.play(u"EEEE"_s);
        QCOMPARE(rig.heardText(), u"ETEEE"_s);
        QCOMPARE(rig.heardLog.at(1).heardAt, kRigStart + 360);  // E's closing gap, then T
        QVERIFY(rig.isSeamless());
    }

    // A stop throws away what is planned at once: nothing more is heard, and the playback ends.
    void aStopSilencesAtOnce() {
        PlaybackRig rig;
        rig.controls.speed = 60;
        bool stopped = false;
        rig.clock.scheduleAt(kRigStart + 400, [&] {
            stopped = true;
            rig.output.cut();
        });
        rig.play(u"EEEEEEEEEE"_s, [&] { return stopped; });
        QCOMPARE(rig.clock.now(), kRigStart + 400);
        QVERIFY(rig.output.msAhead() == 0);
        Delay(rig.clock, 3000);
        QCOMPARE(rig.heardText(), u"EE"_s);
        QVERIFY(rig.output.events().constLast().start <= kRigStart + 400);
    }
};

QTEST_GUILESS_MAIN(TestPlannedPlayback)
#include "test_planned_playback.moc"
