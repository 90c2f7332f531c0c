#include "core/lesson/SendingFile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "core/kit/LessonState.h"
#include "core/lesson/QuestionFile.h"
#include "core/morse/ContactSigns.h"

using namespace Qt::StringLiterals;

namespace {

// At most this many refused characters are named; the rest are only counted.
constexpr int kNamedCharacters = 10;

bool Keyable(QChar character) {
    return !PatternForSign(QStringView(&character, 1)).isEmpty();
}

}  // namespace

SendingFile SendingWords(const QString& text, const QString& name) {
    static const QRegularExpression kWhiteSpace(u"\\s+"_s,
                                                QRegularExpression::UseUnicodePropertiesOption);
    SendingFile file;
    QString refused;
    int wordsLeftOut = 0;
    for (const QString& word : text.split(kWhiteSpace, Qt::SkipEmptyParts)) {
        bool keyable = true;
        for (const QChar character : word) {
            if (!Keyable(character)) {
                keyable = false;
                if (!refused.contains(character) && refused.size() < kNamedCharacters) {
                    refused += character;
                }
            }
        }
        if (keyable) {
            file.words << word.toUpper();
        } else {
            ++wordsLeftOut;
        }
    }
    if (wordsLeftOut > 0) {
        file.notice =
            u"Morse 符号のない文字（%1）を含む%2語を除きました。"_s.arg(refused).arg(wordsLeftOut);
    }
    if (file.words.isEmpty()) {
        file.error = u"ファイル「%1」には送信練習に使える語がありません。"_s.arg(name);
    }
    return file;
}

SendingFile ReadSendingFile(const QString& path) {
    using Status = QuestionFile::Result::Status;
    const QuestionFile::Result read = QuestionFile::Read(path);
    const QString name = QFileInfo(path).fileName();
    SendingFile file;
    switch (read.status) {
        case Status::Read:
            return SendingWords(read.text, name);
        case Status::CannotOpen:
            file.error = u"ファイル「%1」を読み込めませんでした。\n%2"_s.arg(name, read.reason);
            break;
        case Status::NotRegularFile:
            file.error = u"「%1」は通常のファイルではないため、読み込めませんでした。"_s.arg(name);
            break;
        case Status::NotText:
            file.error =
                u"ファイル「%1」はテキストファイルではないため、読み込めません。"_s.arg(name);
            break;
        case Status::TooLong:
            file.error = u"ファイル「%1」は長すぎるため、読み込めません。%2文字以内にして下さい。"_s
                             .arg(name)
                             .arg(kLongestQuestion);
            break;
    }
    return file;
}
