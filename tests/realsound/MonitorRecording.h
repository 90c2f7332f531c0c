#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QVector>

// Records the null sink's monitor with parecord and finds the tones in the recording, for the
// real-sound check and the sound benchmark. Both run under with-null-sink.sh.
class MonitorRecorder {
  public:
    // Starts recording into the file; false when parecord could not start.
    bool start(const QString& wavPath);
    // Ends the recording with SIGINT, so that parecord completes the WAV header.
    bool stop();

  private:
    QProcess m_process;
};

struct Recording {
    QVector<qint16> samples;  // mono
    int sampleRate = 0;
};
Recording ReadWav(const QString& path);

// A tone's edges, in ms from the start of the recording, where its envelope crosses half of
// the loudest tone's level (the half-amplitude points), interpolated between samples.
struct ToneEdges {
    double startMs;
    double endMs;
};
// The envelope is averaged over one period of the tone, or over windowSamples: a window of whole
// periods of two tones keeps each out of the other's envelope.
QList<ToneEdges> FindTones(const Recording& recording, int frequencyHz, int windowSamples = 0);

// The tone's amplitude at every sample, found by demodulating at its frequency.
QVector<double> ToneEnvelope(const Recording& recording, int frequencyHz, int windowSamples = 0);

// The tone's frequency from its zero crossings, leaving out 5 ms at either edge.
double MeasureFrequency(const Recording& recording, const ToneEdges& tone);

// Where a stretch of samples (at their own rate) lies in the recording: its start in ms, and
// the normalised cross-correlation there. The start is searched within `windowMs` of
// `nearMs`, first whole recorded samples apart, then to 1/32 of one.
struct SamplesMatch {
    double startMs = 0;
    double correlation = 0;
};
SamplesMatch MatchSamples(const Recording& recording, const Recording& samples, double nearMs,
                          double windowMs);

// Differences (ms) between measured and nominal edges, with both timelines aligned on the
// first tone's start (which is therefore left out). Empty when the tone counts differ.
QList<double> EdgeErrors(const QList<ToneEdges>& measured, const QList<ToneEdges>& nominal);
