#include "common/Places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/SettingsRecords.h"

Places::Places(QString programDir, QString currentDir)
    : m_programDir(std::move(programDir)), m_currentDir(std::move(currentDir)) {}

Places Places::FromEnvironment() {
    return Places(QCoreApplication::applicationDirPath(), QDir::currentPath());
}

QString Places::settingsPath() const {
    return QDir(m_currentDir).filePath(kSettingsFileName);
}

QString Places::soundFolder() {
    if (!m_soundFolder.isEmpty()) {
        return m_soundFolder;
    }
    const QString beside = QDir(m_programDir).filePath(QStringLiteral("sound"));
    const QFileInfo programDir(m_programDir);
    const QFileInfo existing(beside);
    // A file or a link named "sound" is not this program's folder: writing or deleting there
    // would reach someone else's files.
    const bool taken = existing.isSymLink() || (existing.exists() && !existing.isDir());
    if (taken) {
        m_soundFolder = perUserSoundFolder();
    } else if (QDir().mkpath(beside) && QFileInfo(beside).isWritable()) {
        m_soundFolder = beside;
    } else if (programDir.isWritable() && !QFileInfo::exists(beside)) {
        m_soundFolder = beside;
    } else {
        m_soundFolder = perUserSoundFolder();
    }
    return m_soundFolder;
}

QString Places::perUserSoundFolder() {
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(perUser.isEmpty() ? QDir::tempPath() : perUser).filePath(QStringLiteral("sound"));
}
