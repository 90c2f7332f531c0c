// Plans the call-up (H R H R BT) and "PARIS PARIS" at speeds of its own with both generators on
// the virtual clock, reads every tone's edges back from what reaches the sound output (the beep
// generator's tones; the WAV generator's samples, hard-edged at quality 5 and at half amplitude
// at the default quality 3), and prints how far each element, character gap, word gap and the
// call-up's closing gap lies from the rule, in samples, the gaps' lengths, the length of a PARIS
// word against the rule, and how far the weakest tone peaks below the loudest.
// The reference is worked out here from the rule alone, not from the program's tables: the PARIS
// standard (a unit of 1200 / WPM ms, a dash three units, one unit between elements, three
// between characters, seven between words), Farnsworth spacing by the ARRL formula (QEX, April
// 1990), and BT closing the call-up with the word gap before the question starts.
// Exits 1 only when an edge cannot be read at all; the figures are for the reader.
#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "support/HeardTones.h"
#include "support/WaveTestRig.h"

namespace {

// What follows a tone: another element, the next character, the next word, the question after
// the call-up; nothing after the last.
enum Gap { Element, Character, Word, CallUp, Last };

struct Expected {
    QList<std::array<double, 2>> tones;  // samples from the first edge
    QList<Gap> gaps;
    double parisSamples;  // from one PARIS to the next
};

// The rule's times in ms for a speed: element unit, character gap and word gap.
std::array<double, 3> RuleMs(const FreeSpeed& speed) {
    const double c = speed.characterWpm, s = speed.effectiveWpm, unit = 1200 / c;
    const bool farnsworth = s > 0 && s < c;
    // The ARRL spacing of a PARIS word at s, in ms: 19 parts, 3 to a character gap, 7 to a word.
    const double part = farnsworth ? (60 * c - 37.2 * s) / (c * s) * 1000 / 19 : unit;
    return {unit, 3 * part, 7 * part + speed.extraWordUnits * unit};
}

Expected ExpectedFor(const FreeSpeed& speed) {
    const auto [unit, characterGap, wordGap] = RuleMs(speed);
    // The signs of the call-up and the question, and the gap after each.
    const std::pair<const char*, Gap> signs[] = {
        {"....", Character}, {".-.", Character},  {"....", Character}, {".-.", Character},
        {"-...-", CallUp},   {".--.", Character}, {".-", Character},   {".-.", Character},
        {"..", Character},   {"...", Word},       {".--.", Character}, {".-", Character},
        {".-.", Character},  {"..", Character},   {"...", Last}};
    Expected expected;
    double at = 0;
    for (const auto& [pattern, after] : signs) {
        for (const char* element = pattern; *element != 0; ++element) {
            const double length = (*element == '-' ? 3 : 1) * unit;
            expected.tones.append({at * 44.1, (at + length) * 44.1});
            const Gap gap = element[1] != 0 ? Element : after;
            expected.gaps.append(gap);
            at += length + (gap == Element ? unit : gap == Character ? characterGap : wordGap);
        }
    }
    // P A R I S: 22 units of tones, 9 between elements, four character gaps and a word gap.
    expected.parisSamples = (31 * unit + 4 * characterGap + wordGap) * 44.1;
    return expected;
}

// WAV tones at quality 5 as runs of samples that are not silent (a zero crossing inside a tone
// does not end it); everything else by its envelope.
QList<HeardTone> ReadTones(const SoundRig& rig) {
    if (rig.controls.generator == SoundGenerator::Beep || rig.controls.quality < 5) {
        return HeardTones(rig.output);
    }
    QList<HeardTone> tones;
    const SoundPosition origin = rig.output.events().constFirst().position;
    for (const auto& event : rig.output.events()) {
        const SampleBuffer& samples = event.samples;
        for (qsizetype i = 0, n = samples.size(); i < n;) {
            while (i < n && samples[i] == 0) {
                ++i;
            }
            if (i == n) {
                break;
            }
            const qsizetype start = i;
            qsizetype lastSound = i;
            for (; i < n && (samples[i] != 0 || i - lastSound < 8); ++i) {
                lastSound = samples[i] != 0 ? i : lastSound;
            }
            const double at = double(event.position - origin);
            tones.append({at + double(start), at + double(lastSound + 1), 1});
            i = lastSound + 1;
        }
    }
    return tones;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const FreeSpeed speeds[] = {{5, 0, 0},  {13, 0, 0}, {20, 0, 0},  {30, 0, 0}, {45, 0, 0},
                                {60, 0, 0}, {25, 4, 0}, {18, 10, 0}, {20, 5, 0}};
    std::printf("%-7s %-7s %8s %9s %9s %9s %9s %9s %9s %9s %9s %7s\n", "c/s WPM", "gen", "unit ms",
                "element", "char gap", "word gap", "BT close", "char gap", "word gap", "BT close",
                "PARIS", "weakest");
    std::printf("%-7s %-7s %8s %9s %9s %9s %9s %9s %9s %9s %9s %7s\n", "", "", "", "err smp",
                "err smp", "err smp", "err smp", "ms", "ms", "ms", "err %", "dB");
    int unreadable = 0;
    for (const FreeSpeed& speed : speeds) {
        for (const auto& [generator, quality, name] :
             {std::tuple{SoundGenerator::Beep, 5, "beep"},
              std::tuple{SoundGenerator::Wave, 5, "wav q5"},
              std::tuple{SoundGenerator::Wave, 3, "wav q3"}}) {
            SoundRig rig;
            rig.controls.generator = generator;
            rig.controls.quality = quality;
            rig.controls.tone = QStringLiteral("882");  // 50 samples a period
            rig.controls.free = speed;
            for (SymbolId symbol :
                 {SymbolId::H, SymbolId::R, SymbolId::H, SymbolId::R, SymbolId::BT}) {
                rig.dispatch.SoundSymbol(symbol);
            }
            for (QChar character : QStringLiteral("PARIS PARIS")) {
                rig.dispatch.SoundCharacter(character, CharacterTable::Chat);
            }
            rig.heard();
            const Expected expected = ExpectedFor(speed);
            const QList<HeardTone> heard = ReadTones(rig);
            if (heard.size() != expected.tones.size()) {
                std::printf("%g/%g %s: %lld tones read, %lld expected\n", speed.characterWpm,
                            speed.effectiveWpm, name, qint64(heard.size()),
                            qint64(expected.tones.size()));
                ++unreadable;
                continue;
            }
            // Beep and hard WAV edges are where the rule puts them; ramped ones all alike later.
            const double shift = heard[0].start - expected.tones[0][0];
            std::array<double, Last> worst{}, sum{}, count{};
            double weakest = 1;
            for (qsizetype i = 0; i < heard.size(); ++i) {
                worst[Element] = std::max({worst[Element],
                                           std::abs(heard[i].start - shift - expected.tones[i][0]),
                                           std::abs(heard[i].end - shift - expected.tones[i][1])});
                weakest = std::min(weakest, heard[i].level);
                const Gap kind = expected.gaps[i];
                if (kind == Last) {
                    continue;
                }
                const double gap = heard[i + 1].start - heard[i].end;
                const double rule = expected.tones[i + 1][0] - expected.tones[i][1];
                worst[kind] = std::max(worst[kind], std::abs(gap - rule));
                sum[kind] += gap;
                ++count[kind];
            }
            // From the first tone of one PARIS to the first of the next (14 tones a PARIS).
            const qsizetype paris = heard.size() - 28;
            const double word = heard[paris + 14].start - heard[paris].start;
            const auto mean = [&](Gap kind) { return sum[kind] / count[kind] / 44.1; };
            std::printf(
                "%-7s %-7s %8.3f %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %9.4f %7.2f\n",
                qPrintable(QStringLiteral("%1/%2")
                               .arg(speed.characterWpm)
                               .arg(speed.stretched() ? speed.effectiveWpm : speed.characterWpm)),
                name, RuleMs(speed)[0], worst[Element], worst[Character], worst[Word],
                worst[CallUp], mean(Character), mean(Word), mean(CallUp),
                100 * (word - expected.parisSamples) / expected.parisSamples,
                20 * std::log10(weakest));
        }
    }
    return unreadable == 0 ? 0 : 1;
}
