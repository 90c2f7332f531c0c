#pragma once

#include <QString>

#include "core/morse/WaveSynthesis.h"

// 16-bit mono PCM WAV files of synthesised samples.
namespace WaveFile {

inline constexpr int kHeaderSize = 44;

// Writes the 44-byte header with both sizes 0, closes, then opens the file again
// without truncating it and writes the sizes and the samples. An older, longer
// file keeps its excess bytes behind the data chunk. False when it cannot be written.
bool Write(const QString& path, const SampleBuffer& samples, int sampleRate = kWaveSampleRate);

}  // namespace WaveFile
