// history_bench: a history of 250,000 lessons, as a learner who kept at it for years would have:
// storing one more lesson, the whole-file check at start-up, and opening 成績履歴 through its
// menu entry, idle and beside busy loops, with the resident memory it takes; and an older
// program's file of the longest questions brought up to date. Prints the figures.
//
//   history_bench [--lessons N] [--busy N]
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "BusyLoops.h"
#include "core/history/HistoryReader.h"
#include "core/history/HistoryStore.h"
#include "core/kit/LessonState.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/app/MainFormUi.h"
#include "ui/history/HistoryWindow.h"

namespace {

// The first 20 characters of the Koch order, as a learner meets them over the years.
const QString kKoch = QStringLiteral("KMURESNAPTLWI.JZ=FOY");

LessonRecord Lesson(qint64 i, QRandomGenerator& random) {
    LessonRecord lesson;
    // One every ten minutes, about four and a half years in all, ending before the bench's now.
    lesson.finishedAt = QDateTime(QDate(2022, 6, 1), QTime(8, 0), Qt::UTC).addSecs(i * 600);
    lesson.peer = QStringLiteral("PARTNER");
    lesson.mode = random.bounded(5) == 0 ? LessonRecord::Mode::Normal : LessonRecord::Mode::Step;
    lesson.speed = std::array{25, 45, 60}[random.bounded(3)];
    // One lesson in eight at a speed of its own, one of two settings.
    if (i % 8 == 7) {
        lesson.freeSpeed = i % 16 == 7 ? FreeSpeed{20, 10, 0} : FreeSpeed{30, 0, 3};
        lesson.speed = NearestFixedSpeed(*lesson.freeSpeed);
    }
    lesson.fineAdjust = 5 * (random.bounded(9) - 4);
    lesson.sound = QStringLiteral("wav");
    const int groups = 10 + random.bounded(31);
    for (int g = 0; g < groups; ++g) {
        if (g > 0) {
            lesson.question += u' ';
        }
        for (int c = 0; c < 5; ++c) {
            lesson.question += kKoch[random.bounded(kKoch.size())];
        }
    }
    lesson.played = groups * 5;
    if (lesson.mode == LessonRecord::Mode::Step) {
        int missed = 0;
        for (const QChar c : lesson.question) {
            const qsizetype index = kMissOrder.indexOf(c);
            if (index >= 0 && random.bounded(10) == 0) {
                ++lesson.misses[std::size_t(index)];
                ++missed;
            }
        }
        lesson.correct = lesson.played - missed;
    }
    // What was heard for what was sent: one character in ten heard as another or not at all.
    for (const QChar c : lesson.question) {
        if (c == u' ') {
            continue;
        }
        const int fault = random.bounded(20);
        const QChar heard = fault == 0   ? QChar()
                            : fault == 1 ? kKoch[random.bounded(kKoch.size())]
                                         : c;
        ++lesson.confusions[{c, heard}];
    }
    return lesson;
}

// An older program's file (schema version 6, its totals kept by day and speed alone) holding
// these Step lessons of one long question each, brought up to date as the window opens it.
double MigrateMs(const QString& path, int lessons, int questionLength) {
    QList<LessonRecord> kept;
    for (int i = 0; i < lessons; ++i) {
        LessonRecord lesson;
        lesson.finishedAt = QDateTime(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC).addSecs(i * 600);
        lesson.question = QString(questionLength, kKoch[i % kKoch.size()]);
        lesson.played = questionLength;
        lesson.correct = questionLength;
        kept << lesson;
    }
    HistoryStore(path).save(kept);
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), path);
        database.setDatabaseName(path);
        database.open();
        QSqlQuery query(database);
        for (const char* statement :
             {"DROP TABLE days", "CREATE TABLE days (day, speed)", "PRAGMA user_version = 6"}) {
            query.exec(QString::fromLatin1(statement));
        }
    }
    QSqlDatabase::removeDatabase(path);
    QElapsedTimer timer;
    timer.start();
    HistoryReader reader(path);
    const bool opened = reader.open().ok && reader.missRates({}).constFirst().played > 0;
    return opened ? timer.nsecsElapsed() / 1e6 : -1;
}

double Percentile(QList<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min<qsizetype>(values.size() - 1, qsizetype(share * values.size()))];
}

// Resident memory of this process in MB, now (VmRSS) or at its highest (VmHWM).
double ResidentMb(const char* field = "VmRSS:") {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toDouble() /
                   1024;
        }
    }
    return -1;
}

double Ms(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

struct OpenFigures {
    double openMs = 0;
    double rssGrowthMb = 0;
};

// The menu entry as the user chooses it, until the window is on screen and painted.
OpenFigures OpenThroughMenu(MainForm& form) {
    OpenFigures figures;
    const double before = ResidentMb();
    QElapsedTimer timer;
    timer.start();
    form.ui().mnuRecordHistory->trigger();
    QCoreApplication::processEvents();
    form.historyMenu().window()->repaint();
    figures.openMs = Ms(timer);
    figures.rssGrowthMb = ResidentMb() - before;
    return figures;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("lessons"), QStringLiteral("Lessons in the history."),
                      QStringLiteral("n"), QStringLiteral("250000")});
    parser.addOption({QStringLiteral("busy"), QStringLiteral("Busy loops beside the loaded runs."),
                      QStringLiteral("n"), QStringLiteral("2")});
    parser.process(app);
    const int lessons = parser.value(QStringLiteral("lessons")).toInt();
    const int busy = parser.value(QStringLiteral("busy")).toInt();

    TestContext context;
    context.desktop.now = QDateTime(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    const QString path = context.historyPath();
    const QDir folder(context.currentDir.path());
    std::printf("migrate a schema-6 file of 20 lessons of %d characters: %.0f ms\n",
                kLongestQuestion,
                MigrateMs(folder.filePath(QStringLiteral("old-20.sqlite")), 20, kLongestQuestion));
    std::printf("migrate a schema-6 file of one lesson of 200,000 characters: %.0f ms\n",
                MigrateMs(folder.filePath(QStringLiteral("old-1.sqlite")), 1, 200000));
    HistoryStore store(path);
    QRandomGenerator random(20261208);

    QElapsedTimer timer;
    timer.start();
    constexpr int kBatch = 2000;
    for (int first = 0; first < lessons; first += kBatch) {
        QList<LessonRecord> batch;
        for (int i = first; i < std::min(lessons, first + kBatch); ++i) {
            batch << Lesson(i, random);
        }
        if (!store.save(batch).ok) {
            std::printf("saving failed at lesson %d\n", first);
            return 1;
        }
    }
    std::printf("history of %d lessons: %.1f MB, made in %.1f s (%s)\n", lessons,
                QFileInfo(path).size() / 1e6, Ms(timer) / 1000,
                qPrintable(QFileInfo(path).absolutePath()));

    timer.start();
    const HistoryStore::Outcome checked = store.checkIntegrity();
    std::printf(
        "whole-file check (PRAGMA quick_check, beside the program at start-up): %.0f ms, "
        "%s\n",
        Ms(timer), checked.ok ? "sound" : qPrintable(checked.error));

    timer.start();
    {
        HistoryReader reader(path);
        reader.open();
        reader.missRates({});
    }
    std::printf("the partner's drill weights from the whole history: %.1f ms\n", Ms(timer));

    timer.start();
    {
        HistoryReader reader(path);
        reader.open();
        reader.confusions({});
    }
    std::printf("the confusion view's pairs over the whole history: %.1f ms\n", Ms(timer));

    // The program as the user starts it, with its start-up check running beside it.
    const double atStart = ResidentMb();
    MainForm form(context.context());
    form.show();
    QCoreApplication::processEvents();
    std::printf("program started: resident %.1f MB\n", ResidentMb());
    form.lessonHistory().finishCheck();

    for (const bool loaded : {false, true}) {
        std::unique_ptr<BusyLoops> loops;
        if (loaded) {
            loops = std::make_unique<BusyLoops>(busy);
        }
        QList<double> opens;
        double growth = 0;
        for (int run = 0; run < 5; ++run) {
            const OpenFigures figures = OpenThroughMenu(form);
            opens << figures.openMs;
            growth = std::max(growth, figures.rssGrowthMb);
            form.historyMenu().window()->close();
            QCoreApplication::processEvents();
        }
        std::printf(
            "open 成績履歴 on %d lessons%s (5 runs): median %.0f ms, max %.0f ms "
            "(target < 1000 ms); resident growth at most %.1f MB\n",
            lessons, loaded ? qPrintable(QStringLiteral(" beside %1 busy loops").arg(busy)) : "",
            Percentile(opens, 0.5), Percentile(opens, 1.0), growth);
    }

    // Working the window: a speed of its own chosen and the choice undone, the oldest lessons
    // (the end of the list), a sort by accuracy, and the export of every lesson.
    OpenThroughMenu(form);
    HistoryWindow* window = form.historyMenu().window();
    auto* speeds = window->findChild<QComboBox*>(QStringLiteral("SpeedCombo"));
    timer.start();
    speeds->setCurrentIndex(speeds->count() - 1);
    window->repaint();
    std::printf("choose %s in the speed filter: %.0f ms\n", qPrintable(speeds->currentText()),
                Ms(timer));
    speeds->setCurrentIndex(0);
    auto* table = window->findChild<QTableView*>(QStringLiteral("LessonTable"));
    window->findChild<QTabWidget*>()->setCurrentIndex(2);
    QCoreApplication::processEvents();
    timer.start();
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    table->viewport()->repaint();
    std::printf("scroll the lesson list to its end: %.0f ms\n", Ms(timer));
    timer.start();
    table->sortByColumn(8, Qt::AscendingOrder);
    table->viewport()->repaint();
    std::printf("sort the lesson list by accuracy: %.0f ms\n", Ms(timer));
    context.desktop.fileToSave =
        QDir(context.currentDir.path()).filePath(QStringLiteral("all.csv"));
    timer.start();
    window->findChild<QPushButton*>(QStringLiteral("ExportButton"))->click();
    std::printf("export every lesson as CSV: %.0f ms, %.1f MB%s\n", Ms(timer),
                QFileInfo(context.desktop.fileToSave).size() / 1e6,
                std::any_of(context.desktop.messages.cbegin(), context.desktop.messages.cend(),
                            [](const auto& message) {
                                return message.icon != DesktopServices::Icon::Information;
                            })
                    ? " (failed)"
                    : "");
    // Storing one more lesson, as the end of a lesson does (one transaction each), the window
    // still open. Mostly the disk's flush of the journal: compare an empty file's.
    QList<double> saves;
    for (int i = 0; i < 200; ++i) {
        const LessonRecord lesson = Lesson(lessons + i, random);
        timer.start();
        store.save(lesson);
        saves << Ms(timer);
    }
    std::printf("store one more lesson (200 in a row): median %.2f ms, p99 %.2f ms\n",
                Percentile(saves, 0.5), Percentile(saves, 0.99));
    HistoryStore empty(QDir(context.currentDir.path()).filePath(QStringLiteral("empty.sqlite")));
    saves.clear();
    for (int i = 0; i < 50; ++i) {
        timer.start();
        empty.save(Lesson(i, random));
        saves << Ms(timer);
    }
    std::printf("  the same into a new file (50 in a row): median %.2f ms\n",
                Percentile(saves, 0.5));

    std::printf("resident: %.1f MB before the program, %.1f MB now, %.1f MB at most\n", atStart,
                ResidentMb(), ResidentMb("VmHWM:"));
    return 0;
}
