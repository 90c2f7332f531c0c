#pragma once

#include <QString>
#include <optional>

#include "core/kit/CopyAlignment.h"
#include "core/kit/OwnFile.h"

// A Koch course: the characters in the order they are taught, and how many of them the learner
// has (at least two). The practice partner draws its groups from them; the trainer moves the
// learner on when the newest is mastered, and the learner may go back or choose a level.
struct KochCourse {
    // The 36 letters and digits in the order the Koch method teaches them.
    // A view of an array of its own (see kMissOrder).
    static constexpr char16_t kKochOrderText[] = u"KMURESNAPTLWIJZFOYVG5Q92H38B47C1D60X";
    static constexpr QStringView kKochOrder = kKochOrderText;
    static constexpr int kFirstLevel = 2;

    QString order = kKochOrder.toString();
    int level = kFirstLevel;

    QString taught() const { return order.left(level); }
    QChar newest() const { return order.at(level - 1); }
    bool atEnd() const { return level >= order.size(); }
    // The level brought within the order.
    void setLevel(int wanted);
};

// The course is kept in a small file beside the history, which the partner reads before every
// question; a missing or unreadable file, or anything but a course file, is the first level of
// the Koch order. The file is written only as the program's own files are (see OwnFile).
QString KochCoursePath(const QString& historyPath);
KochCourse LoadKochCourse(const QString& path);
OwnFile::Access SaveKochCourse(const QString& path, const KochCourse& course);
// What a course file is called where a write was refused.
inline const QString kKochCourseFile = QStringLiteral("Kochコースのファイル");

// Another order from a text file: letters and digits, each once, at least two; white space
// between them is ignored, lower case counts as upper. Nothing and a Japanese reason otherwise.
std::optional<QString> ParseKochOrder(const QString& text, QString* error);

// Whether the learner is ready for the next character, over the recent lessons' pairs: at least
// 90 % of all characters sent heard right, and at least 90 % of the newest one over at least 20
// of its occurrences.
struct KochGate {
    static constexpr int kRecentLessons = 10;
    static constexpr double kPercent = 90;
    static constexpr int kOccurrences = 20;

    int sent = 0;
    int right = 0;
    int newestSent = 0;
    int newestRight = 0;

    double overallPercent() const { return sent > 0 ? 100.0 * right / sent : 0; }
    double newestPercent() const { return newestSent > 0 ? 100.0 * newestRight / newestSent : 0; }
    bool ready() const;
};
KochGate JudgeKochGate(const ConfusionCounts& recent, QChar newest);

// What the learner reads of the course: "段階 5（K M U R E）" and what the next level needs.
QString KochLevelText(const KochCourse& course);
QString KochNeedText(const KochCourse& course, const KochGate& gate);
