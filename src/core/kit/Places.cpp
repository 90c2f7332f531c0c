#include "core/kit/Places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/kit/SettingsRecords.h"

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
    if (taken || installed()) {
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

QString Places::installedDataDir() const {
    return QDir(m_programDir).filePath(QStringLiteral("../share/quillstart"));
}

bool Places::installed() const {
    const QString readMe = QStringLiteral("ReadMe.txt");
    return !QFileInfo::exists(QDir(m_programDir).filePath(readMe)) &&
           QFileInfo::exists(QDir(installedDataDir()).filePath(readMe));
}

QString Places::documentPath(const QString& name) const {
    const QString beside = QDir(m_programDir).filePath(name);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString shared = QDir::cleanPath(QDir(installedDataDir()).filePath(name));
    return QFileInfo::exists(shared) ? shared : beside;
}

QString Places::readMePath() const {
    return documentPath(QStringLiteral("ReadMe.txt"));
}

QString Places::manualPath() const {
    return documentPath(QStringLiteral("manual/index.html"));
}

QString Places::partnerPath() const {
    return QDir(m_programDir).filePath(QStringLiteral("quillstart-partner"));
}
