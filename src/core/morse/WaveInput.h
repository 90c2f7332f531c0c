#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// A recording read as sound to decode: a WAV file of PCM (8, 16, 24 or 32 bits) or 32-bit float,
// any channels (mixed to one) and its own rate. Whatever the file holds, the answer is sound or a
// reason; a FIFO or device is never waited on, and a huge file is refused unread.
namespace WaveInput {

// About 46 minutes of 16-bit stereo at 48 kHz, and 23 minutes of sound at 48 kHz once read (a
// quarter of a gigabyte).
inline constexpr qint64 kMostBytes = qint64{256} << 20;
inline constexpr qint64 kMostFrames = qint64{1} << 26;

struct Result {
    enum class Status {
        Read,
        CannotOpen,      // missing, or the system refused: `reason` says why
        NotRegularFile,  // a folder, FIFO, device or socket
        TooLong,         // over kMostBytes or kMostFrames
        NotWave,         // no RIFF WAVE header, or no format or data in it
        NotPcm,          // compressed, or a sample layout this reader does not take
        Unplayable,      // a rate or channel count no recording has
    };
    Status status = Status::CannotOpen;
    QString reason;
    int sampleRate = 0;
    // Mixed to one channel, full scale ±1.
    std::vector<float> samples;
    // The data ended before the length its header gave (a recording cut off): what is there is
    // read.
    bool truncated = false;
};

Result Read(const QString& path);
Result FromBytes(const QByteArray& bytes);

}  // namespace WaveInput
