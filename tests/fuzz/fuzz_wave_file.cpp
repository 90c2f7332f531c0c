// Fuzz target: writing a symbol's WAV file over whatever a file of that name already holds. The
// file is reopened without truncating, so an old longer tail may stay; the header and the data
// the program writes must come out right whatever was there.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstddef>
#include <cstdint>

#include "core/morse/WaveFile.h"
#include "core/morse/WaveSynthesis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: the target writes a file for every input.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/quill-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/quill-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("A.wav"));
    {
        QFile old(path);
        if (!old.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        // The first bytes say how many samples to write; the rest is the old content.
        old.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const int count = size > 0 ? data[0] * 7 : 0;
    SampleBuffer samples;
    for (int i = 0; i < count; ++i) {
        samples.append(static_cast<qint16>(i * 37 - 3000));
    }
    if (!WaveFile::Write(path, samples)) {
        return 0;
    }
    QFile written(path);
    if (!written.open(QIODevice::ReadOnly)) {
        __builtin_trap();
    }
    const QByteArray bytes = written.readAll();
    const auto u32 = [&bytes](int at) {
        return qFromLittleEndian<quint32>(bytes.constData() + at);
    };
    const quint32 dataSize = quint32(count) * 2;
    if (bytes.size() < WaveFile::kHeaderSize + qsizetype(dataSize) || !bytes.startsWith("RIFF") ||
        bytes.mid(8, 8) != "WAVEfmt " || bytes.mid(36, 4) != "data" || u32(40) != dataSize ||
        u32(4) != 36 + dataSize) {
        __builtin_trap();
    }
    for (int i = 0; i < count; ++i) {
        const auto sample =
            qFromLittleEndian<qint16>(bytes.constData() + WaveFile::kHeaderSize + 2 * i);
        if (sample != samples[i]) {
            __builtin_trap();
        }
    }
    return 0;
}
