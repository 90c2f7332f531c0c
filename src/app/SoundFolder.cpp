#include "app/SoundFolder.h"

#include <QDir>

#include "common/RecordFile.h"

namespace SoundFolder {

void Prepare(const QString& folder) {
    QDir().mkpath(folder);
    RecordFile marker(QDir(folder).filePath(QStringLiteral("dummy.wav")));
    marker.writeInt(1, 0);
}

void Remove(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists()) {
        return;
    }
    dir.setNameFilters({QStringLiteral("*.wav")});
    // Without QDir::CaseSensitive the pattern also takes "X.WAV".
    dir.setFilter(QDir::Files | QDir::Hidden);
    for (const QString& name : dir.entryList()) {
        dir.remove(name);
    }
    QDir().rmdir(folder);
}

}  // namespace SoundFolder
