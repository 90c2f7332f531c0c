#include "core/kit/RecordFile.h"

#include <QtEndian>

#include "core/kit/Cp932Codec.h"
#include "core/kit/RegularFile.h"
#include "core/kit/SettingsRecords.h"

namespace {

qint64 RecordOffset(int record) {
    return static_cast<qint64>(record - 1) * RecordFile::kRecordLength;
}

// Whether a file reached through a link is laid out as records: empty, or reaching at least the
// count of the first text record (every save, of this program or its predecessor, writes record 6
// or a later one), with every text record's count within its record. Hardly any other file
// passes: two bytes of text read as a count are far above 12.
bool LaidOutAsRecords(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return true;
    }
    for (const int record : SettingsRecord::kTexts) {
        const qint64 at = RecordOffset(record);
        if (bytes.size() < at + 2) {
            return record != SettingsRecord::kTexts[0];
        }
        if (qFromLittleEndian<quint16>(bytes.constData() + at) > RecordFile::kMaxTextBytes) {
            return false;
        }
    }
    return true;
}

// Nothing writes past record 9: a longer file is another.
constexpr qint64 kFileBytes = qint64(RecordFile::kRecords) * RecordFile::kRecordLength;
const OwnFile::Kind kRecordsFile{kFileBytes, kFileBytes, nullptr, LaidOutAsRecords};

}  // namespace

QByteArray RecordFile::readBytes(int record, int offsetInRecord, int count) const {
    QFile file;
    // Opening for writing creates a missing file; a read-only one is still read.
    if (record < 1 || !(RegularFile::OpenForUpdate(file, m_path).opened() ||
                        RegularFile::OpenForReading(file, m_path).opened())) {
        return {};
    }
    if (!file.seek(RecordOffset(record) + offsetInRecord)) {
        return {};
    }
    return file.read(count);
}

RecordFile::Access RecordFile::openForWriting(QFile& file) const {
    RegularFile::Contents contents;
    contents.opening = RegularFile::OpenForUpdate(file, m_path);
    if (contents.opening.opened()) {
        contents.bytes = file.read(OwnFile::ReadLimit(kRecordsFile));
    }
    return OwnFile::Judge(contents, kRecordsFile);
}

bool RecordFile::writeBytes(int record, const QByteArray& bytes) {
    QFile file;
    if (record < 1 || openForWriting(file).refusal != Refusal::None) {
        return false;
    }
    // Seeking past the end and writing fills the hole with zero bytes.
    return file.seek(RecordOffset(record)) && file.write(bytes) == bytes.size() && file.flush();
}

RecordFile::Access RecordFile::writeAccess() const {
    QFile file;
    return openForWriting(file);
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

bool RecordFile::CanHold(const QString& text) {
    const std::optional<QByteArray> encoded = Cp932::Encode(text);
    return encoded && encoded->size() <= kMaxTextBytes;
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
