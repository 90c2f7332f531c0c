#include "core/morse/SoundFolder.h"

#include <QDir>
#include <QFileInfo>

#include "core/kit/RecordFile.h"
#include "core/morse/MorseTable.h"

namespace {

const QString kMarkerName = QStringLiteral("dummy.wav");

void RemoveOwnFile(const QDir& folder, const QString& name) {
    const QFileInfo file(folder.filePath(name));
    if (file.isFile() && !file.isSymLink()) {
        QFile::remove(file.filePath());
    }
}

}  // namespace

namespace SoundFolder {

void Prepare(const QString& folder) {
    QDir().mkpath(folder);
    RecordFile marker(QDir(folder).filePath(kMarkerName));
    marker.writeInt(1, 0);
}

void Remove(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink()) {
        return;
    }
    const QDir dir(folder);
    RemoveOwnFile(dir, kMarkerName);
    for (const MorseSymbol& symbol : MorseTable()) {
        RemoveOwnFile(dir, SoundFileName(symbol.id));
    }
    // Only an empty folder is removed: the user's own files keep it.
    QDir().rmdir(folder);
}

}  // namespace SoundFolder
