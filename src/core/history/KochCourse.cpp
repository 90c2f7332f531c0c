#include "core/history/KochCourse.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>

#include "core/kit/RegularFile.h"

using namespace Qt::StringLiterals;

namespace {

// "order=KMUR…" and "level=5", one a line.
const QString kOrderKey = u"order="_s;
const QString kLevelKey = u"level="_s;

bool IsCourseCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// The lines of a course file, as this program writes it or a text editor saves it (a byte-order
// mark, CR LF).
QStringList CourseLines(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        line = line.trimmed();
    }
    return lines;
}

bool IsCourseText(const QByteArray& bytes) {
    if (bytes.contains('\0')) {
        return false;
    }
    const QStringList lines = CourseLines(bytes);
    return std::all_of(lines.begin(), lines.end(), [](const QString& line) {
        return line.isEmpty() || line.startsWith(kOrderKey) || line.startsWith(kLevelKey);
    });
}

// A line of 36 characters and a level: anything far longer is not a course.
constexpr qint64 kMostBytes = 4096;
const OwnFile::Kind kCourseFile{kMostBytes, kMostBytes, IsCourseText, nullptr};

}  // namespace

void KochCourse::setLevel(int wanted) {
    level = std::clamp(wanted, kFirstLevel, std::max(kFirstLevel, int(order.size())));
}

QString KochCoursePath(const QString& historyPath) {
    return QFileInfo(historyPath).dir().filePath(u"koch-course.txt"_s);
}

KochCourse LoadKochCourse(const QString& path) {
    KochCourse course;
    // Never waits on a FIFO, never reads a device for ever.
    const RegularFile::Contents contents = RegularFile::Read(path, OwnFile::ReadLimit(kCourseFile));
    if (!contents.opening.opened() || !OwnFile::Judge(contents, kCourseFile).allowed()) {
        return course;
    }
    int level = KochCourse::kFirstLevel;
    for (const QString& entry : CourseLines(contents.bytes)) {
        if (entry.startsWith(kOrderKey)) {
            QString ignored;
            course.order = ParseKochOrder(entry.mid(kOrderKey.size()), &ignored)
                               .value_or(KochCourse::kKochOrder.toString());
        } else if (entry.startsWith(kLevelKey)) {
            level = entry.mid(kLevelKey.size()).toInt();
        }
    }
    course.setLevel(level);
    return course;
}

OwnFile::Access SaveKochCourse(const QString& path, const KochCourse& course) {
    QDir().mkpath(QFileInfo(path).path());
    const OwnFile::Access access = OwnFile::Check(path, kCourseFile);
    if (!access.allowed()) {
        return access;
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(
            (kOrderKey + course.order + u'\n' + kLevelKey + QString::number(course.level) + u'\n')
                .toUtf8());
        if (file.commit()) {
            return access;
        }
    }
    return {OwnFile::Refusal::CannotOpen, file.errorString()};
}

std::optional<QString> ParseKochOrder(const QString& text, QString* error) {
    QString order;
    QSet<QChar> seen;
    for (const QChar c : text) {
        if (c.isSpace()) {
            continue;
        }
        const QChar upper = c.toUpper();
        if (!IsCourseCharacter(upper)) {
            *error = u"「%1」は英字でも数字でもありません。"_s.arg(c);
            return std::nullopt;
        }
        if (seen.contains(upper)) {
            *error = u"「%1」が二度あります。"_s.arg(upper);
            return std::nullopt;
        }
        seen.insert(upper);
        order += upper;
    }
    if (order.size() < KochCourse::kFirstLevel) {
        *error = u"文字が二つ以上必要です。"_s;
        return std::nullopt;
    }
    return order;
}

bool KochGate::ready() const {
    return sent > 0 && overallPercent() >= kPercent && newestSent >= kOccurrences &&
           newestPercent() >= kPercent;
}

KochGate JudgeKochGate(const ConfusionCounts& recent, QChar newest) {
    KochGate gate;
    for (const auto& [pair, count] : recent) {
        if (pair.first.isNull()) {
            continue;  // an extra character is no character sent
        }
        const int right = pair.first == pair.second ? count : 0;
        gate.sent += count;
        gate.right += right;
        if (pair.first == newest) {
            gate.newestSent += count;
            gate.newestRight += right;
        }
    }
    return gate;
}

QString KochLevelText(const KochCourse& course) {
    QStringList characters;
    for (const QChar c : course.taught()) {
        characters << QString(c);
    }
    return u"段階 %1（%2）"_s.arg(course.level).arg(characters.join(u' '));
}

QString KochNeedText(const KochCourse& course, const KochGate& gate) {
    if (course.atEnd()) {
        return u"すべての文字を学びました。"_s;
    }
    // Before any lesson there is no rate: 0 % would say the learner got everything wrong.
    const QString overall =
        gate.sent > 0 ? u"%1%"_s.arg(gate.overallPercent(), 0, 'f', 0) : u"まだありません"_s;
    return u"次の文字 %1 へ進む条件: 全体の正解率 %2（90%以上）、%3 の正解 %4回中%5回"
           u"（20回以上で90%以上）。直近 %6 回の練習で数えます。"_s
               .arg(course.order.at(course.level))
               .arg(overall)
               .arg(course.newest())
               .arg(gate.newestSent)
               .arg(gate.newestRight)
               .arg(KochGate::kRecentLessons);
}
