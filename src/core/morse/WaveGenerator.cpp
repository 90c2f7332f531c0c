#include "core/morse/WaveGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "core/kit/Places.h"
#include "core/morse/MorseTiming.h"
#include "core/morse/ToneFrequency.h"
#include "core/morse/WaveFile.h"

namespace {

// AR ends a question and BT the call-up: both are closed with the word space (half of its seven
// units after the file at the fixed speeds).
bool WaveClosesWithWordGap(SymbolId symbol) {
    return symbol == SymbolId::AR || symbol == SymbolId::BT;
}

// At a speed of its own each ramp lies across its edge, half before and half after, so that an
// element keeps its length at half amplitude. It is held to half a unit: every element still
// reaches its full level, and a silence stays between elements. Whole samples, an even number.
qint64 EdgeRampSamples(int quality, double unitMs) {
    const double ms = std::min(RampForQuality(quality), unitMs / 2);
    return 2 * std::llround(ms * kWaveSampleRate / 2000);
}

}  // namespace

WaveGenerator::WaveGenerator(SoundOutput& output, const SoundControls& controls,
                             MorseSoundState& state, const Clock& clock, Places& places)
    : m_output(output), m_controls(controls), m_state(state), m_clock(clock), m_places(places) {}

float WaveGenerator::currentFactor() const {
    return FineAdjustFactor(static_cast<qint16>(m_controls.fineAdjustValue()));
}

QString WaveGenerator::FilePath(SymbolId symbol) const {
    return QDir(m_places.soundFolder()).filePath(SoundFileName(symbol));
}

void WaveGenerator::writeFile(const QString& path, const SampleBuffer& stream) {
    // Another instance sharing the folder may have removed it on its way out.
    const QString folder = m_places.soundFolder();
    if (!QFileInfo(folder).isDir()) {
        QDir().mkpath(folder);
    }
    // A link under a symbol's name would take the write elsewhere: the file is made anew.
    if (QFileInfo(path).isSymLink()) {
        QFile::remove(path);
    }
    WaveFile::Write(path, stream);
}

void WaveGenerator::buildElement(SampleBuffer& buffer, bool dash, int unitMs, int frequencyHz) {
    ElementSpec element;
    element.quality = m_controls.waveQualityLevel();
    element.volume = m_controls.waveVolumeLevel();
    element.leadMs = static_cast<float>(unitMs) * currentFactor();
    element.durationMs = static_cast<float>(dash ? 3 * unitMs : unitMs) * currentFactor();
    // A tone outside the entry's range (the settings file can hold 0) is held to it.
    element.frequency = std::clamp(frequencyHz, kLowestTone, kHighestTone);
    BuildElement(buffer, element);
}

const SampleBuffer& WaveGenerator::WriteSymbolFile(SymbolId symbol, int unitMs, int frequencyHz) {
    const QLatin1StringView pattern(MorseSymbolFor(symbol).pattern);
    if (pattern.contains(u'.')) {
        buildElement(m_dot, false, unitMs, frequencyHz);
    }
    if (pattern.contains(u'-')) {
        buildElement(m_dash, true, unitMs, frequencyHz);
    }
    // The stream is formed in the first element's buffer; the others are appended
    // from a shared copy of each element taken before it grows.
    const SampleBuffer dot = m_dot;
    const SampleBuffer dash = m_dash;
    SampleBuffer& stream = pattern[0] == u'-' ? m_dash : m_dot;
    qsizetype total = 0;
    for (char element : pattern) {
        total += element == '-' ? dash.size() : dot.size();
    }
    stream.reserve(total);
    for (qsizetype i = 1; i < pattern.size(); ++i) {
        stream.append(pattern[i] == u'-' ? dash : dot);
    }
    // When the file cannot be written the samples still play: they never come from the file.
    writeFile(FilePath(symbol), stream);
    return stream;
}

void WaveGenerator::recordWhenHeard(SymbolId symbol, SoundPosition start) {
    // Recorded as it begins to sound: an answer given while it plays is about this symbol.
    const MorseSymbol& entry = MorseSymbolFor(symbol);
    if (entry.recordedWave != nullptr) {
        m_output.whenHeard(start, &m_state.lifetime, [this, recorded = entry.recordedWave] {
            m_state.LastSoundedChar = QString::fromLatin1(recorded);
        });
    }
}

SoundPosition WaveGenerator::SoundCharacterWave(SymbolId symbol, int unitMs, int frequencyHz) {
    const SoundPosition start = m_output.nextPosition();
    if (m_clock.quitting()) {
        return start;
    }
    const SampleBuffer& stream = WriteSymbolFile(symbol, unitMs, frequencyHz);
    recordWhenHeard(symbol, start);
    // The samples just written, so that another instance sharing the folder
    // cannot change what plays.
    m_output.planWave(stream, kWaveSampleRate);
    // Half of three or seven units: 1.5 or 3.5 units after the file has played.
    m_output.planGap(
        ScaledDuration((WaveClosesWithWordGap(symbol) ? 7 : 3) * unitMs, currentFactor() * 0.5f));
    return start;
}

const SampleBuffer& WaveGenerator::WriteExactSymbolFile(SymbolId symbol,
                                                        const CharacterEdges& edges,
                                                        qint64 rampSamples, int frequencyHz) {
    ToneSynthParams params;
    params.frequency = std::clamp(frequencyHz, kLowestTone, kHighestTone);
    params.rampIn = double(rampSamples) * 1000 / kWaveSampleRate;
    params.rampOut = params.rampIn;
    params.gain = GainForVolume(m_controls.waveVolumeLevel());
    // A tone of n + 1 samples has its ramps' half-amplitude points h and n - h into it (h half a
    // ramp): each lies h after its edge, the same for every edge, so lengths and gaps keep.
    const qint64 extra = rampSamples > 0 ? rampSamples + 1 : 0;
    SampleBuffer& stream = m_dot;
    stream.clear();
    for (qsizetype i = 0; i < edges.toneStarts.size(); ++i) {
        stream.resize(edges.toneStarts[i], 0);
        // A whole number of samples, so the tone ends where its ramp does.
        params.duration =
            double(edges.toneEnds[i] - edges.toneStarts[i] + extra) * 1000 / kWaveSampleRate;
        SynthesizeTone(m_dash, kWaveSampleRate, kWaveBaseAmplitude, params);
        stream.append(m_dash);
    }
    writeFile(FilePath(symbol), stream);
    return stream;
}

SoundPosition WaveGenerator::SoundCharacterExact(SymbolId symbol, const FreeSpeedTimes& times,
                                                 int frequencyHz, ExactPlace& place) {
    const SoundPosition start = m_output.nextPosition();
    if (m_clock.quitting()) {
        return start;
    }
    const CharacterEdges edges =
        EdgesFor(QLatin1StringView(MorseSymbolFor(symbol).pattern), times,
                 WaveClosesWithWordGap(symbol) ? Closing::WordGap : Closing::CharacterGap,
                 kWaveSampleRate, place.at(start));
    const SampleBuffer& stream = WriteExactSymbolFile(
        symbol, edges, EdgeRampSamples(m_controls.waveQualityLevel(), times.unitMs), frequencyHz);
    recordWhenHeard(symbol, start);
    m_output.planWave(stream, kWaveSampleRate);
    m_output.planGapSamples(edges.end - stream.size());
    place = {start + edges.end, edges.endFraction};
    return start;
}

void WaveGenerator::PlayTestWord(int unitMs, int frequencyHz, QObject* context,
                                 std::function<void()> heard) {
    // A speed of its own is heard in the test too: that is what the test is for.
    const std::optional<FreeSpeed> free = m_controls.freeSpeed();
    ExactPlace place;
    for (SymbolId letter : {SymbolId::T, SymbolId::E, SymbolId::S, SymbolId::T}) {
        if (free) {
            SoundCharacterExact(letter, TimesFor(*free), frequencyHz, place);
        } else {
            SoundCharacterWave(letter, unitMs, frequencyHz);
        }
    }
    m_output.whenOver(m_output.plannedEnd(), context, std::move(heard));
}
