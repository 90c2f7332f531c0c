#pragma once

#include <QString>

// Where the program finds its files: the program directory (sound folder,
// ReadMe.txt, the manual) and the current directory (saveset.dat, grade
// pictures). Tests point both at temporary folders.
class Places {
  public:
    Places(QString programDir, QString currentDir);

    // The program's own directory and the process's current directory.
    static Places FromEnvironment();

    const QString& programDir() const { return m_programDir; }
    const QString& currentDir() const { return m_currentDir; }
    QString settingsPath() const;

    // The folder for synthesised sound files: "sound" under the program
    // directory, or a per-user folder when the program runs from where it was
    // installed, when the folder cannot be created, or when the name is taken
    // by a file or a link. Decided on the first call and kept.
    QString soundFolder();

    // The read-me and the manual: beside the program (the build tree, or an
    // unpacked copy), else where an install puts them (share/quillstart next to
    // bin). The path beside the program when neither has them.
    QString readMePath() const;
    QString manualPath() const;

    // The practice partner program, beside the trainer.
    QString partnerPath() const;

    // Whether the program runs from an installed tree (bin/ with share/quillstart).
    bool installed() const;

  private:
    static QString perUserSoundFolder();
    QString documentPath(const QString& name) const;
    QString installedDataDir() const;

    QString m_programDir;
    QString m_currentDir;
    QString m_soundFolder;
};
