// history_bench: storing one lesson in a history of 10,000, and opening the history window on
// 10,000 stored lessons (read, figures, charts, tables, shown). Prints the figures.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimeZone>
#include <algorithm>
#include <cstdio>

#include "history/HistoryStore.h"
#include "history/HistoryWindow.h"
#include "support/TestContext.h"

namespace {

constexpr int kLessons = 10000;

LessonRecord Lesson(int i, QRandomGenerator& random) {
    LessonRecord lesson;
    lesson.finishedAt =
        QDateTime(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC).addSecs(qint64(i) * 1800);
    lesson.peer = QStringLiteral("PARTNER");
    lesson.speed = std::array{25, 45, 60}[random.bounded(3)];
    lesson.sound = QStringLiteral("wav");
    lesson.played = 25;
    lesson.question = QStringLiteral("KMURE SNAPT LWIJZ FOYVG 5Q92H");
    int missed = 0;
    for (int m = 0; m < 3; ++m) {
        ++lesson.misses[random.bounded(36)];
        ++missed;
    }
    lesson.correct = lesson.played - missed;
    return lesson;
}

double Percentile(QList<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min<qsizetype>(values.size() - 1, qsizetype(share * values.size()))];
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("history.sqlite"));
    HistoryStore store(path);
    QRandomGenerator random(20261208);

    // Filling the history is part of the figures: every lesson is one transaction.
    QList<double> saves;
    QElapsedTimer timer;
    for (int i = 0; i < kLessons; ++i) {
        const LessonRecord lesson = Lesson(i, random);
        timer.start();
        if (!store.save(lesson).ok) {
            std::printf("saving failed at lesson %d\n", i);
            return 1;
        }
        saves << timer.nsecsElapsed() / 1e6;
    }
    const QList<double> last(saves.end() - 1000, saves.end());
    std::printf("store one lesson (10,000 in a row, one transaction each, %s):\n",
                qPrintable(QFileInfo(folder.path()).absolutePath()));
    std::printf("  all:        median %.2f ms, p99 %.2f ms, max %.2f ms\n", Percentile(saves, 0.5),
                Percentile(saves, 0.99), Percentile(saves, 1.0));
    std::printf("  last 1000:  median %.2f ms, p99 %.2f ms (target <= 5 ms)\n",
                Percentile(last, 0.5), Percentile(last, 0.99));
    std::printf("  file: %.1f MB\n", QFileInfo(path).size() / 1e6);

    FakeDesktopServices desktop;
    desktop.now = QDateTime(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    QList<double> loads;
    QList<double> opens;
    for (int run = 0; run < 5; ++run) {
        timer.start();
        QList<LessonRecord> lessons = store.load();
        const double loaded = timer.nsecsElapsed() / 1e6;
        HistoryWindow window(std::move(lessons), desktop, desktop.now);
        window.show();
        QCoreApplication::processEvents();
        opens << timer.nsecsElapsed() / 1e6;
        loads << loaded;
    }
    std::printf("open the history window on %d lessons (read, build, show; 5 runs):\n", kLessons);
    std::printf("  read:  median %.1f ms\n", Percentile(loads, 0.5));
    std::printf("  total: median %.1f ms, max %.1f ms (target <= 300 ms)\n", Percentile(opens, 0.5),
                Percentile(opens, 1.0));
    return 0;
}
