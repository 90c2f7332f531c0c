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
    if (QDir().mkpath(beside) && QFileInfo(beside).isWritable()) {
        m_soundFolder = beside;
    } else if (programDir.isWritable() && !QFileInfo::exists(beside)) {
        m_soundFolder = beside;
    } else {
        const QString perUser =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        m_soundFolder =
            QDir(perUser.isEmpty() ? QDir::tempPath() : perUser).filePath(QStringLiteral("sound"));
    }
    return m_soundFolder;
}
