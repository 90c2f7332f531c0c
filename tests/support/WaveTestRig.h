#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "core/kit/Places.h"
#include "core/morse/BeepGenerator.h"
#include "core/morse/CharacterDispatch.h"
#include "core/morse/ToneFrequency.h"
#include "core/morse/WaveGenerator.h"
#include "support/RecordingSoundOutput.h"
#include "support/VirtualClock.h"

// The windows' controls as the generators and the dispatch read them.
class FakeSoundControls : public SoundControls {
  public:
    int toneHz() const override { return ToneFrequencyForSound(tone); }
    int fineAdjustValue() const override { return fine; }
    SoundGenerator selectedGenerator() const override { return generator; }
    std::optional<int> selectedSpeed() const override { return speed; }
    std::optional<FreeSpeed> freeSpeed() const override { return free; }
    int waveQualityLevel() const override { return quality; }
    int waveVolumeLevel() const override { return volume; }
    quint64 revision() const override { return changes; }

    QString tone = QStringLiteral("800");
    int fine = 0;
    SoundGenerator generator = SoundGenerator::Wave;
    std::optional<int> speed = 25;
    std::optional<FreeSpeed> free;
    int quality = 5;
    int volume = 1;
    quint64 changes = 0;  // a test that changes a setting during a playback counts it here
};

inline constexpr qint64 kRigStart = 1000;

// Both generators and the dispatch on a virtual clock, recording what sounds.
struct SoundRig {
    QTemporaryDir programDir;
    Places places{programDir.path(), programDir.path()};
    VirtualClock clock{kRigStart};
    RecordingSoundOutput output{clock};
    FakeSoundControls controls;
    MorseSoundState state;
    BeepGenerator beep{output, controls, state, clock};
    WaveGenerator wave{output, controls, state, clock, places};
    CharacterDispatch dispatch{beep, wave, output, controls, state};

    // Plans, then waits until what was planned has been heard.
    void heard() {
        output.waitUntilHeard(output.plannedEnd(), [] { return false; });
    }
    void sound(QChar character, CharacterTable table) {
        dispatch.SoundCharacter(character, table);
        heard();
    }
    void soundWave(SymbolId symbol, int unitMs, int frequencyHz) {
        wave.SoundCharacterWave(symbol, unitMs, frequencyHz);
        heard();
    }

    QString filePath(const QString& stem) {
        return QDir(places.soundFolder()).filePath(stem + QStringLiteral(".wav"));
    }

    // "W.- G330 T220 ..." : a played stream by its pattern, gaps and tones by length.
    QString timeline(int unitMs) const {
        QStringList parts;
        for (const auto& event : output.events()) {
            switch (event.kind) {
                case RecordingSoundOutput::Kind::Wave:
                    parts << u'W' + Pattern(event.samples, unitMs);
                    break;
                case RecordingSoundOutput::Kind::Gap:
                    parts << u'G' + QString::number(event.durationMs);
                    break;
                case RecordingSoundOutput::Kind::Tone:
                    parts << u'T' + QString::number(event.durationMs);
                    break;
            }
        }
        return parts.join(u' ');
    }

    // Every element starts on the sample where the one before it ended, the first at once, and
    // the wait for them ends as the last one has been heard.
    bool isSeamless() const {
        const auto& events = output.events();
        if (events.isEmpty() || events.constFirst().start != kRigStart) {
            return events.isEmpty();
        }
        for (qsizetype i = 1; i < events.size(); ++i) {
            if (events.at(i).position != events.at(i - 1).end) {
                return false;
            }
        }
        const auto& last = events.constLast();
        return clock.now() == last.start + qRound(SamplesToMs(last.end - last.position));
    }

    // Reads dots and dashes back from a stream: half a unit of zeros ends a tone,
    // and a tone longer than two units is a dash.
    static QString Pattern(const SampleBuffer& samples, int unitMs) {
        const qsizetype unit = qsizetype(unitMs) * kWaveSampleRate / 1000;
        QString pattern;
        qsizetype tone = 0;
        qsizetype zeros = 0;
        const auto endTone = [&] {
            if (tone > 0) {
                pattern += tone > 2 * unit ? u'-' : u'.';
            }
            tone = 0;
        };
        for (qint16 sample : samples) {
            if (sample == 0) {
                if (++zeros == unit / 2) {
                    endTone();
                }
                continue;
            }
            tone += (zeros < unit / 2 ? zeros : 0) + 1;
            zeros = 0;
        }
        endTone();
        return pattern;
    }
};
