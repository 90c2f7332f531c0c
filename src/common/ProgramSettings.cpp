#include "common/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "common/RegularFile.h"

namespace {

// Far more than the few settings kept here; a bigger file is someone else's.
constexpr qint64 kMostBytes = 64 * 1024;

enum class FileState { Missing, Usable, Foreign };

// What an INI file holds on a line: nothing, a section, a comment or key=value.
bool IsSettingsLine(const QByteArray& text) {
    const QByteArray line = text.trimmed();
    return line.isEmpty() || (line.startsWith('[') && line.endsWith(']')) || line.startsWith(';') ||
           line.startsWith('#') || line.contains('=');
}

// Checked before QSettings touches the file: it would wait on a FIFO, read a device for ever and
// write its keys into whatever file a link leads to.
FileState Inspect(const QString& path) {
    const RegularFile::Contents contents = RegularFile::Read(path, kMostBytes + 1);
    if (contents.opening.status == RegularFile::Status::Missing) {
        return FileState::Missing;
    }
    if (!contents.opening.opened() || contents.bytes.size() > kMostBytes ||
        contents.bytes.contains('\0')) {
        return FileState::Foreign;
    }
    for (const QByteArray& line : contents.bytes.split('\n')) {
        if (!IsSettingsLine(line)) {
            return FileState::Foreign;
        }
    }
    return FileState::Usable;
}

bool Synced(QSettings& settings) {
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace

QString ProgramSettings::PathBeside(const QString& recordFilePath) {
    return QFileInfo(recordFilePath).dir().filePath(QStringLiteral("quillstart.ini"));
}

QVariant ProgramSettings::value(const QString& key, const QVariant& fallback) const {
    if (Inspect(m_path) != FileState::Usable) {
        return fallback;
    }
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(key, fallback);
}

bool ProgramSettings::contains(const QString& key) const {
    return Inspect(m_path) == FileState::Usable &&
           QSettings(m_path, QSettings::IniFormat).contains(key);
}

bool ProgramSettings::setValue(const QString& key, const QVariant& value) {
    if (Inspect(m_path) == FileState::Foreign) {
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key, value);
    return Synced(settings);
}

bool ProgramSettings::remove(const QString& key) {
    switch (Inspect(m_path)) {
        case FileState::Missing:
            return true;
        case FileState::Foreign:
            return false;
        case FileState::Usable:
            break;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    if (!settings.contains(key)) {
        return true;
    }
    settings.remove(key);
    return Synced(settings);
}
