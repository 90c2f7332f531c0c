#include "core/kit/OwnFile.h"

#include <algorithm>

namespace OwnFile {

namespace {

Access Refused(Refusal refusal, const QString& reason = {}) {
    return {refusal, reason};
}

Access OfOpening(const RegularFile::Opening& opening) {
    switch (opening.status) {
        case RegularFile::Status::Opened:
        case RegularFile::Status::Missing:
            return {};
        case RegularFile::Status::NotRegular:
            return Refused(Refusal::NotRegular);
        case RegularFile::Status::Failed:
            break;
    }
    return Refused(Refusal::CannotOpen, opening.reason);
}

bool NeedsContents(const Kind& kind, bool throughLink) {
    return kind.isKind != nullptr || (throughLink && kind.isOwn != nullptr);
}

}  // namespace

qint64 ReadLimit(const Kind& kind) {
    return std::max(kind.mostBytes, kind.examinedBytes) + 1;
}

Access Judge(const RegularFile::Contents& contents, const Kind& kind) {
    const RegularFile::Opening& opening = contents.opening;
    if (!opening.opened()) {
        return OfOpening(opening);
    }
    if (kind.mostBytes > 0 && contents.bytes.size() > kind.mostBytes) {
        return Refused(Refusal::NotOwn);
    }
    const QByteArray start = contents.bytes.left(kind.examinedBytes);
    if ((kind.isKind != nullptr && !kind.isKind(start)) ||
        (opening.throughLink && kind.isOwn != nullptr && !kind.isOwn(start))) {
        return Refused(Refusal::NotOwn);
    }
    return {};
}

Access Check(const QString& path, const Kind& kind) {
    qint64 size = 0;
    const RegularFile::Opening entry = RegularFile::Examine(path, &size);
    if (!entry.opened()) {
        return OfOpening(entry);
    }
    if (kind.mostBytes > 0 && size > kind.mostBytes) {
        return Refused(Refusal::NotOwn);
    }
    // Read only when a test needs to: the history's SQLite locks do not survive another
    // descriptor of the file being closed in this process.
    if (!NeedsContents(kind, entry.throughLink)) {
        return {};
    }
    return Judge(RegularFile::Read(path, ReadLimit(kind)), kind);
}

}  // namespace OwnFile
