#pragma once

#include <QString>

#include "core/kit/LessonState.h"

// Reading a question from a plain text file for the question editor.
namespace QuestionFile {

struct Result {
    enum class Status { Read, CannotOpen, NotRegularFile, NotText, TooLong };
    Status status = Status::CannotOpen;
    // Every line, the last one too, followed by CR LF, its characters as they stand.
    QString text;
    // Why the file could not be opened, as the system says it.
    QString reason;
};

// UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped), otherwise code page 932,
// as a Japanese Windows PC writes text. Lines end at CR LF, LF or CR. A file with NUL bytes is no
// text; one whose text would be longer than a question is refused before it is all read, so a
// read takes at most kMostBytes + 1 bytes (128 KiB, well under a millisecond from a disk). A FIFO,
// a device or a socket is refused unopened: reading one waits on whoever is at its other end.
Result Read(const QString& path);

// The bytes of a file as its text, by the same rules (for files already read).
QString Decode(const QByteArray& bytes);

// What Read makes of a file's bytes (all of them, or the first kMostBytes + 1).
Result FromBytes(const QByteArray& bytes);

// More bytes than this cannot be a question: no encoding here takes more than 4 bytes to a
// character, and a byte-order mark takes 3.
inline constexpr qint64 kMostBytes = qint64(kLongestQuestion) * 4 + 3;

}  // namespace QuestionFile
