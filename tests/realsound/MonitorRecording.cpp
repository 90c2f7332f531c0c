#include "MonitorRecording.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <iterator>
#include <numbers>
#include <vector>

bool MonitorRecorder::start(const QString& wavPath) {
    // Low latency: an idle null sink renders far ahead, and a slow monitor loses audio.
    m_process.start(QStringLiteral("parecord"),
                    {QStringLiteral("-d"), QStringLiteral("nullsink.monitor"),
                     QStringLiteral("--file-format=wav"), QStringLiteral("--format=s16le"),
                     QStringLiteral("--rate=48000"), QStringLiteral("--channels=1"),
                     QStringLiteral("--latency-msec=10"), wavPath});
    return m_process.waitForStarted(5000);
}

bool MonitorRecorder::stop() {
    if (m_process.state() == QProcess::NotRunning) {
        return false;
    }
    ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
        return false;
    }
    return true;
}

Recording ReadWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    Recording recording;
    qsizetype at = 12;  // after "RIFF", the size and "WAVE"
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && body + 8 <= bytes.size()) {
            recording.sampleRate =
                static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + body + 4));
        } else if (id == "data") {
            // A recorder stopped early may leave the size unset: take what is there.
            const qsizetype length = std::min<qsizetype>(size, bytes.size() - body) / 2;
            recording.samples.resize(length);
            for (qsizetype i = 0; i < length; ++i) {
                recording.samples[i] = qFromLittleEndian<qint16>(bytes.constData() + body + 2 * i);
            }
            break;
        }
        at = body + size + (size & 1);
    }
    return recording;
}

namespace {

// A moving average over `window` samples.
std::vector<double> Smoothed(const std::vector<double>& values, int window) {
    const auto n = static_cast<qsizetype>(values.size());
    std::vector<double> sums(n + 1, 0.0);
    for (qsizetype i = 0; i < n; ++i) {
        sums[i + 1] = sums[i] + values[i];
    }
    std::vector<double> out(n, 0.0);
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype from = std::max<qsizetype>(0, i - window / 2);
        const qsizetype to = std::min<qsizetype>(n, from + window);
        out[i] = (sums[to] - sums[from]) / window;
    }
    return out;
}

}  // namespace

// Averaging twice over one period (a triangle two periods wide) keeps the double-frequency term
// from widening the edges.
QVector<double> ToneEnvelope(const Recording& recording, int frequencyHz, int windowSamples) {
    const qsizetype n = recording.samples.size();
    const int window =
        windowSamples > 0
            ? windowSamples
            : std::max(1,
                       static_cast<int>(std::lround(double(recording.sampleRate) / frequencyHz)));
    const double step = 2 * std::numbers::pi * frequencyHz / recording.sampleRate;
    std::vector<double> in(n);
    std::vector<double> quad(n);
    for (qsizetype i = 0; i < n; ++i) {
        in[i] = recording.samples[i] * std::cos(step * i);
        quad[i] = recording.samples[i] * std::sin(step * i);
    }
    in = Smoothed(Smoothed(in, window), window);
    quad = Smoothed(Smoothed(quad, window), window);
    QVector<double> envelope(n);
    for (qsizetype i = 0; i < n; ++i) {
        envelope[i] = 2 * std::hypot(in[i], quad[i]);
    }
    return envelope;
}

QList<ToneEdges> FindTones(const Recording& recording, int frequencyHz, int windowSamples) {
    QList<ToneEdges> tones;
    if (recording.sampleRate <= 0 || recording.samples.isEmpty()) {
        return tones;
    }
    const QVector<double> envelope = ToneEnvelope(recording, frequencyHz, windowSamples);
    const double loudest = *std::max_element(envelope.begin(), envelope.end());
    if (loudest < 200) {
        return tones;  // nothing but silence
    }
    // Half the tones' steady level: the median of what lies near the top, so that a brief
    // overshoot (another sound's edge) does not raise the threshold.
    QVector<double> top;
    std::copy_if(envelope.begin(), envelope.end(), std::back_inserter(top),
                 [loudest](double value) { return value >= 0.75 * loudest; });
    std::nth_element(top.begin(), top.begin() + top.size() / 2, top.end());
    const double level = top[top.size() / 2] / 2;
    const double msPerSample = 1000.0 / recording.sampleRate;
    auto crossing = [&](qsizetype i) {
        const double fraction = (level - envelope[i - 1]) / (envelope[i] - envelope[i - 1]);
        return (i - 1 + fraction) * msPerSample;
    };
    for (qsizetype i = 1; i < static_cast<qsizetype>(envelope.size()); ++i) {
        const bool wasOn = envelope[i - 1] >= level;
        const bool isOn = envelope[i] >= level;
        if (!wasOn && isOn) {
            tones.append({crossing(i), -1});
        } else if (wasOn && !isOn && !tones.isEmpty()) {
            tones.last().endMs = crossing(i);
        }
    }
    if (!tones.isEmpty() && tones.last().endMs < 0) {
        tones.removeLast();  // cut off by the end of the recording
    }
    return tones;
}

double MeasureFrequency(const Recording& recording, const ToneEdges& tone) {
    const double samplesPerMs = recording.sampleRate / 1000.0;
    const auto from = static_cast<qsizetype>((tone.startMs + 5) * samplesPerMs);
    const auto to = static_cast<qsizetype>((tone.endMs - 5) * samplesPerMs);
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (qsizetype i = std::max<qsizetype>(from, 1); i < std::min(to, recording.samples.size());
         ++i) {
        const double a = recording.samples[i - 1];
        const double b = recording.samples[i];
        if (a < 0 && b >= 0) {
            const double at = i - 1 + (-a) / (b - a);
            if (first < 0) {
                first = at;
            } else {
                ++crossings;
            }
            last = at;
        }
    }
    if (crossings == 0) {
        return 0;
    }
    return crossings * recording.sampleRate / (last - first);
}

namespace {

// The correlation with the samples laid from recorded position `start` on, reading the
// recording between its samples by linear interpolation.
double CorrelationAt(const Recording& recording, const Recording& samples, double start) {
    const double step = double(recording.sampleRate) / samples.sampleRate;
    const qsizetype last = recording.samples.size() - 1;
    double product = 0;
    double ownEnergy = 0;
    double recordedEnergy = 0;
    for (qsizetype i = 0; i < samples.samples.size(); ++i) {
        const double at = start + i * step;
        const auto below = static_cast<qsizetype>(std::floor(at));
        if (below < 0 || below >= last) {
            return 0;  // the stretch does not fit in the recording there
        }
        const double fraction = at - below;
        const double recorded =
            recording.samples[below] * (1 - fraction) + recording.samples[below + 1] * fraction;
        const double own = samples.samples[i];
        product += own * recorded;
        ownEnergy += own * own;
        recordedEnergy += recorded * recorded;
    }
    const double norm = std::sqrt(ownEnergy * recordedEnergy);
    return norm > 0 ? product / norm : 0;
}

}  // namespace

SamplesMatch MatchSamples(const Recording& recording, const Recording& samples, double nearMs,
                          double windowMs) {
    SamplesMatch best;
    if (recording.sampleRate <= 0 || samples.sampleRate <= 0) {
        return best;
    }
    const double perMs = recording.sampleRate / 1000.0;
    double bestStart = 0;
    const auto consider = [&](double start) {
        const double correlation = CorrelationAt(recording, samples, start);
        if (correlation > best.correlation) {
            best.correlation = correlation;
            bestStart = start;
        }
    };
    const auto from = static_cast<qsizetype>(std::floor((nearMs - windowMs) * perMs));
    const auto to = static_cast<qsizetype>(std::ceil((nearMs + windowMs) * perMs));
    for (qsizetype start = from; start <= to; ++start) {
        consider(double(start));
    }
    const double whole = bestStart;
    for (int step = -32; step <= 32; ++step) {
        consider(whole + step / 32.0);
    }
    best.startMs = bestStart / perMs;
    return best;
}

QList<double> EdgeErrors(const QList<ToneEdges>& measured, const QList<ToneEdges>& nominal) {
    QList<double> errors;
    if (measured.size() != nominal.size() || measured.isEmpty()) {
        return errors;
    }
    const double offset = measured.first().startMs - nominal.first().startMs;
    for (qsizetype i = 0; i < measured.size(); ++i) {
        if (i > 0) {
            errors.append(measured[i].startMs - nominal[i].startMs - offset);
        }
        errors.append(measured[i].endMs - nominal[i].endMs - offset);
    }
    return errors;
}
