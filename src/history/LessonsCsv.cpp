#include "history/LessonsCsv.h"

#include "history/HistoryStats.h"
#include "net/ExactSpeed.h"

using namespace Qt::StringLiterals;

namespace {

QString ModeText(LessonRecord::Mode mode) {
    return mode == LessonRecord::Mode::Step ? u"ステップ"_s : u"ノーマル"_s;
}

// An unknown value (from a newer program's history) is shown as it is stored.
QString SoundText(const QString& sound) {
    if (sound == u"beep"_s) {
        return u"ビープ"_s;
    }
    if (sound == u"wav"_s) {
        return u"WAV"_s;
    }
    if (sound == u"none"_s) {
        return u"なし"_s;
    }
    return sound;
}

QString MissesText(const std::array<int, 36>& misses) {
    QStringList parts;
    for (qsizetype i = 0; i < kMissOrder.size(); ++i) {
        if (const int count = misses[static_cast<std::size_t>(i)]; count != 0) {
            parts.append(QString(kMissOrder.at(i)) + u':' + QString::number(count));
        }
    }
    return parts.join(u' ');
}

QString ConfusionsText(const ConfusionCounts& confusions) {
    QStringList parts;
    for (const ConfusionEntry& entry : MostConfused(confusions)) {
        parts.append(ConfusionName(entry.sent) + u'→' + ConfusionName(entry.heard) + u':' +
                     QString::number(entry.count));
    }
    return parts.join(u' ');
}

// Spreadsheets run a cell that starts with one of these as a formula (tab and CR too, as the
// usual injection advice says).
QString WithoutFormula(const QString& text) {
    static const QString kFormulaStarts = u"=+-@\t\r"_s;
    if (!text.isEmpty() && kFormulaStarts.contains(text.front())) {
        return u'\'' + text;
    }
    return text;
}

QString Quoted(const QString& field) {
    static const QString kNeedsQuotes = u",\"\r\n"_s;
    for (const QChar c : field) {
        if (kNeedsQuotes.contains(c)) {
            return u'"' + QString(field).replace(u"\""_s, u"\"\""_s) + u'"';
        }
    }
    return field;
}

QByteArray Row(const QStringList& fields) {
    QString row;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            row += u',';
        }
        row += Quoted(fields[i]);
    }
    row += u"\r\n"_s;
    return row.toUtf8();
}

}  // namespace

namespace {

// A speed of its own as its figure a minute with its WPM beside it: "91 (20/10WPM)".
QString SpeedCell(const LessonRecord& lesson) {
    if (!lesson.freeSpeed) {
        return QString::number(lesson.speed);
    }
    return u"%1 (%2)"_s.arg(CharactersPerMinuteFor(lesson.freeSpeed->characterWpm))
        .arg(ExactSpeedCaption(*lesson.freeSpeed));
}

}  // namespace

QStringList LessonColumnTitles() {
    return {u"日時"_s,   u"相手"_s,   u"受信モード"_s, u"速度(字/分)"_s, u"微調整"_s,  u"音"_s,
            u"文字数"_s, u"正解数"_s, u"正解率(%)"_s,  u"ミス"_s,        u"聞き違い"_s};
}

QStringList LessonColumnTexts(const LessonRecord& lesson) {
    const std::optional<double> accuracy = AccuracyPercent(lesson);
    const bool judged = lesson.mode == LessonRecord::Mode::Step && lesson.correct.has_value();
    return {lesson.finishedAt.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s),
            lesson.peer,
            ModeText(lesson.mode),
            SpeedCell(lesson),
            lesson.fineAdjust > 0 ? u'+' + QString::number(lesson.fineAdjust)
                                  : QString::number(lesson.fineAdjust),
            SoundText(lesson.sound),
            QString::number(lesson.played),
            judged ? QString::number(*lesson.correct) : QString(),
            accuracy ? QString::number(*accuracy, 'f', 1) : QString(),
            MissesText(lesson.misses),
            ConfusionsText(lesson.confusions)};
}

QByteArray LessonsCsvHeader() {
    return QByteArrayLiteral("\xEF\xBB\xBF") + Row(LessonColumnTitles());
}

QByteArray LessonsCsvRow(const LessonRecord& lesson) {
    QStringList fields = LessonColumnTexts(lesson);
    // The question and the copy are the peer's and the user's text too.
    for (const LessonColumn column : {LessonColumn::Peer, LessonColumn::Confusions}) {
        fields[int(column)] = WithoutFormula(fields[int(column)]);
    }
    return Row(fields);
}

QByteArray LessonsCsv(const QList<LessonRecord>& lessons) {
    QByteArray csv = LessonsCsvHeader();
    for (const LessonRecord& lesson : lessons) {
        csv += LessonsCsvRow(lesson);
    }
    return csv;
}
