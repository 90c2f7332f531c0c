#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "core/kit/OwnFile.h"

// A file of fixed 14-byte records, numbered from 1. Every access opens the file
// (creating it when missing), reads or writes, and closes it again. A write puts
// down only the bytes its value takes, so the rest of a record stays as it was.
//
// Only a file of this layout is written: a regular file of at most nine records (nothing
// writes past record 9), and, when the name is a link, one whose text records are laid out
// as such. A link to a synced copy of the settings works; a link to someone's document, or a
// longer file that merely has the name, is never written into. Reading takes any regular file.
class RecordFile {
  public:
    static constexpr int kRecordLength = 14;
    static constexpr int kMaxTextBytes = kRecordLength - 2;
    static constexpr int kRecords = 9;

    explicit RecordFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // Why the file may not be written.
    using Refusal = OwnFile::Refusal;
    using Access = OwnFile::Access;
    // Whether the file can be written (a missing one is created by trying).
    Access writeAccess() const;

    // Little-endian 16-bit integer at the start of the record; 0 past the end.
    qint16 readInt(int record) const;
    bool writeInt(int record, qint16 value);

    // A 2-byte little-endian count followed by that many bytes of code page 932
    // text. Empty past the end, or when the count cannot fit in the record.
    QString readText(int record) const;

    // Whether a text record can hold the text.
    static bool CanHold(const QString& text);

    enum class TextWrite { Written, TooLong, NotEncodable, FileError };
    TextWrite writeText(int record, const QString& text);

  private:
    QByteArray readBytes(int record, int offsetInRecord, int count) const;
    bool writeBytes(int record, const QByteArray& bytes);
    Access openForWriting(QFile& file) const;

    QString m_path;
};
