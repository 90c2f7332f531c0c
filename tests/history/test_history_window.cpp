// The history window: what its tables and charts hold under each filter, sorting the lesson
// list, the CSV export and its failures, an empty history, and working it from the keyboard.
#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>
#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>

#include "core/history/HistoryStore.h"
#include "core/history/LessonsCsv.h"
#include "core/history/SendingHistory.h"
#include "support/TestContext.h"
#include "ui/history/ConfusionPanel.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/SendingPanel.h"
#include "ui/lesson/FistReportWindow.h"

using namespace Qt::StringLiterals;

namespace {

QDateTime Utc(int year, int month, int day, int hour) {
    return QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
}

// 05:00 on 8 December in Japan: the day in the suggested file name is the local one.
const QDateTime kNow = Utc(2026, 12, 7, 20);

LessonRecord Lesson(QDateTime at, LessonRecord::Mode mode, int speed, int played,
                    std::optional<int> correct, const QString& question,
                    std::initializer_list<std::pair<QChar, int>> misses) {
    LessonRecord lesson;
    lesson.finishedAt = std::move(at);
    lesson.peer = u"JA1ZZZ"_s;
    lesson.mode = mode;
    lesson.speed = speed;
    lesson.sound = u"beep"_s;
    lesson.played = played;
    lesson.correct = correct;
    lesson.question = question;
    for (const auto& [character, count] : misses) {
        lesson.misses[static_cast<std::size_t>(kMissOrder.indexOf(character))] = count;
    }
    return lesson;
}

// Six lessons, oldest first: one over a year ago, one 36 days ago, one 17 days ago and three in
// the last week, one of them a Normal lesson (its misses never count).
QList<LessonRecord> History() {
    using M = LessonRecord::Mode;
    return {
        Lesson(Utc(2025, 6, 1, 10), M::Step, 25, 10, 5, u"AAAAKKKKEE"_s, {{u'A', 3}, {u'K', 1}}),
        Lesson(Utc(2026, 11, 1, 10), M::Step, 45, 20, 15, u"EEEEETTTTTSSSSSOOOOO"_s,
               {{u'E', 2}, {u'T', 3}}),
        Lesson(Utc(2026, 11, 20, 10), M::Step, 25, 10, 9, u"KKKKKMMMMM"_s, {{u'M', 1}}),
        Lesson(Utc(2026, 12, 3, 10), M::Normal, 60, 30, std::nullopt, u"QQQQQ"_s, {{u'Q', 5}}),
        Lesson(Utc(2026, 12, 5, 10), M::Step, 60, 8, 8, u"SSSSOOOO"_s, {}),
        Lesson(Utc(2026, 12, 6, 12), M::Step, 25, 10, 7, u"AAKKEEMMTT"_s, {{u'A', 1}, {u'T', 2}}),
    };
}

// Step lessons at speeds of their own: two at 10/5 WPM, one at 20 WPM (stretching nothing).
QList<LessonRecord> FreeLessons() {
    using M = LessonRecord::Mode;
    QList<LessonRecord> lessons{
        Lesson(Utc(2026, 12, 6, 13), M::Step, 45, 10, 6, u"AAAAAKKKKK"_s, {{u'A', 4}}),
        Lesson(Utc(2026, 12, 4, 10), M::Step, 60, 4, 1, u"EEEE"_s, {{u'E', 3}}),
        Lesson(Utc(2026, 12, 5, 10), M::Step, 45, 10, 8, u"KKKKKKKKKK"_s, {{u'K', 2}})};
    lessons[0].freeSpeed = lessons[2].freeSpeed = FreeSpeed{10, 5, 0};
    lessons[1].freeSpeed = FreeSpeed{20, 25, 0};
    return lessons;
}

// An opened reader of a new history file holding the lessons.
std::unique_ptr<HistoryReader> Reader(const QList<LessonRecord>& lessons) {
    static QTemporaryDir folder;
    static int files = 0;
    const QString path = QDir(folder.path()).filePath(QString::number(++files));
    HistoryStore(path).save(lessons);
    auto reader = std::make_unique<HistoryReader>(path);
    reader->open();
    return reader;
}

template <typename T>
T* Child(const QWidget& window, const QString& name) {
    T* child = window.findChild<T*>(name);
    if (child == nullptr) {
        qFatal("no %s in the window", qPrintable(name));
    }
    return child;
}

// The first rows of a table (all of them for -1), the cells joined with '|'.
QStringList Rows(const QAbstractItemModel* model, int count = -1) {
    QStringList rows;
    const int shown = count < 0 ? model->rowCount() : qMin(count, model->rowCount());
    for (int row = 0; row < shown; ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column) {
            cells.append(model->index(row, column).data().toString());
        }
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QStringList Column(const QAbstractItemModel* model, int column) {
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row) {
        cells.append(model->index(row, column).data().toString());
    }
    return cells;
}

// Each line of the chart as "name:y,y,…".
QStringList Lines(const QChartView* view) {
    QStringList lines;
    for (QAbstractSeries* series : view->chart()->series()) {
        auto* xy = qobject_cast<QXYSeries*>(series);
        QStringList values;
        for (const QPointF& point : xy->points()) {
            values.append(QString::number(point.y()));
        }
        lines.append(xy->name() + u':' + values.join(u','));
    }
    return lines;
}

// What Qt warns of while a screen reader walks every object of the window and asks each cell
// for its headers.
QStringList AccessibilityWarnings(QWidget& window) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg) {
                warnings << text;
            }
        });
    const std::function<void(QAccessibleInterface*)> walk = [&walk](QAccessibleInterface* node) {
        for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (QAccessibleTableCellInterface* cell =
                    child ? child->tableCellInterface() : nullptr) {
                // Qt hands over new header cells that nothing owns and that only its cache
                // may delete.
                for (QAccessibleInterface* header :
                     cell->rowHeaderCells() + cell->columnHeaderCells()) {
                    QAccessible::deleteAccessibleInterface(
                        QAccessible::registerAccessibleInterface(header));
                }
            }
            walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    qInstallMessageHandler(previous);
    return warnings;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ClickHeader(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
               header->height() / 2));
}

}  // namespace

Q_DECLARE_METATYPE(QList<LessonRecord>)

class HistoryWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Japan's time (no summer time, no time zone files needed): the tables show local time.
    void initTestCase() { qputenv("TZ", "JST-9"); }

    void figuresUnderEachFilter_data() {
        QTest::addColumn<int>("period");  // the combo's index: all, 7 days, 30 days, a year
        QTest::addColumn<int>("speed");   // all, 25, 45, 60, then the speeds of their own
        QTest::addColumn<QStringList>("accuracy");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("worstMisses");  // the miss table's first rows
        QTest::addColumn<int>("lessons");
        QTest::addColumn<bool>("free");  // with FreeLessons()

        const QString l1 = u"2025-06-01|毎分25文字|1|50.0"_s;
        const QString l2 = u"2026-11-01|毎分45文字|1|75.0"_s;
        const QString l3 = u"2026-11-20|毎分25文字|1|90.0"_s;
        const QString l5 = u"2026-12-05|毎分60文字|1|100.0"_s;
        const QString l6 = u"2026-12-06|毎分25文字|1|70.0"_s;
        QTest::newRow("everything")
            << 0 << 0 << QStringList{l1, l2, l3, l5, l6}
            << QStringList{u"毎分25文字:50,90,70"_s, u"毎分45文字:75"_s, u"毎分60文字:100"_s}
            << QStringList{u"T|5|7|71.4"_s, u"A|4|6|66.7"_s, u"E|2|9|22.2"_s, u"M|1|7|14.3"_s,
                           u"K|1|11|9.1"_s, u"O|0|9|0.0"_s,  u"S|0|9|0.0"_s,  u"B|0|0|出題なし"_s}
            << 6 << false;
        QTest::newRow("last 7 days")
            << 1 << 0 << QStringList{l5, l6} << QStringList{u"毎分25文字:70"_s, u"毎分60文字:100"_s}
            << QStringList{u"T|2|2|100.0"_s, u"A|1|2|50.0"_s, u"E|0|2|0.0"_s} << 3 << false;
        QTest::newRow("last 30 days")
            << 2 << 0 << QStringList{l3, l5, l6}
            << QStringList{u"毎分25文字:90,70"_s, u"毎分60文字:100"_s}
            << QStringList{u"T|2|2|100.0"_s, u"A|1|2|50.0"_s, u"M|1|7|14.3"_s, u"E|0|2|0.0"_s} << 4
            << false;
        QTest::newRow("last year")
            << 3 << 0 << QStringList{l2, l3, l5, l6}
            << QStringList{u"毎分25文字:90,70"_s, u"毎分45文字:75"_s, u"毎分60文字:100"_s}
            << QStringList{u"T|5|7|71.4"_s, u"A|1|2|50.0"_s, u"E|2|7|28.6"_s} << 5 << false;
        QTest::newRow("25 only") << 0 << 1 << QStringList{l1, l3, l6}
                                 << QStringList{u"毎分25文字:50,90,70"_s}
                                 << QStringList{u"T|2|2|100.0"_s, u"A|4|6|66.7"_s, u"M|1|7|14.3"_s,
                                                u"K|1|11|9.1"_s, u"E|0|4|0.0"_s}
                                 << 3 << false;
        QTest::newRow("45 only, not the speeds of their own kept as 45")
            << 0 << 2 << QStringList{l2} << QStringList{u"毎分45文字:75"_s}
            << QStringList{u"T|3|5|60.0"_s, u"E|2|5|40.0"_s, u"O|0|5|0.0"_s} << 1 << true;
        QTest::newRow("60 only: the Normal lesson is listed but never judged")
            << 0 << 3 << QStringList{l5} << QStringList{u"毎分60文字:100"_s}
            << QStringList{u"O|0|4|0.0"_s, u"S|0|4|0.0"_s, u"A|0|0|出題なし"_s} << 2 << false;
        QTest::newRow("60 in the last 7 days")
            << 1 << 3 << QStringList{l5} << QStringList{u"毎分60文字:100"_s}
            << QStringList{u"O|0|4|0.0"_s} << 2 << false;
        QTest::newRow("nothing: 45 in the last 7 days")
            << 1 << 2 << QStringList{} << QStringList{} << QStringList{} << 0 << false;
        const QString f1 = u"2026-12-05|10/5WPM|1|80.0"_s;
        const QString f2 = u"2026-12-06|10/5WPM|1|60.0"_s;
        QTest::newRow("speeds of their own: a line each, after the fixed speeds")
            << 0 << 0 << QStringList{l1, l2, l3, u"2026-12-04|20WPM|1|25.0"_s, f1, l5, l6, f2}
            << QStringList{u"毎分25文字:50,90,70"_s, u"毎分45文字:75"_s, u"毎分60文字:100"_s,
                           u"10/5WPM:80,60"_s, u"20WPM:25"_s}
            << QStringList{u"A|8|11|72.7"_s, u"T|5|7|71.4"_s, u"E|5|13|38.5"_s} << 9 << true;
        QTest::newRow("one speed of its own")
            << 0 << 4 << QStringList{f1, f2} << QStringList{u"10/5WPM:80,60"_s}
            << QStringList{u"A|4|5|80.0"_s, u"K|2|15|13.3"_s, u"B|0|0|出題なし"_s} << 2 << true;
    }
    void figuresUnderEachFilter() {
        QFETCH(int, period);
        QFETCH(int, speed);
        QFETCH(QStringList, accuracy);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, worstMisses);
        QFETCH(int, lessons);
        QFETCH(bool, free);

        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History() + (free ? FreeLessons() : QList<LessonRecord>())),
                             desktop, kNow);
        // From another filter, so that each row shows the change refilters.
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(period == 1 ? 2 : 1);
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(speed == 2 ? 1 : 2);
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(period);
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(speed);

        QCOMPARE(Rows(Child<QTableWidget>(window, u"AccuracyTable"_s)->model()), accuracy);
        QCOMPARE(Lines(Child<QChartView>(window, u"AccuracyChart"_s)), lines);
        const QAbstractItemModel* misses = Child<QTableWidget>(window, u"MissRateTable"_s)->model();
        QCOMPARE(Rows(misses, int(worstMisses.size())), worstMisses);
        QCOMPARE(misses->rowCount(), lessons == 0 ? 0 : 36);
        QCOMPARE(Child<QTableView>(window, u"LessonTable"_s)->model()->rowCount(), lessons);
        QCOMPARE(window.shownCount(), lessons);
        QCOMPARE(Child<QLabel>(window, u"EmptyNote"_s)->isVisibleTo(&window), lessons == 0);
        window.show();
        QCOMPARE(AccessibilityWarnings(window), QStringList());
    }

    // The bars are the miss table's figures for the characters that came, in the same order;
    // those that never came are named under the chart and said so in the table.
    void missChartMatchesItsTable() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        const QAbstractItemModel* table = Child<QTableWidget>(window, u"MissRateTable"_s)->model();
        QChart* chart = Child<QChartView>(window, u"MissRateChart"_s)->chart();
        QCOMPARE(chart->series().size(), 1);
        auto* bars = qobject_cast<QBarSeries*>(chart->series().first());
        QVERIFY(bars != nullptr);
        QCOMPARE(bars->count(), 1);
        QBarSet* set = bars->barSets().first();
        QCOMPARE(set->count(), 7);  // A E K M O S T
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).first());
        QCOMPARE(axis->categories(), Column(table, 0).mid(0, 7));
        for (int row = 0; row < 36; ++row) {
            QCOMPARE(row < 7 ? QString::number(set->at(row), 'f', 1) : u"出題なし"_s,
                     table->index(row, 3).data().toString());
        }
        QCOMPARE(Child<QLabel>(window, u"NeverAskedNote"_s)->text(),
                 u"出題されていない文字: "_s + Column(table, 0).mid(7).join(u' '));
        QStringList sorted = Column(table, 0);
        std::sort(sorted.begin(), sorted.end());
        QString all = kMissOrder.toString();
        std::sort(all.begin(), all.end());
        QCOMPARE(sorted.join(QString()), all);  // each letter and digit once
    }

    // The pairs of the filter's lessons, most confused first, the chart's bars the table's rows.
    void confusionsMostConfusedFirst() {
        QList<LessonRecord> lessons = History();
        lessons[4].confusions = {{{u'S', u'S'}, 6}, {{u'S', u'H'}, 2}, {{QChar(), u'E'}, 1}};
        lessons[5].confusions = {{{u'A', u'A'}, 9}, {{u'S', u'H'}, 1}, {{u'M', QChar()}, 2}};
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(lessons), desktop, kNow);
        const QAbstractItemModel* table = Child<QTableWidget>(window, u"ConfusionTable"_s)->model();
        QCOMPARE(Rows(table), (QStringList{u"S|H|3|33.3"_s, u"M|なし|2|100.0"_s, u"なし|E|1|"_s}));
        QChart* chart = Child<QChartView>(window, u"ConfusionChart"_s)->chart();
        auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).first());
        QCOMPARE(axis->categories(), (QStringList{u"S→H"_s, u"M→なし"_s, u"なし→E"_s}));
    }

    // Every axis label is whole, and the date labels name each day once, the points between
    // the first and the last.
    void chartsAreReadable_data() {
        QTest::addColumn<QList<LessonRecord>>("lessons");
        using M = LessonRecord::Mode;
        const QString all = kMissOrder.toString();
        QList<LessonRecord> week;
        for (int day = 1; day <= 5; ++day) {
            week << Lesson(Utc(2026, 12, day, 10), M::Step, 25, 36, 30, all, {{u'Q', 2}});
        }
        QTest::newRow("every character, five days") << week;
        QTest::newRow("one lesson") << week.mid(4);
        QTest::newRow("a year and a half") << History();
    }
    void chartsAreReadable() {
        QFETCH(QList<LessonRecord>, lessons);
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(lessons), desktop, kNow);
        window.show();
        for (const QString& name : {u"AccuracyChart"_s, u"MissRateChart"_s}) {
            auto* view = Child<QChartView>(window, name);
            Child<QTabWidget>(window, u"HistoryTabs"_s)->setCurrentWidget(view->parentWidget());
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCoreApplication::processEvents();
            QStringList shown;
            for (QGraphicsItem* item : view->scene()->items()) {
                if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
                    text && text->isVisible()) {
                    shown << text->toPlainText();
                }
            }
            QVERIFY2(!shown.join(u' ').contains(u"…"_s) && !shown.join(u' ').contains(u"..."_s),
                     qPrintable(shown.join(u' ')));
            for (QAbstractAxis* axis : view->chart()->axes()) {
                QVERIFY(!axis->labelsTruncated());
                if (auto* categories = qobject_cast<QBarCategoryAxis*>(axis)) {
                    for (const QString& category : categories->categories()) {
                        QVERIFY2(shown.contains(category), qPrintable(category));
                    }
                }
            }
        }
        QChart* chart = Child<QChartView>(window, u"AccuracyChart"_s)->chart();
        auto* dates = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).first());
        QSet<QDate> days;
        const qint64 from = dates->min().toMSecsSinceEpoch();
        const qint64 to = dates->max().toMSecsSinceEpoch();
        for (int tick = 0; tick < dates->tickCount(); ++tick) {
            days.insert(
                QDateTime::fromMSecsSinceEpoch(from + (to - from) * tick / (dates->tickCount() - 1))
                    .date());
        }
        QCOMPARE(days.size(), dates->tickCount());
        for (QAbstractSeries* series : chart->series()) {
            for (const QPointF& point : qobject_cast<QXYSeries*>(series)->points()) {
                QVERIFY(point.x() > from && point.x() < to);
            }
        }
    }

    void lessonListShowsTheCsvColumnsNewestFirst() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        const QAbstractItemModel* model = Child<QTableView>(window, u"LessonTable"_s)->model();
        QStringList headers;
        for (int column = 0; column < model->columnCount(); ++column) {
            headers.append(model->headerData(column, Qt::Horizontal).toString());
        }
        QCOMPARE(headers, LessonColumnTitles());
        QCOMPARE(
            Rows(model, 2),
            (QStringList{
                u"2026-12-06 21:00:00|JA1ZZZ|ステップ|25|0|ビープ|10|7|70.0|解答|A:1 T:2||なし|"_s,
                u"2026-12-05 19:00:00|JA1ZZZ|ステップ|60|0|ビープ|8|8|100.0|解答|||なし|"_s}));
        QCOMPARE(Rows(model).at(2),
                 u"2026-12-03 19:00:00|JA1ZZZ|ノーマル|60|0|ビープ|30||||Q:5||なし|"_s);
    }

    // A Normal lesson's copy is its score: 3 of the 5 characters sent heard right, a line of its
    // own beside the Step answers at that speed.
    void aCopyIsScoredAsItsOwn() {
        QList<LessonRecord> lessons = History();
        lessons[3].confusions = {{{u'Q', u'Q'}, 3}, {{u'Q', u'O'}, 2}, {{QChar(), u'E'}, 1}};
        lessons[3].band = u"QSB"_s;
        lessons[3].bandSeed = 7;
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(lessons), desktop, kNow);
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(3);  // 60
        QCOMPARE(Rows(Child<QTableWidget>(window, u"AccuracyTable"_s)->model()),
                 (QStringList{u"2026-12-03|毎分60文字（受信メモ）|1|60.0"_s,
                              u"2026-12-05|毎分60文字|1|100.0"_s}));
        QCOMPARE(Lines(Child<QChartView>(window, u"AccuracyChart"_s)),
                 (QStringList{u"毎分60文字:100"_s, u"毎分60文字（受信メモ）:60"_s}));
        QCOMPARE(
            Rows(Child<QTableView>(window, u"LessonTable"_s)->model()).at(1),
            u"2026-12-03 19:00:00|JA1ZZZ|ノーマル|60|0|ビープ|30|3|60.0|受信メモ|Q:5|Q→O:2 なし→E:1|QSB|7"_s);
    }

    // Counts are labelled at whole numbers, in at most five steps, the largest in the last.
    void countTicksAreWhole_data() {
        QTest::addColumn<int>("most");
        for (const int most : {1, 3, 9, 23, 60, 1001}) {
            QTest::addRow("%d", most) << most;
        }
    }
    void countTicksAreWhole() {
        QFETCH(int, most);
        ConfusionPanel panel;
        panel.showConfusions({{{u'A', u'B'}, most}});
        auto* axis = qobject_cast<QValueAxis*>(
            Child<QChartView>(panel, u"ConfusionChart"_s)->chart()->axes(Qt::Vertical).first());
        const double step = axis->tickInterval();
        QVERIFY(step >= 1 && step == std::round(step) && axis->tickAnchor() == 0);
        QVERIFY(axis->min() == 0 && std::fmod(axis->max(), step) == 0 && axis->max() / step <= 5);
        QVERIFY(axis->max() >= most && axis->max() - step < most);
    }

    void lessonListSortsByClickedHeader_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("date") << int(LessonColumn::FinishedAt)
                              << QStringList{u"2025-06-01 19:00:00"_s, u"2026-11-01 19:00:00"_s,
                                             u"2026-11-20 19:00:00"_s, u"2026-12-03 19:00:00"_s,
                                             u"2026-12-05 19:00:00"_s, u"2026-12-06 21:00:00"_s};
        QTest::newRow("characters: 8 before 10")
            << int(LessonColumn::Played)
            << QStringList{u"8"_s, u"10"_s, u"10"_s, u"10"_s, u"20"_s, u"30"_s};
        QTest::newRow("accuracy: 100 last, unjudged apart")
            << int(LessonColumn::Accuracy)
            << QStringList{u"50.0"_s, u"70.0"_s, u"75.0"_s, u"90.0"_s, u"100.0"_s, QString()};
    }
    void lessonListSortsByClickedHeader() {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        window.show();
        auto* table = Child<QTableView>(window, u"LessonTable"_s);
        Child<QTabWidget>(window, u"HistoryTabs"_s)->setCurrentIndex(2);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        for (int click = 0; click < 2; ++click) {
            ClickHeader(table, column);
            QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), column);
            const bool up = table->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder;
            QCOMPARE(Column(table->model(), column), up ? ascending : descending);
        }
    }

    void exportWritesTheFilteredLessons() {
        QTemporaryDir folder;
        FakeDesktopServices desktop;
        desktop.fileToSave = QDir(folder.path()).filePath(u"out.csv"_s);
        QFile old(desktop.fileToSave);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older export");
        old.close();

        HistoryWindow window(Reader(History()), desktop, kNow);
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(2);  // 30 days
        Child<QPushButton>(window, u"ExportButton"_s)->click();

        QCOMPARE(desktop.suggestedSaveName, u"成績履歴-20261208.csv"_s);
        QCOMPARE(FileBytes(desktop.fileToSave), LessonsCsv(History().mid(2)));  // the last four
        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].text,
                 u"4 回分のレッスンを書き出しました。\n"_s + desktop.fileToSave);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{u"out.csv"_s});
    }

    // Nothing is tried, so nothing fails: no message about an empty file name either.
    void cancelledExportWritesNothing() {
        FakeDesktopServices desktop;  // fileToSave empty: the user cancels
        HistoryWindow window(Reader(History()), desktop, kNow);
        Child<QPushButton>(window, u"ExportButton"_s)->click();
        QCOMPARE(desktop.suggestedSaveName, u"成績履歴-20261208.csv"_s);
        QVERIFY(desktop.messages.isEmpty());
    }

    void unwritableFileGivesOneMessage_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("missing folder") << u"no/such/folder/out.csv"_s;
        QTest::newRow("a folder, not a file") << u"taken"_s;
    }
    void unwritableFileGivesOneMessage() {
        QFETCH(QString, relative);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(u"taken"_s));
        FakeDesktopServices desktop;
        desktop.fileToSave = QDir(folder.path()).filePath(relative);
        HistoryWindow window(Reader(History()), desktop, kNow);
        Child<QPushButton>(window, u"ExportButton"_s)->click();

        QCOMPARE(desktop.messages.size(), 1);
        QCOMPARE(desktop.messages[0].icon, DesktopServices::Icon::Critical);
        QVERIFY(desktop.messages[0].text.startsWith(u"成績履歴を書き出せませんでした。"_s));
        QVERIFY(desktop.messages[0].text.contains(desktop.fileToSave));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"taken"_s});
        QVERIFY(QFileInfo(QDir(folder.path()).filePath(u"taken"_s)).isDir());
    }

    void emptyHistoryShowsEmptyChartsAndANote() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader({}), desktop, kNow);
        window.show();
        auto* note = Child<QLabel>(window, u"EmptyNote"_s);
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(),
                 u"まだ受信練習の記録がありません。ステップ受信またはノーマル受信の練習を最後"
                 u"まで終えると、ここに成績が記録されます。"_s);
        QVERIFY(Child<QChartView>(window, u"AccuracyChart"_s)->chart()->series().isEmpty());
        QVERIFY(Child<QChartView>(window, u"MissRateChart"_s)->chart()->series().isEmpty());
        QCOMPARE(Child<QTableWidget>(window, u"AccuracyTable"_s)->rowCount(), 0);
        QCOMPARE(Child<QTableWidget>(window, u"MissRateTable"_s)->rowCount(), 0);
        QCOMPARE(Child<QTableView>(window, u"LessonTable"_s)->model()->rowCount(), 0);
        // Still an empty history under any filter, and no crash on the way.
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(1);
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(3);
        QVERIFY(note->text().startsWith(u"まだ受信練習の記録がありません。"_s));
    }

    // A filter that lets nothing through says so, and the note goes once lessons show again.
    void emptyFilterNoteComesAndGoes() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        window.show();
        auto* note = Child<QLabel>(window, u"EmptyNote"_s);
        QVERIFY(!note->isVisible());
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(1);
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(2);
        QVERIFY(note->isVisible());
        QVERIFY(!note->text().startsWith(u"まだ受信練習の記録がありません。"_s));
        Child<QComboBox>(window, u"SpeedCombo"_s)->setCurrentIndex(0);
        QVERIFY(!note->isVisible());
    }

    void titleNamesAndAccessibleNames() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        QCOMPARE(window.objectName(), u"HistoryWindow"_s);
        QCOMPARE(window.windowTitle(), u"成績履歴"_s);
        QCOMPARE(Child<QPushButton>(window, u"ExportButton"_s)->text(), u"CSVに書き出す(&E)..."_s);
        QCOMPARE(Child<QPushButton>(window, u"CloseButton"_s)->text(), u"閉じる(&X)"_s);
        // Every button and labelled filter has an access key of its own.
        QStringList keys;
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            keys << QKeySequence::mnemonic(button->text()).toString();
        }
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            keys << (label->buddy() ? QKeySequence::mnemonic(label->text()).toString() : u"-"_s);
        }
        keys.removeAll(u"-"_s);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QVERIFY(!keys.contains(QString()));
        auto* tabs = Child<QTabWidget>(window, u"HistoryTabs"_s);
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(tabs->tabText(0), u"正解率の推移"_s);
        QCOMPARE(tabs->tabText(1), u"文字別ミス率"_s);
        QCOMPARE(tabs->tabText(2), u"レッスン一覧"_s);
        QCOMPARE(tabs->tabText(3), u"聞き違い"_s);
        QCOMPARE(tabs->tabText(4), u"送信"_s);
        const QStringList periods{u"すべて"_s, u"過去7日"_s, u"過去30日"_s, u"過去1年"_s};
        const QStringList speeds{u"すべての速度"_s, u"毎分25文字"_s, u"毎分45文字"_s,
                                 u"毎分60文字"_s};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(Child<QComboBox>(window, u"PeriodCombo"_s)->itemText(i), periods[i]);
            QCOMPARE(Child<QComboBox>(window, u"SpeedCombo"_s)->itemText(i), speeds[i]);
        }
        // The filters by their labels, not by the value chosen.
        for (const auto& [name, label, value] :
             {std::tuple{u"PeriodCombo"_s, u"期間"_s, periods[0]},
              std::tuple{u"SpeedCombo"_s, u"速度"_s, speeds[0]}}) {
            auto* combo = QAccessible::queryAccessibleInterface(Child<QComboBox>(window, name));
            QCOMPARE(combo->text(QAccessible::Name), label);
            QCOMPARE(combo->text(QAccessible::Value), value);
        }
        for (const QString& name :
             {u"PeriodCombo"_s, u"SpeedCombo"_s, u"HistoryTabs"_s, u"AccuracyChart"_s,
              u"AccuracyTable"_s, u"MissRateChart"_s, u"MissRateTable"_s, u"LessonTable"_s,
              u"ConfusionChart"_s, u"ConfusionTable"_s, u"SendingChart"_s, u"SendingTable"_s,
              u"SendingReportButton"_s, u"ExportButton"_s, u"CloseButton"_s}) {
            QVERIFY2(!Child<QWidget>(window, name)->accessibleName().isEmpty(), qPrintable(name));
        }
    }

    // The sending practices are read when their tab is chosen, under the period chosen, newest
    // first; a row's report opens from the keyboard.
    void sendingPracticesListedAndOpened() {
        std::unique_ptr<HistoryReader> reader = Reader(History());
        HistoryStore store(reader->path());
        for (const double wpm : {12.0, 18.5}) {
            const FistReport report{
                wpm, 65, {100, 1, 0.1}, {80, 2.8, 0.3}, {150, 1.1, 0.2}, {40, 2.6, 0.5}, {}, {},
                {},  {}};
            const QDateTime at = wpm < 18 ? Utc(2026, 11, 1, 10) : Utc(2026, 12, 6, 12);
            QVERIFY(SaveSendingSession(store, {0, at, u"模写送信"_s, 48, 45, 48, 92, report}).ok);
        }
        FakeDesktopServices desktop;
        HistoryWindow window(std::move(reader), desktop, kNow);
        auto* table = Child<QTableWidget>(window, u"SendingTable"_s);
        QCOMPARE(table->rowCount(), 0);
        window.show();
        Child<QTabWidget>(window, u"HistoryTabs"_s)->setCurrentIndex(4);
        const QString december = u"2026-12-06 21:00|模写送信|48|18.5|2.8|1.1|2.6|—|92.0（45/48）"_s;
        QCOMPARE(Rows(table->model()),
                 (QStringList{december,
                              u"2026-11-01 19:00|模写送信|48|12.0|2.8|1.1|2.6|—|92.0（45/48）"_s}));
        QCOMPARE(Lines(Child<QChartView>(window, u"SendingChart"_s)),
                 (QStringList{u"速度(WPM):12,18.5"_s, u"長点:短点:2.8,2.8"_s}));
        Child<QComboBox>(window, u"PeriodCombo"_s)->setCurrentIndex(1);
        QCOMPARE(Rows(table->model()), QStringList{december});

        table->setFocus();
        table->setCurrentCell(0, 0);
        QTest::keyClick(table, Qt::Key_Return);
        auto* report = window.findChild<FistReportWindow*>();
        QVERIFY(report != nullptr && report->isVisible());
        QCOMPARE(report->table()->item(0, 1)->text(), u"18.5 WPM（短点 65 ms）"_s);
        QCOMPARE(AccessibilityWarnings(window), QStringList());
    }

    // Five practices of one sitting spread over the chart, labelled by the time of day.
    void aSittingOfSendingPracticesIsSpreadOut() {
        QList<SendingSession> sessions;
        for (int minute = 0; minute <= 40; minute += 10) {  // oldest first, as they are read
            const QDateTime at = Utc(2026, 12, 6, 12).addSecs(60 * minute);
            sessions << SendingSession{0, at, u"模写送信"_s, 48, 45, 48, 92, {}};
        }
        SendingPanel panel;
        panel.showSessions(sessions, {});
        auto* axis = qobject_cast<QDateTimeAxis*>(
            Child<QChartView>(panel, u"SendingChart"_s)->chart()->axes(Qt::Horizontal).first());
        QCOMPARE(axis->format(), u"HH:mm"_s);
        const double shown = double(axis->min().msecsTo(axis->max()));
        QVERIFY(40 * 60000.0 / shown >= 0.8);  // the practices take most of the width
    }

    // Tab goes filters, tab bar, the shown tab's table, buttons and round; arrow keys change
    // the tab; Esc closes.
    void keyboardAlone() {
        FakeDesktopServices desktop;
        HistoryWindow window(Reader(History()), desktop, kNow);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* tabs = Child<QTabWidget>(window, u"HistoryTabs"_s);
        const auto focusedName = [] {
            QWidget* focused = QApplication::focusWidget();
            if (focused == nullptr) {
                return QString();
            }
            return qobject_cast<QTabBar*>(focused) ? u"tab bar"_s : focused->objectName();
        };
        const auto tabThrough = [&](Qt::KeyboardModifiers modifiers) {
            QStringList visited{focusedName()};
            for (int step = 0; step < 7; ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
                visited.append(focusedName());
            }
            return visited;
        };
        const QStringList forward{u"PeriodCombo"_s, u"SpeedCombo"_s,    u"BandCombo"_s,
                                  u"tab bar"_s,     u"AccuracyTable"_s, u"ExportButton"_s,
                                  u"CloseButton"_s, u"PeriodCombo"_s};
        QCOMPARE(tabThrough(Qt::NoModifier), forward);
        QStringList backward = forward;
        std::reverse(backward.begin(), backward.end());
        QCOMPARE(tabThrough(Qt::ShiftModifier), backward);

        for (const auto& [index, table] :
             {std::pair{1, u"MissRateTable"_s}, std::pair{2, u"LessonTable"_s},
              std::pair{3, u"ConfusionTable"_s}, std::pair{4, u"SendingTable"_s}}) {
            for (int step = 0; step < 3; ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(focusedName(), u"tab bar"_s);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            QCOMPARE(tabs->currentIndex(), index);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedName(), table);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedName(), u"PeriodCombo"_s);
        }

        // A filter chosen with the arrow keys refilters as a click does.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(Child<QComboBox>(window, u"PeriodCombo"_s)->currentIndex(), 1);
        QCOMPARE(window.shownCount(), 3);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(HistoryWindowTest)
#include "test_history_window.moc"
