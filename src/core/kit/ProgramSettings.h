#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/kit/OwnFile.h"

// Every key of the program's own settings, in one place, so that two features never share one.
namespace ProgramSettingKey {
// The peer address, when saveset.dat's record cannot hold it (more than 12 bytes).
inline const QString PeerAddress = QStringLiteral("link/peerAddress");
// Whether only the peer address may link while listening; missing means off.
inline const QString AcceptOnlyPeer = QStringLiteral("link/acceptOnlyPeer");
// The band conditions' keys all begin so.
inline const QString BandPrefix = QStringLiteral("band/");
// Every group a key is kept in (the free speeds' "speed/" and the key input's "keying/" too). A
// file reached through a link is the program's own only when it keeps nothing else.
inline const QStringList Groups = {QStringLiteral("link"), QStringLiteral("band"),
                                   QStringLiteral("speed"), QStringLiteral("keying")};
}  // namespace ProgramSettingKey

// The program's own settings: what saveset.dat's fixed records cannot hold, as an INI file beside
// it. Beside it, so that the two travel together and two instances started from different
// folders keep their own settings, as they do with saveset.dat. Like the record file, every call
// reads or writes the file afresh and nothing is held between calls.
//
// The file is used only while it is missing or a regular file that reads as settings text (as a
// text editor saves it too: a byte-order mark, CR LF), and through a link only one that keeps
// nothing but the program's groups; anything else (a FIFO, a device, another program's file
// behind a link) is left untouched, reads as holding nothing and refuses every write.
class ProgramSettings {
  public:
    explicit ProgramSettings(QString path) : m_path(std::move(path)) {}

    // The settings file beside a record file.
    static QString PathBeside(const QString& recordFilePath);

    const QString& path() const { return m_path; }

    // The value kept under the key; `fallback` when there is none.
    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    bool contains(const QString& key) const;

    // Whether the value is now kept (false: the file cannot be written or is not a settings file).
    bool setValue(const QString& key, const QVariant& value);
    // Whether the key is now gone (true also when it was never there).
    bool remove(const QString& key);

    // Whether the file may be written (a missing one is made by a write), and why not.
    OwnFile::Access writeAccess() const;

  private:
    QString m_path;
};
