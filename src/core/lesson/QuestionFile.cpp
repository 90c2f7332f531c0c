#include "core/lesson/QuestionFile.h"

#include <QStringDecoder>

#include "core/kit/Cp932Codec.h"
#include "core/kit/RegularFile.h"

namespace QuestionFile {

namespace {

QString JoinedLines(const QString& text) {
    QString joined;
    joined.reserve(text.size() + 2);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        joined += QStringView(text).mid(start, end - start);
        joined += u"\r\n";
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
    return joined;
}

}  // namespace

QString Decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return Cp932::Decode(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

Result Read(const QString& path) {
    // One byte past the most a question can take: a bigger file is refused unread.
    const RegularFile::Contents contents = RegularFile::Read(path, kMostBytes + 1);
    if (!contents.opening.opened()) {
        Result result;
        result.reason = contents.opening.reason;
        if (contents.opening.status == RegularFile::Status::NotRegular) {
            result.status = Result::Status::NotRegularFile;
        }
        return result;
    }
    return FromBytes(contents.bytes);
}

Result FromBytes(const QByteArray& bytes) {
    Result result;
    if (bytes.size() > kMostBytes) {
        result.status = Result::Status::TooLong;
        return result;
    }
    if (bytes.contains('\0')) {
        result.status = Result::Status::NotText;
        return result;
    }
    result.text = JoinedLines(Decode(bytes));
    result.status =
        result.text.size() > kLongestQuestion ? Result::Status::TooLong : Result::Status::Read;
    if (result.status == Result::Status::TooLong) {
        result.text.clear();
    }
    return result;
}

}  // namespace QuestionFile
