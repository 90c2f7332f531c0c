#include "history/KochCourse.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// "order=KMUR…" and "level=5", one a line.
const QString kOrderKey = u"order="_s;
const QString kLevelKey = u"level="_s;

bool IsCourseCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

}  // namespace

void KochCourse::setLevel(int wanted) {
    level = std::clamp(wanted, kFirstLevel, std::max(kFirstLevel, int(order.size())));
}

QString KochCoursePath(const QString& historyPath) {
    return QFileInfo(historyPath).dir().filePath(u"koch-course.txt"_s);
}

KochCourse LoadKochCourse(const QString& path) {
    KochCourse course;
    QFile file(path);
    if (file.size() > 4096 || !file.open(QIODevice::ReadOnly)) {
        return course;
    }
    int level = KochCourse::kFirstLevel;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString entry = line.trimmed();
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

bool SaveKochCourse(const QString& path, const KochCourse& course) {
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(
        (kOrderKey + course.order + u'\n' + kLevelKey + QString::number(course.level) + u'\n')
            .toUtf8());
    return file.commit();
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
    return u"次の文字 %1 へ進む条件: 全体の正解率 %2%（90%以上）、%3 の正解 %4回中%5回"
           u"（20回以上で90%以上）。直近 %6 回の練習で数えます。"_s
               .arg(course.order.at(course.level))
               .arg(gate.overallPercent(), 0, 'f', 0)
               .arg(course.newest())
               .arg(gate.newestSent)
               .arg(gate.newestRight)
               .arg(KochGate::kRecentLessons);
}
