// copy_bench: aligning a long question with its copy, as a Normal lesson's end does.
#include <QElapsedTimer>
#include <QList>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>

#include "core/kit/CopyAlignment.h"

namespace {

constexpr QStringView kKoch = u"KMURESNAPTLWIJZFOYVG5Q92H38B47C1D60X";

// Groups of five, a space between them, `length` characters in all.
QString Question(int length, QRandomGenerator& random) {
    QString question;
    while (question.size() < length) {
        question += question.size() % 6 == 5 ? QChar(u' ') : kKoch[random.bounded(kKoch.size())];
    }
    return question;
}

// The question as a learner copies it: one character in ten heard as another, left out or
// doubled.
QString Copy(const QString& question, QRandomGenerator& random) {
    QString copy;
    for (const QChar c : question) {
        switch (random.bounded(30)) {
            case 0:
                copy += kKoch[random.bounded(kKoch.size())];
                break;
            case 1:
                break;
            case 2:
                copy += c;
                copy += c;
                break;
            default:
                copy += c;
        }
    }
    return copy;
}

}  // namespace

int main() {
    QRandomGenerator random(20261208);
    for (const int length : {200, 2000, 4000}) {
        const QString question = Question(length, random);
        const QString copy = Copy(question, random);
        QList<double> runs;
        int distance = 0;
        for (int run = 0; run < 21; ++run) {
            QElapsedTimer timer;
            timer.start();
            distance = AlignCopy(question, copy).distance;
            runs << double(timer.nsecsElapsed()) / 1e6;
        }
        std::sort(runs.begin(), runs.end());
        std::printf(
            "align a %d-character question with its copy (distance %d, 21 runs): "
            "median %.2f ms, max %.2f ms%s\n",
            length, distance, runs[runs.size() / 2], runs.back(),
            length == 2000 ? " (target <= 20 ms)" : "");
    }
    return 0;
}
