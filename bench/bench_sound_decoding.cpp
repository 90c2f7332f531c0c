// Copy off the air, live: the time from a character's end to its showing (decided or tentative)
// when the sound comes in 20 ms blocks as a capture delivers it, and the cost of following four
// signals at once at 48 kHz, with the character error rate of each. The sound is made from the
// bench's own model of a hand, not the decoder's.
//   bench_sound_decoding
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/lesson/SoundDecodingSession.h"
#include "core/morse/LiveSignDecoder.h"
#include "decoder/KeyedSound.h"
#include "decoder/SyntheticFist.h"

namespace {

constexpr int kRate = 48000;
constexpr size_t kBlock = kRate / 50;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// When each character's last mark ends, in ms from the sound's start (a second of silence first).
std::vector<double> CharacterEnds(const std::vector<KeyedDuration>& keyed) {
    std::vector<double> ends;
    double at = 1000;
    for (size_t i = 0; i < keyed.size(); ++i) {
        at += keyed[i].ms;
        const bool last = i + 1 == keyed.size();
        if (keyed[i].mark && (last || keyed[i + 1].kind == ElementKind::CharacterGap ||
                              keyed[i + 1].kind == ElementKind::WordGap)) {
            ends.push_back(at);
        }
    }
    return ends;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * values.size()))];
}

void Latency(int wpm, double snrDb) {
    FistModel model;
    model.wpm = wpm;
    const QString text = PracticeTexts(1, 200, 11)[0];
    const std::vector<KeyedDuration> keyed = KeyText(text, model);
    const std::vector<float> sound = RenderKeyed(keyed, kRate, {snrDb, 11});
    const std::vector<double> ends = CharacterEnds(keyed);
    LiveSignDecoder decoder(kRate, 700);
    const QString sent = QString(text).remove(u' ');
    // When each character was first shown right (decided or tentative), and when decided.
    std::vector<double> shown(size_t(sent.size()), -1), decided(size_t(sent.size()), -1);
    for (size_t at = 0; at < sound.size(); at += kBlock) {
        decoder.addSamples(std::span(sound).subspan(at, std::min(kBlock, sound.size() - at)));
        const double nowMs = 1000.0 * double(at + kBlock) / kRate;
        const QString sure = QString(decoder.text()).remove(u' ');
        const QString all = sure + QString(decoder.tentative()).remove(u' ');
        for (qsizetype k = 0; k < std::min(all.size(), sent.size()); ++k) {
            if (shown[size_t(k)] < 0 && all[k] == sent[k]) {
                shown[size_t(k)] = nowMs;
            }
            if (decided[size_t(k)] < 0 && k < sure.size()) {
                decided[size_t(k)] = nowMs;
            }
        }
    }
    std::vector<double> delays, decidedDelays;
    for (size_t k = 0; k < ends.size() && k < shown.size(); ++k) {
        if (shown[k] >= 0) {
            delays.push_back(shown[k] - ends[k]);
        }
        if (decided[k] >= 0) {
            decidedDelays.push_back(decided[k] - ends[k]);
        }
    }
    // The first characters wait for the speed to be guessed: counted from the eleventh on.
    for (auto* list : {&delays, &decidedDelays}) {
        list->erase(list->begin(), list->begin() + std::min<size_t>(10, list->size()));
    }
    const double wordGapMs = 7 * 1200.0 / wpm;
    std::printf(
        "| %d WPM | %+.0f dB | %zu | %.0f / %.0f / %.0f | %.0f / %.0f / %.0f | %.0f | %.1f %% |\n",
        wpm, snrDb, delays.size(), Percentile(delays, 0.5), Percentile(delays, 0.95),
        Percentile(delays, 1.0), Percentile(decidedDelays, 0.5), Percentile(decidedDelays, 0.95),
        Percentile(decidedDelays, 1.0), wordGapMs,
        100 * CharacterErrorRate(text, decoder.text(), 10));
}

void FourSignals() {
    const double pitches[] = {500, 700, 900, 1200};
    const int speeds[] = {20, 25, 18, 30};
    std::vector<float> band;
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        FistModel model;
        model.wpm = speeds[i];
        model.seed = 20 + i;
        texts << PracticeTexts(1, 120, 30 + i)[0];
        const std::vector<float> one =
            RenderKeyed(KeyText(texts.last(), model), kRate, {6, unsigned(40 + i), 0, pitches[i]});
        band.resize(std::max(band.size(), one.size()), 0.0f);
        for (size_t n = 0; n < one.size(); ++n) {
            band[n] += one[n];
        }
    }
    SoundDecodingSession session;
    const double before = ThreadCpuSeconds();
    for (size_t at = 0; at < band.size(); at += kBlock) {
        session.addSamples(std::span(band).subspan(at, std::min(kBlock, band.size() - at)), kRate);
    }
    session.finish();
    const double cpu = ThreadCpuSeconds() - before;
    const double seconds = double(band.size()) / kRate;
    std::printf(
        "\nfour signals at 48 kHz (500, 700, 900 and 1,200 Hz; 20, 25, 18, 30 WPM; +6 dB "
        "each): %.1f s of CPU for %.1f s of sound = %.2f %% of a core\n",
        cpu, seconds, 100 * cpu / seconds);
    for (const SoundDecodingSession::Signal& signal : session.signalList()) {
        int which = 0;
        for (int i = 1; i < 4; ++i) {
            which =
                std::abs(pitches[i] - signal.pitchHz) < std::abs(pitches[which] - signal.pitchHz)
                    ? i
                    : which;
        }
        std::printf("- %.1f Hz, %.1f WPM: character error rate %.1f %%\n", signal.pitchHz,
                    signal.wpm, 100 * CharacterErrorRate(texts[which], signal.text, 10));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("### Copy off the air, live: a character's end to its showing (ms)\n\n");
    std::printf(
        "| speed | SNR | characters | shown right: median / p95 / max | decided: median / p95 / "
        "max | a word gap | error rate |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const int wpm : {10, 20, 40}) {
        Latency(wpm, INFINITY);
        Latency(wpm, 0);
    }
    FourSignals();
    return 0;
}
