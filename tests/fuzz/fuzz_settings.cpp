// Fuzz target: saveset.dat as the program reads it at start-up, whatever bytes it holds.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

#include "core/kit/RecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: the target writes a file for every input.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/quill-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/quill-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("saveset.dat"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return 0;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    RecordFile records(path);
    for (int record = 0; record <= 12; ++record) {
        records.readInt(record);
        const QString text = records.readText(record);
        // A text record holds at most 12 bytes, and no code page 932 character takes less
        // than one.
        if (text.size() > RecordFile::kMaxTextBytes) {
            __builtin_trap();
        }
    }
    // A value written over whatever was there reads back.
    if (records.writeText(8, QStringLiteral("JA1FUZ")) == RecordFile::TextWrite::Written &&
        records.readText(8) != QStringLiteral("JA1FUZ")) {
        __builtin_trap();
    }
    return 0;
}
