#include "core/history/LessonsCsv.h"

#include "core/history/HistoryStats.h"
#include "core/link/ExactSpeed.h"

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

// A speed of its own as its figure a minute with its WPM beside it: "91 (20/10WPM)".
QString SpeedCell(const LessonRecord& lesson) {
    if (!lesson.freeSpeed) {
        return QString::number(lesson.speed);
    }
    return u"%1 (%2)"_s.arg(CharactersPerMinuteFor(lesson.freeSpeed->characterWpm))
        .arg(ExactSpeedCaption(*lesson.freeSpeed));
}

// The right count as the lesson was scored: a Step count as it was kept, a copy's from its pairs.
QString CorrectText(const LessonRecord& lesson, Scoring scoring) {
    switch (scoring) {
        case Scoring::Answers:
            return QString::number(*lesson.correct);
        case Scoring::Copy:
            return QString::number(ScoreOf(lesson)->right);
        case Scoring::None:
            break;
    }
    return {};
}

QString ScoringText(Scoring scoring) {
    switch (scoring) {
        case Scoring::Answers:
            return u"解答"_s;
        case Scoring::Copy:
            return u"受信メモ"_s;
        case Scoring::None:
            break;
    }
    return {};
}

}  // namespace

QStringList LessonColumnTitles() {
    return {u"日時"_s,      u"相手"_s,  u"受信モード"_s, u"速度(毎分文字数)"_s,
            u"微調整"_s,    u"音"_s,    u"文字数"_s,     u"正解数"_s,
            u"正解率(%)"_s, u"採点"_s,  u"ミス"_s,       u"聞き違い"_s,
            u"条件"_s,      u"シード"_s};
}

bool IsNumberColumn(LessonColumn column) {
    switch (column) {
        case LessonColumn::Speed:
        case LessonColumn::FineAdjust:
        case LessonColumn::Played:
        case LessonColumn::Correct:
        case LessonColumn::Accuracy:
        case LessonColumn::BandSeed:
            return true;
        default:
            return false;
    }
}

QStringList LessonColumnTexts(const LessonRecord& lesson) {
    const std::optional<double> accuracy = AccuracyPercent(lesson);
    const Scoring scoring = ScoringOf(lesson);
    return {lesson.finishedAt.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s),
            lesson.peer,
            ModeText(lesson.mode),
            SpeedCell(lesson),
            lesson.fineAdjust > 0 ? u'+' + QString::number(lesson.fineAdjust)
                                  : QString::number(lesson.fineAdjust),
            SoundText(lesson.sound),
            QString::number(lesson.played),
            CorrectText(lesson, scoring),
            accuracy ? QString::number(*accuracy, 'f', 1) : QString(),
            ScoringText(scoring),
            MissesText(lesson.misses),
            ConfusionsText(lesson.confusions),
            lesson.band.isEmpty() ? u"なし"_s : lesson.band,
            lesson.bandSeed ? QString::number(*lesson.bandSeed) : QString()};
}

QByteArray LessonsCsvHeader() {
    return QByteArrayLiteral("\xEF\xBB\xBF") + Row(LessonColumnTitles());
}

QByteArray LessonsCsvRow(const LessonRecord& lesson) {
    QStringList fields = LessonColumnTexts(lesson);
    // The callsign, the question and the copy are the peer's and the user's text, and a file
    // changed by hand may hold anything in any text.
    for (int column = 0; column < kLessonColumnCount; ++column) {
        if (!IsNumberColumn(LessonColumn(column))) {
            fields[column] = WithoutFormula(fields[column]);
        }
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
