#include "core/kit/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "core/kit/RegularFile.h"

namespace {

// Far more than the few settings kept here; a bigger file is someone else's.
constexpr qint64 kMostBytes = 64 * 1024;
// As Windows' Notepad begins a UTF-8 file. QSettings takes a section right after it for a format
// error, so it is dropped before QSettings reads a file it is to write.
constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

QByteArray WithoutMark(const QByteArray& bytes) {
    return bytes.startsWith(kByteOrderMark) ? bytes.mid(kByteOrderMark.size()) : bytes;
}

// What an INI file holds on a line: nothing, a section, a comment or key=value.
bool IsSettingsLine(const QByteArray& text) {
    const QByteArray line = text.trimmed();
    return line.isEmpty() || (line.startsWith('[') && line.endsWith(']')) || line.startsWith(';') ||
           line.startsWith('#') || line.contains('=');
}

bool IsSettingsText(const QByteArray& bytes) {
    if (bytes.contains('\0')) {
        return false;
    }
    const QList<QByteArray> lines = WithoutMark(bytes).split('\n');
    return std::all_of(lines.begin(), lines.end(), IsSettingsLine);
}

bool IsProgramGroup(const QByteArray& group) {
    return ProgramSettingKey::Groups.contains(QString::fromUtf8(group));
}

// Every key in one of the program's groups: "[link]" then "peerAddress=…", or "link/…=" before
// any section.
bool KeepsOnlyProgramGroups(const QByteArray& bytes) {
    QByteArray section;
    for (const QByteArray& text : WithoutMark(bytes).split('\n')) {
        const QByteArray line = text.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            if (!IsProgramGroup(section)) {
                return false;
            }
        } else if (line.contains('=') && !line.startsWith(';') && !line.startsWith('#') &&
                   section.isEmpty() && !IsProgramGroup(line.left(line.indexOf('/')))) {
            return false;
        }
    }
    return true;
}

const OwnFile::Kind kSettingsFile{kMostBytes, kMostBytes, IsSettingsText, KeepsOnlyProgramGroups};

struct Inspection {
    OwnFile::Access access;
    RegularFile::Contents contents;
    bool usable() const { return access.allowed() && contents.opening.opened(); }
};

// Checked before QSettings touches the file: it would wait on a FIFO, read a device for ever and
// write its keys into whatever file a link leads to.
Inspection Inspect(const QString& path) {
    Inspection inspection;
    inspection.contents = RegularFile::Read(path, OwnFile::ReadLimit(kSettingsFile));
    inspection.access = OwnFile::Judge(inspection.contents, kSettingsFile);
    return inspection;
}

// Leaves a usable file as QSettings reads it back without a fault.
bool PrepareForWriting(const QString& path, const Inspection& inspection) {
    if (!inspection.access.allowed()) {
        return false;
    }
    if (!inspection.contents.bytes.startsWith(kByteOrderMark)) {
        return true;
    }
    QFile file;
    if (!RegularFile::OpenForUpdate(file, path).opened()) {
        return false;
    }
    const QByteArray text = WithoutMark(file.readAll());
    return file.seek(0) && file.write(text) == text.size() && file.resize(text.size());
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
    if (!Inspect(m_path).usable()) {
        return fallback;
    }
    const QSettings settings(m_path, QSettings::IniFormat);
    return settings.value(key, fallback);
}

bool ProgramSettings::contains(const QString& key) const {
    return Inspect(m_path).usable() && QSettings(m_path, QSettings::IniFormat).contains(key);
}

bool ProgramSettings::setValue(const QString& key, const QVariant& value) {
    if (!PrepareForWriting(m_path, Inspect(m_path))) {
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key, value);
    return Synced(settings);
}

bool ProgramSettings::remove(const QString& key) {
    const Inspection inspection = Inspect(m_path);
    if (inspection.contents.opening.status == RegularFile::Status::Missing) {
        return true;
    }
    if (!PrepareForWriting(m_path, inspection)) {
        return false;
    }
    QSettings settings(m_path, QSettings::IniFormat);
    if (!settings.contains(key)) {
        return true;
    }
    settings.remove(key);
    return Synced(settings);
}

OwnFile::Access ProgramSettings::writeAccess() const {
    return Inspect(m_path).access;
}
