#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Opening a file a user named without ever waiting on it. Opening or reading a FIFO, a device or
// a socket waits for whoever is at the other end, which may never come; only a regular file
// (reached directly or through links) is opened, and the check cannot wait either.
namespace RegularFile {

enum class Status {
    Opened,
    Missing,     // nothing by that name
    NotRegular,  // a folder, FIFO, device or socket, or a link that leads nowhere
    Failed,      // the system refused (permissions, a folder that is gone, ...)
};

struct Opening {
    Status status = Status::Failed;
    QString reason;            // the system's words, when Failed
    bool throughLink = false;  // the name is a symbolic link
    bool opened() const { return status == Status::Opened; }
};

// What stands at the name, without opening it: Opened here means a regular file that may be
// opened, and `size` (when given) is then its length.
Opening Examine(const QString& path, qint64* size = nullptr);

// Opens the file for reading into `file`.
Opening OpenForReading(QFile& file, const QString& path);

// Opens the file for reading and writing; a missing one is created, but never at the end of a
// link that leads nowhere (that would make a file wherever the link points).
Opening OpenForUpdate(QFile& file, const QString& path);

struct Contents {
    Opening opening;
    QByteArray bytes;
};

// At most `limit` bytes from the start of the file; a read error fails the opening.
Contents Read(const QString& path, qint64 limit);

}  // namespace RegularFile
