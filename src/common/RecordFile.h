#pragma once

#include <QByteArray>
#include <QString>

// A file of fixed 14-byte records, numbered from 1. Every access opens the file
// (creating it when missing), reads or writes, and closes it again. A write puts
// down only the bytes its value takes, so the rest of a record stays as it was.
class RecordFile {
  public:
    static constexpr int kRecordLength = 14;
    static constexpr int kMaxTextBytes = kRecordLength - 2;

    explicit RecordFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // Whether the file can be opened for writing (a missing one is created by trying).
    bool canWrite() const;

    // Little-endian 16-bit integer at the start of the record; 0 past the end.
    qint16 readInt(int record) const;
    bool writeInt(int record, qint16 value);

    // A 2-byte little-endian count followed by that many bytes of code page 932
    // text. Empty past the end, or when the count cannot fit in the record.
    QString readText(int record) const;

    enum class TextWrite { Written, TooLong, NotEncodable, FileError };
    TextWrite writeText(int record, const QString& text);

  private:
    QByteArray readBytes(int record, int offsetInRecord, int count) const;
    bool writeBytes(int record, const QByteArray& bytes);

    QString m_path;
};
