#include "authoring/QuestionFile.h"

#include <QFile>
#include <QStringDecoder>

#include "common/Cp932Codec.h"

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
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString();
        return result;
    }
    // Read one byte past the most a question can take: a bigger file is refused unread.
    const QByteArray bytes = file.read(kMostBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.reason = file.errorString();
        return result;
    }
    return FromBytes(bytes);
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
