#pragma once

#include <QString>

// Where the program finds its files: the program directory (sound folder,
// ReadMe.txt) and the current directory (saveset.dat, grade pictures). Tests
// point both at temporary folders.
class Places {
  public:
    Places(QString programDir, QString currentDir);

    // The program's own directory and the process's current directory.
    static Places FromEnvironment();

    const QString& programDir() const { return m_programDir; }
    const QString& currentDir() const { return m_currentDir; }
    QString settingsPath() const;

    // The folder for synthesised sound files: "sound" under the program
    // directory, or a per-user folder when that one cannot be created (a
    // system-wide install) or the name is taken by a file or a link.
    // Decided on the first call and kept.
    QString soundFolder();

  private:
    static QString perUserSoundFolder();

    QString m_programDir;
    QString m_currentDir;
    QString m_soundFolder;
};
