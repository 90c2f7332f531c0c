#include "core/morse/WaveInput.h"

#include <QtEndian>
#include <optional>

#include "core/kit/RegularFile.h"

namespace WaveInput {

namespace {

constexpr quint16 kPcm = 1;
constexpr quint16 kFloat = 3;
constexpr quint16 kExtensible = 0xFFFE;
// A streaming writer that never came back to fill in the length.
constexpr quint32 kLengthUnknown = 0xFFFFFFFF;

struct Format {
    quint16 tag = 0;
    int channels = 0;
    int sampleRate = 0;
    int blockBytes = 0;
    int bits = 0;
};

quint16 U16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 U32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

std::optional<Format> FormatFrom(const QByteArray& bytes, qsizetype at, quint32 size) {
    if (size < 16) {
        return std::nullopt;
    }
    Format format;
    format.tag = U16(bytes, at);
    format.channels = U16(bytes, at + 2);
    format.sampleRate = static_cast<int>(std::min<quint32>(U32(bytes, at + 4), 1u << 30));
    format.blockBytes = U16(bytes, at + 12);
    format.bits = U16(bytes, at + 14);
    // The extensible header names the real format in the first two bytes of its sub-format.
    if (format.tag == kExtensible && size >= 40) {
        format.tag = U16(bytes, at + 24);
    }
    return format;
}

// One sample, full scale ±1.
float SampleAt(const char* at, const Format& format) {
    const auto* bytes = reinterpret_cast<const uchar*>(at);
    if (format.tag == kFloat) {
        return qFromLittleEndian<float>(bytes);
    }
    switch (format.bits) {
        case 8:
            return (static_cast<int>(bytes[0]) - 128) / 128.0f;
        case 16:
            return qFromLittleEndian<qint16>(bytes) / 32768.0f;
        case 24: {
            const qint32 value = static_cast<qint32>(static_cast<quint32>(bytes[0]) << 8 |
                                                     static_cast<quint32>(bytes[1]) << 16 |
                                                     static_cast<quint32>(bytes[2]) << 24);
            return static_cast<float>(value / 2147483648.0);
        }
        default:
            return static_cast<float>(qFromLittleEndian<qint32>(bytes) / 2147483648.0);
    }
}

bool Takes(const Format& format) {
    const bool pcm = format.tag == kPcm && (format.bits == 8 || format.bits == 16 ||
                                            format.bits == 24 || format.bits == 32);
    const bool floating = format.tag == kFloat && format.bits == 32;
    return (pcm || floating) && format.blockBytes == format.channels * format.bits / 8;
}

Result Refused(Result::Status status) {
    Result result;
    result.status = status;
    return result;
}

// The data chunk's samples, mixed to one channel; what the file holds of it when it was cut off.
Result SoundFrom(const QByteArray& bytes, qsizetype body, quint32 size, const Format& format) {
    const qsizetype left = bytes.size() - body;
    const qsizetype frames = std::min<qsizetype>(size, left) / format.blockBytes;
    if (frames > kMostFrames) {
        return Refused(Result::Status::TooLong);
    }
    Result result;
    result.status = Result::Status::Read;
    result.sampleRate = format.sampleRate;
    result.truncated = size != kLengthUnknown && size > left;
    const int sampleBytes = format.bits / 8;
    result.samples.resize(static_cast<size_t>(frames));
    for (qsizetype frame = 0; frame < frames; ++frame) {
        const char* start = bytes.constData() + body + frame * format.blockBytes;
        float sum = 0;
        for (int channel = 0; channel < format.channels; ++channel) {
            sum += SampleAt(start + channel * sampleBytes, format);
        }
        result.samples[static_cast<size_t>(frame)] = sum / format.channels;
    }
    return result;
}

}  // namespace

Result Read(const QString& path) {
    const RegularFile::Contents contents = RegularFile::Read(path, kMostBytes + 1);
    if (!contents.opening.opened()) {
        Result result = Refused(contents.opening.status == RegularFile::Status::NotRegular
                                    ? Result::Status::NotRegularFile
                                    : Result::Status::CannotOpen);
        result.reason = contents.opening.reason;
        return result;
    }
    if (contents.bytes.size() > kMostBytes) {
        return Refused(Result::Status::TooLong);
    }
    return FromBytes(contents.bytes);
}

Result FromBytes(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        return Refused(Result::Status::NotWave);
    }
    std::optional<Format> format;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = U32(bytes, at + 4);
        const qsizetype body = at + 8;
        const qsizetype left = bytes.size() - body;
        if (id == "fmt ") {
            format = size <= left ? FormatFrom(bytes, body, size) : std::nullopt;
            if (!format) {
                return Refused(Result::Status::NotWave);
            }
        } else if (id == "data") {
            if (!format) {
                return Refused(Result::Status::NotWave);
            }
            if (!Takes(*format)) {
                return Refused(Result::Status::NotPcm);
            }
            if (format->channels < 1 || format->channels > 32 || format->sampleRate < 1000 ||
                format->sampleRate > 384000) {
                return Refused(Result::Status::Unplayable);
            }
            return SoundFrom(bytes, body, size, *format);
        }
        // Chunks are padded to an even length.
        at = body + static_cast<qsizetype>(size) + (size & 1);
    }
    return Refused(Result::Status::NotWave);
}

}  // namespace WaveInput
