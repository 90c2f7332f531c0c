#include "core/morse/WaveFile.h"

#include <QFile>
#include <QSysInfo>
#include <QtEndian>

namespace WaveFile {

namespace {

void PutU32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}

void PutU16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}

QByteArray HeaderWithoutSizes(int sampleRate) {
    constexpr int channels = 1;
    constexpr int bits = 16;
    QByteArray header(kHeaderSize, '\0');
    char* h = header.data();
    std::copy_n("RIFF", 4, h);
    std::copy_n("WAVE", 4, h + 8);
    std::copy_n("fmt ", 4, h + 12);
    PutU32(h + 16, 16);
    PutU16(h + 20, 1);  // PCM
    PutU16(h + 22, channels);
    PutU32(h + 24, quint32(sampleRate));
    PutU32(h + 28, quint32(sampleRate * channels * bits / 8));
    PutU16(h + 32, channels * bits / 8);
    PutU16(h + 34, bits);
    std::copy_n("data", 4, h + 36);
    return header;
}

// Read-write: a write-only QFile would truncate.
bool OpenWithoutTruncating(QFile& file) {
    return file.open(QIODevice::ReadWrite);
}

bool WriteAt(QFile& file, qint64 offset, const char* data, qint64 size) {
    return file.seek(offset) && file.write(data, size) == size;
}

}  // namespace

bool Write(const QString& path, const SampleBuffer& samples, int sampleRate) {
    QFile file(path);
    if (!OpenWithoutTruncating(file)) {
        return false;
    }
    const QByteArray header = HeaderWithoutSizes(sampleRate);
    if (!WriteAt(file, 0, header.constData(), header.size())) {
        return false;
    }
    file.close();

    if (!OpenWithoutTruncating(file)) {
        return false;
    }
    const quint32 dataSize = quint32(samples.size()) * 2;
    char size[4];
    PutU32(size, dataSize);
    bool written = WriteAt(file, 40, size, 4);
    PutU32(size, 36 + dataSize);
    written = written && WriteAt(file, 4, size, 4);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        written = written && WriteAt(file, kHeaderSize,
                                     reinterpret_cast<const char*>(samples.constData()), dataSize);
    } else {
        QByteArray bytes(qsizetype(dataSize), Qt::Uninitialized);
        qToLittleEndian<qint16>(samples.constData(), samples.size(), bytes.data());
        written = written && WriteAt(file, kHeaderSize, bytes.constData(), dataSize);
    }
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace WaveFile
