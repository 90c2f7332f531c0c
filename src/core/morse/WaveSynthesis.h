#pragma once

#include <QVector>
#include <QtGlobal>

// Signed 16-bit samples, indexed from 0.
using SampleBuffer = QVector<qint16>;

// One tone to synthesise; all in double precision.
struct ToneSynthParams {
    double frequency = 0;  // Hz
    double duration = 0;   // ms
    double rampIn = 0;     // ms, 0 = none
    double rampOut = 0;    // ms, 0 = none
    double gain = 0;       // dB
    double phase = 0;      // radians
};

inline constexpr int kWaveSampleRate = 44100;
inline constexpr double kWaveBaseAmplitude = 10000.0;

// Ramp length (ms, in and out alike) for a quality level 1 ... 5; level 5 has none.
double RampForQuality(int level);
// Gain in dB for a volume level 1 ... 5.
double GainForVolume(int level);

// Replaces the buffer's content with the tone: a band-limited, compensated sine
// sampled at the middle of each period, then linear ramps (in first, then out).
void SynthesizeTone(SampleBuffer& buffer, int sampleRate, double amplitude,
                    const ToneSynthParams& params);

// What one element is built from; lead and duration are single-precision
// products of the unit (or three units) and the fine-adjustment factor.
struct ElementSpec {
    float leadMs = 0;
    float durationMs = 0;
    double frequency = 0;
    int quality = 5;
    int volume = 1;
};

// Replaces the buffer's content with the element: the lead's silence, then the tone.
void BuildElement(SampleBuffer& buffer, const ElementSpec& element);
