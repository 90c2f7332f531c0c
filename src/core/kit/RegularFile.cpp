#include "core/kit/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace RegularFile {

namespace {

Opening Outcome(Status status, bool throughLink, int error = 0) {
    Opening opening;
    opening.status = status;
    opening.throughLink = throughLink;
    if (error != 0) {
        opening.reason = QString::fromLocal8Bit(std::strerror(error));
    }
    return opening;
}

// What the name is, without opening it: opening a device may already do something.
Opening InspectName(const QByteArray& name, qint64* size = nullptr) {
    struct stat entry {};
    if (::lstat(name.constData(), &entry) != 0) {
        return Outcome(errno == ENOENT ? Status::Missing : Status::Failed, false, errno);
    }
    const bool link = S_ISLNK(entry.st_mode);
    if (link && ::stat(name.constData(), &entry) != 0) {
        return Outcome(Status::NotRegular, true);
    }
    if (!S_ISREG(entry.st_mode)) {
        return Outcome(Status::NotRegular, link);
    }
    if (size != nullptr) {
        *size = entry.st_size;
    }
    return Outcome(Status::Opened, link);  // not yet: a regular file, to be opened
}

// Opens what InspectName saw. The name may have changed since: O_NONBLOCK keeps a FIFO that took
// its place from making open() wait, O_NOFOLLOW keeps a link that took the place of a file from
// being followed, and the type is checked again on what was opened.
Opening OpenChecked(QFile& file, const QByteArray& name, Opening seen, int flags,
                    QIODevice::OpenMode mode) {
    flags |= O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (!seen.throughLink) {
        flags |= O_NOFOLLOW;
    }
    const int descriptor = ::open(name.constData(), flags, 0666);
    if (descriptor < 0) {
        return Outcome(errno == ELOOP ? Status::NotRegular : Status::Failed, seen.throughLink,
                       errno);
    }
    struct stat opened {};
    if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(descriptor);
        return Outcome(Status::NotRegular, seen.throughLink);
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(descriptor, mode, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return Outcome(Status::Failed, seen.throughLink, EIO);
    }
    return Outcome(Status::Opened, seen.throughLink);
}

}  // namespace

Opening Examine(const QString& path, qint64* size) {
    return InspectName(QFile::encodeName(path), size);
}

Opening OpenForReading(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const Opening seen = InspectName(name);
    if (!seen.opened()) {
        return seen;
    }
    return OpenChecked(file, name, seen, O_RDONLY, QIODevice::ReadOnly);
}

Opening OpenForUpdate(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const Opening seen = InspectName(name);
    if (seen.status == Status::Missing) {
        // O_EXCL: never through a link that appeared meanwhile.
        return OpenChecked(file, name, seen, O_RDWR | O_CREAT | O_EXCL, QIODevice::ReadWrite);
    }
    if (!seen.opened()) {
        return seen;
    }
    return OpenChecked(file, name, seen, O_RDWR, QIODevice::ReadWrite);
}

Contents Read(const QString& path, qint64 limit) {
    Contents contents;
    QFile file;
    contents.opening = OpenForReading(file, path);
    if (!contents.opening.opened()) {
        return contents;
    }
    contents.bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        contents.opening.status = Status::Failed;
        contents.opening.reason = file.errorString();
        contents.bytes.clear();
    }
    return contents;
}

}  // namespace RegularFile
