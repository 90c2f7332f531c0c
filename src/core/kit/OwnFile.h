#pragma once

#include <QByteArray>
#include <QString>

#include "core/kit/RegularFile.h"

// Whether the program may write one of its own files (saveset.dat, quillstart.ini, the Koch
// course, the history). The name is the program's, but what stands there may be anything: a
// folder, a FIFO or a device (opening one waits, writing one does who knows what), or a link to
// someone else's file, which a write would change. Only a regular file of the program's kind is
// written, and one reached through a link only when it also reads as the program's own: a link
// to a synced copy of the program's file works, a link to any other file is never written through.
namespace OwnFile {

enum class Refusal {
    None,
    CannotOpen,  // the system refused (permissions, a folder that is gone)
    NotRegular,  // a folder, FIFO, device or socket, or a link that leads nowhere
    NotOwn,      // another file, or a link to one
};

struct Access {
    Refusal refusal = Refusal::None;
    QString reason;  // the system's words, for CannotOpen
    bool allowed() const { return refusal == Refusal::None; }
};

// What the program's files of one kind are. A test reads the first examinedBytes of the file.
struct Kind {
    using Test = bool (*)(const QByteArray& bytes);
    qint64 mostBytes = 0;      // a longer file is another (0: any length)
    qint64 examinedBytes = 0;  // how much of the start the tests read
    Test isKind = nullptr;     // every file of the kind reads so (none: any)
    Test isOwn = nullptr;      // a file reached through a link must read so too (none: any)
};

// How much to read of a file for Judge.
qint64 ReadLimit(const Kind& kind);

// Judges a file read with RegularFile (at most ReadLimit bytes). A missing file may be written:
// the writer makes it.
Access Judge(const RegularFile::Contents& contents, const Kind& kind);

// Judges the file by name. It is opened only when a test must read it, and never waited on.
Access Check(const QString& path, const Kind& kind);

}  // namespace OwnFile
