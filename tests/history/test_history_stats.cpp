// Figures over hand-made histories: miss rates per character, accuracy per day and speed, the
// window's filters, and the partner's drill, which draws characters in proportion to their weights.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <cmath>

#include "core/history/HistoryReader.h"
#include "core/partner/QuestionSource.h"

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);

// A Step lesson of the question with the misses given as "K2 M1".
LessonRecord Step(const QString& question, const QString& misses, int speed = 25, int daysAgo = 0,
                  int correct = -1) {
    LessonRecord lesson;
    lesson.finishedAt = kNow.addDays(-daysAgo);
    lesson.speed = speed;
    lesson.question = question;
    lesson.played = static_cast<int>(QString(question).remove(u' ').size());
    int missed = 0;
    for (const QString& entry : misses.split(u' ', Qt::SkipEmptyParts)) {
        const int count = entry.mid(1).toInt();
        lesson.misses[static_cast<std::size_t>(kMissOrder.indexOf(entry[0]))] = count;
        missed += count;
    }
    lesson.correct = correct >= 0 ? correct : lesson.played - missed;
    return lesson;
}

LessonRecord Normal(const QString& question, int daysAgo = 0) {
    LessonRecord lesson = Step(question, {}, 25, daysAgo);
    lesson.mode = LessonRecord::Mode::Normal;
    lesson.correct.reset();
    return lesson;
}

// "K:2/4" for the first entries of the worst-first list.
QStringList Worst(const QList<LessonRecord>& lessons, int count) {
    QStringList shown;
    for (const CharacterMisses& rate : MissRates(lessons).mid(0, count)) {
        shown << u"%1:%2/%3"_s.arg(rate.character).arg(rate.misses).arg(rate.played);
    }
    return shown;
}

double ChiSquare(const QList<double>& observed, const QList<double>& expected) {
    double sum = 0;
    for (qsizetype i = 0; i < observed.size(); ++i) {
        sum += (observed[i] - expected[i]) * (observed[i] - expected[i]) / expected[i];
    }
    return sum;
}

// Counts of each taught character over many Koch questions.
QList<double> Draws(QuestionSource& source, QStringView taught, int questions) {
    QList<double> counts(taught.size(), 0);
    for (int i = 0; i < questions; ++i) {
        for (const QChar c : source.next()) {
            if (c != u' ') {
                ++counts[taught.indexOf(c)];
            }
        }
    }
    return counts;
}

}  // namespace

Q_DECLARE_METATYPE(QList<LessonRecord>)

class HistoryStatsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    int m_files = 0;
    std::unique_ptr<HistoryReader> m_reader;
    // A reader of a new history file holding the lessons; it lives until the next call.
    HistoryReader& Stored(const QList<LessonRecord>& lessons) {
        const QString path = QDir(m_folder.path()).filePath(QString::number(++m_files));
        HistoryStore(path).save(lessons);
        m_reader = std::make_unique<HistoryReader>(path);
        m_reader->open();
        return *m_reader;
    }

  private slots:
    void missRatesWorstFirst_data() {
        QTest::addColumn<QList<LessonRecord>>("lessons");
        QTest::addColumn<QStringList>("worst");
        QTest::newRow("nothing yet: the answer buttons' order")
            << QList<LessonRecord>{} << QStringList{u"A:0/0"_s, u"B:0/0"_s, u"C:0/0"_s};
        QTest::newRow("rate, not count, comes first")
            << QList<LessonRecord>{Step(u"KKKK MM"_s, u"K2 M2"_s)}
            << QStringList{u"M:2/2"_s, u"K:2/4"_s, u"A:0/0"_s};
        QTest::newRow("summed over lessons")
            << QList<LessonRecord>{Step(u"KM"_s, u"K1"_s), Step(u"KM"_s, u"M1"_s),
                                   Step(u"K"_s, u"K1"_s)}
            << QStringList{u"K:2/3"_s, u"M:1/2"_s, u"A:0/0"_s};
        QTest::newRow("equal rates: more misses first")
            << QList<LessonRecord>{Step(u"QQ 5555"_s, u"Q1 52"_s)}
            << QStringList{u"5:2/4"_s, u"Q:1/2"_s, u"A:0/0"_s};
        QTest::newRow("digits count, lower case too")
            << QList<LessonRecord>{Step(u"0 0 kk"_s, u"01 K1"_s)}
            << QStringList{u"K:1/2"_s, u"0:1/2"_s, u"A:0/0"_s};
        QTest::newRow("Normal lessons are not judged")
            << QList<LessonRecord>{Normal(u"EEEE"_s), Step(u"E"_s, u"E1"_s)}
            << QStringList{u"E:1/1"_s, u"A:0/0"_s, u"B:0/0"_s};
        QTest::newRow("misses beyond the plays: at most every time")
            << QList<LessonRecord>{Step(u"T"_s, u"T3"_s, 25, 0, 0)}
            << QStringList{u"T:3/1"_s, u"A:0/0"_s, u"B:0/0"_s};
    }
    void missRatesWorstFirst() {
        QFETCH(QList<LessonRecord>, lessons);
        QFETCH(QStringList, worst);
        QCOMPARE(Worst(lessons, 3), worst);
        const QList<CharacterMisses> rates = MissRates(lessons);
        QCOMPARE(rates.size(), 36);
        const QList<CharacterMisses> stored = Stored(lessons).missRates({});
        for (qsizetype i = 0; i < rates.size(); ++i) {
            QVERIFY(rates[i].rate >= 0 && rates[i].rate <= 1);
            // The history's running totals give the same figures in the same order.
            QCOMPARE(stored[i].character, rates[i].character);
            QCOMPARE(stored[i].misses, rates[i].misses);
            QCOMPARE(stored[i].played, rates[i].played);
        }
    }

    // Each day's judged Step lessons at one speed taken together, characters right of those
    // played.
    void accuracyPerDayAndSpeed() {
        HistoryReader& reader = Stored({
            Step(u"ABCD"_s, u"A1"_s, 45, 1),                   // 75 %
            Step(u"ABCD"_s, {}, 25, 3),                        // 100 %, with the next 7 of 8
            Step(u"ABCD"_s, u"A1"_s, 25, 3),                   // 75 %
            Step(u"ABCD"_s, u"A1 B1"_s, 25, 2),                // 50 %
            Normal(u"ABCD"_s, 1), Step(QString(), {}, 60, 0),  // nothing played: no point
        });
        QStringList days;
        for (const DayAccuracy& day : reader.dailyAccuracy({})) {
            days << u"%1 %2 %3 %4"_s.arg(kNow.toLocalTime().date().daysTo(day.day))
                        .arg(day.speed)
                        .arg(day.lessons)
                        .arg(day.percent);
        }
        QCOMPARE(days, (QStringList{u"-3 25 2 87.5"_s, u"-2 25 1 50"_s, u"-1 45 1 75"_s}));
    }

    void filtersByPeriodAndSpeed_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("speed");  // 0: every speed
        QTest::addColumn<int>("kept");
        QTest::newRow("everything") << 0 << 0 << 5;
        QTest::newRow("exactly seven days ago is in") << 7 << 0 << 3;
        QTest::newRow("the last week at 45") << 7 << 45 << 1;
        QTest::newRow("a year at 60") << 365 << 60 << 1;
        QTest::newRow("a speed never used") << 0 << 35 << 0;
    }
    void filtersByPeriodAndSpeed() {
        QFETCH(int, days);
        QFETCH(int, speed);
        QFETCH(int, kept);
        const QList<LessonRecord> lessons{Step(u"A"_s, {}, 25, 0), Step(u"A"_s, {}, 45, 7),
                                          Step(u"A"_s, {}, 25, 6), Step(u"A"_s, {}, 25, 8),
                                          Step(u"A"_s, {}, 60, 300)};
        const std::optional<int> chosen = speed == 0 ? std::nullopt : std::optional<int>(speed);
        QCOMPARE(Stored(lessons).lessonCount(HistoryFilter::Last(days, chosen, kNow)), kept);
    }

    void drillWeightsGrowWithTheMissRate() {
        const QList<CharacterMisses> rates = MissRates({Step(u"KKMMMM"_s, u"K2 M1"_s)});
        const QList<double> weights = DrillWeights(rates, u"KMUR");
        QCOMPARE(weights, (QList<double>{10.0, 1 + 9 * 0.25, 1.0, 1.0}));
    }

    // The copied pairs replace the misses of the characters they have seen: U heard as R half
    // the time, M always right; K, which they never saw, keeps its misses.
    void drillWeightsFromCopiedPairs() {
        const QList<CharacterMisses> rates = WithCopyTallies(
            MissRates({Step(u"KKMMMM"_s, u"K2 M1"_s)}),
            {{{u'U', u'U'}, 2}, {{u'U', u'R'}, 2}, {{u'M', u'M'}, 4}, {{QChar(), u'U'}, 9}});
        QCOMPARE(DrillWeights(rates, u"KMUR"), (QList<double>{10.0, 1.0, 1 + 9 * 0.5, 1.0}));
    }

    void theDrillDrawsInProportionToTheWeights_data() {
        QTest::addColumn<QList<double>>("weights");
        QTest::newRow("one character always missed, one half the time")
            << QList<double>{10.0, 5.5, 1.0, 1.0};
        QTest::newRow("no weights: every character equally") << QList<double>{};
        QTest::newRow("unusable weights: every character equally")
            << QList<double>{0.0, 0.0, 0.0, 0.0};
    }
    void theDrillDrawsInProportionToTheWeights() {
        QFETCH(QList<double>, weights);
        QuestionSource::Settings settings;
        settings.kochCharacters = 4;
        settings.seed = 20261208;
        QuestionSource source(settings);
        const QStringView taught = QuestionSource::kKochOrder.left(4);
        int asked = 0;
        source.setWeightSource([&](QStringView characters) {
            ++asked;
            return characters == taught ? weights : QList<double>{};
        });
        constexpr int kQuestions = 400;  // 10000 characters
        const QList<double> counts = Draws(source, taught, kQuestions);
        QCOMPARE(asked, kQuestions);
        double sum = 0;
        QList<double> used = weights;
        for (const double weight : weights) {
            sum += weight;
        }
        if (sum <= 0) {
            used = {1, 1, 1, 1};
            sum = 4;
        }
        QList<double> expected;
        for (const double weight : used) {
            expected << 10000 * weight / sum;
        }
        // Three degrees of freedom: 16.27 is exceeded by chance once in a thousand seeds.
        const double chi = ChiSquare(counts, expected);
        QVERIFY2(chi < 16.27, qPrintable(u"chi-square %1"_s.arg(chi)));
    }
};

QTEST_GUILESS_MAIN(HistoryStatsTest)
#include "test_history_stats.moc"
