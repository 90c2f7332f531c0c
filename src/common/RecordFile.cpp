#include "common/RecordFile.h"

#include <QFile>
#include <QtEndian>

#include "common/Cp932Codec.h"

namespace {

qint64 RecordOffset(int record) {
    return static_cast<qint64>(record - 1) * RecordFile::kRecordLength;
}

}  // namespace

QByteArray RecordFile::readBytes(int record, int offsetInRecord, int count) const {
    QFile file(m_path);
    // Opening for writing creates a missing file; a read-only one is still read.
    if (record < 1 || !(file.open(QIODevice::ReadWrite) || file.open(QIODevice::ReadOnly))) {
        return {};
    }
    if (!file.seek(RecordOffset(record) + offsetInRecord)) {
        return {};
    }
    return file.read(count);
}

bool RecordFile::writeBytes(int record, const QByteArray& bytes) {
    QFile file(m_path);
    if (record < 1 || !file.open(QIODevice::ReadWrite)) {
        return false;
    }
    // Seeking past the end and writing fills the hole with zero bytes.
    return file.seek(RecordOffset(record)) && file.write(bytes) == bytes.size() && file.flush();
}

bool RecordFile::canWrite() const {
    QFile file(m_path);
    return file.open(QIODevice::ReadWrite);
}

qint16 RecordFile::readInt(int record) const {
    const QByteArray bytes = readBytes(record, 0, 2);
    if (bytes.size() < 2) {
        return 0;
    }
    return qFromLittleEndian<qint16>(bytes.constData());
}

bool RecordFile::writeInt(int record, qint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return writeBytes(record, bytes);
}

QString RecordFile::readText(int record) const {
    const QByteArray countBytes = readBytes(record, 0, 2);
    if (countBytes.size() < 2) {
        return {};
    }
    const quint16 count = qFromLittleEndian<quint16>(countBytes.constData());
    if (count == 0 || count > kMaxTextBytes) {
        return {};
    }
    const QByteArray text = readBytes(record, 2, count);
    if (text.size() < count) {
        return {};
    }
    return Cp932::Decode(text);
}

RecordFile::TextWrite RecordFile::writeText(int record, const QString& text) {
    const std::optional<QByteArray> encoded = Cp932::Encode(text);
    if (!encoded) {
        return TextWrite::NotEncodable;
    }
    if (encoded->size() > kMaxTextBytes) {
        return TextWrite::TooLong;
    }
    QByteArray bytes(2, '\0');
    qToLittleEndian(static_cast<quint16>(encoded->size()), bytes.data());
    bytes.append(*encoded);
    return writeBytes(record, bytes) ? TextWrite::Written : TextWrite::FileError;
}
