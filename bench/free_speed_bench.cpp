// Plans "PARIS PARIS" at speeds of its own with both generators on the virtual clock and reads
// every tone's edges back from what reaches the sound output (the beep generator's tones, the
// WAV generator's samples), then prints how far each element, character gap and word gap lies
// from the exact times of the formula, in samples, and the length of a PARIS word against it.
// Exits 1 only when an edge cannot be read at all; the figures are for the reader.
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "support/WaveTestRig.h"

namespace {

struct Interval {
    double start;
    double end;
};

// What the exact times put where: every tone, and after it the kind of gap (0 element,
// 1 character, 2 word; -1 after the last).
struct Model {
    QList<Interval> tones;
    QList<int> gapKinds;
    double wordMs;  // from one PARIS to the next
};

Model ModelFor(const QString& text, const FreeSpeed& speed) {
    const FreeSpeedTimes times = TimesFor(speed);
    const double perMs = kWaveSampleRate / 1000.0;
    Model model;
    double at = 0;
    for (qsizetype c = 0; c < text.size(); ++c) {
        if (text[c] == u' ') {
            at += times.wordGapMs - times.characterGapMs;
            model.gapKinds.last() = 2;
            continue;
        }
        const QLatin1StringView pattern(MorseSymbolFor(*SymbolForAlphanumeric(text[c])).pattern);
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            const double length = (pattern[i] == u'-' ? 3 : 1) * times.unitMs;
            model.tones.append({at * perMs, (at + length) * perMs});
            at += length;
            const bool last = i + 1 == pattern.size();
            at += last ? times.characterGapMs : times.unitMs;
            model.gapKinds.append(last ? 1 : 0);
        }
    }
    model.gapKinds.last() = -1;
    model.wordMs = (speed.stretched() ? 60000 / speed.effectiveWpm : 50 * times.unitMs) +
                   speed.extraWordUnits * times.unitMs;
    return model;
}

// The tones as heard: beep tones as planned, WAV tones as runs of samples that are not silent
// (a zero crossing inside a tone does not end it).
QList<Interval> HeardTones(const SoundRig& rig) {
    QList<Interval> tones;
    const SoundPosition origin = rig.output.events().constFirst().position;
    for (const auto& event : rig.output.events()) {
        const double at = double(event.position - origin);
        if (event.kind == RecordingSoundOutput::Kind::Tone) {
            tones.append({at, double(event.end - origin)});
        } else if (event.kind == RecordingSoundOutput::Kind::Wave) {
            qsizetype i = 0;
            const qsizetype n = event.samples.size();
            while (i < n) {
                while (i < n && event.samples[i] == 0) {
                    ++i;
                }
                if (i == n) {
                    break;
                }
                const qsizetype start = i;
                qsizetype lastSound = i;
                while (i < n && (event.samples[i] != 0 || i - lastSound < 8)) {
                    if (event.samples[i] != 0) {
                        lastSound = i;
                    }
                    ++i;
                }
                tones.append({at + double(start), at + double(lastSound + 1)});
                i = lastSound + 1;
            }
        }
    }
    return tones;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString text = QStringLiteral("PARIS PARIS");
    const FreeSpeed speeds[] = {{5, 0, 0},  {13, 0, 0}, {20, 0, 0},  {30, 0, 0}, {45, 0, 0},
                                {60, 0, 0}, {25, 4, 0}, {18, 10, 0}, {20, 5, 0}};
    std::printf("%-9s %-5s %9s %11s %11s %11s %12s %12s %10s\n", "c/s WPM", "gen", "unit ms",
                "element err", "char gap", "word gap", "char gap ms", "word gap ms", "PARIS err");
    std::printf("%-9s %-5s %9s %11s %11s %11s %12s %12s %10s\n", "", "", "", "(samples)",
                "err (smp)", "err (smp)", "(mean)", "(mean)", "(%)");
    int unreadable = 0;
    for (const FreeSpeed& speed : speeds) {
        for (const SoundGenerator generator : {SoundGenerator::Beep, SoundGenerator::Wave}) {
            SoundRig rig;
            rig.controls.generator = generator;
            rig.controls.quality = 5;  // no ramps: the WAV tones' edges are where the samples are
            rig.controls.free = speed;
            for (QChar character : text) {
                rig.dispatch.SoundCharacter(character, CharacterTable::Chat);
            }
            rig.heard();
            const Model model = ModelFor(text, speed);
            const QList<Interval> heard = HeardTones(rig);
            if (heard.size() != model.tones.size()) {
                std::printf("%g/%g: %lld tones read, %lld expected\n", speed.characterWpm,
                            speed.effectiveWpm, qint64(heard.size()), qint64(model.tones.size()));
                ++unreadable;
                continue;
            }
            double elementErr = 0, charErr = 0, wordErr = 0, charSum = 0, wordSum = 0;
            int chars = 0, words = 0;
            for (qsizetype i = 0; i < heard.size(); ++i) {
                elementErr = std::max({elementErr, std::abs(heard[i].start - model.tones[i].start),
                                       std::abs(heard[i].end - model.tones[i].end)});
                if (model.gapKinds[i] < 0) {
                    continue;
                }
                const double gap = heard[i + 1].start - heard[i].end;
                const double err = gap - (model.tones[i + 1].start - model.tones[i].end);
                if (model.gapKinds[i] == 0) {
                    elementErr = std::max(elementErr, std::abs(err));
                } else if (model.gapKinds[i] == 1) {
                    charErr = std::max(charErr, std::abs(err));
                    charSum += gap;
                    ++chars;
                } else {
                    wordErr = std::max(wordErr, std::abs(err));
                    wordSum += gap;
                    ++words;
                }
            }
            // From the first tone of one PARIS to the first of the next (P A R I S: 14 tones).
            const double word = (heard[14].start - heard[0].start) * 1000 / kWaveSampleRate;
            const double perMs = kWaveSampleRate / 1000.0;
            std::printf(
                "%-9s %-5s %9.3f %11.2f %11.2f %11.2f %12.2f %12.2f %10.4f\n",
                qPrintable(QStringLiteral("%1/%2")
                               .arg(speed.characterWpm)
                               .arg(speed.stretched() ? speed.effectiveWpm : speed.characterWpm)),
                generator == SoundGenerator::Beep ? "beep" : "wave", TimesFor(speed).unitMs,
                elementErr, charErr, wordErr, charSum / chars / perMs, wordSum / words / perMs,
                100 * (word - model.wordMs) / model.wordMs);
        }
    }
    return unreadable == 0 ? 0 : 1;
}
