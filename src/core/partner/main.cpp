// quillstart-partner: a practice partner that sets the questions over the trainer's link.
#include <QCoreApplication>
#include <QTextStream>
#include <QTime>
#include <cstdio>

#include "core/history/HistoryReader.h"
#include "core/history/HistoryStats.h"
#include "core/history/KochCourse.h"
#include "core/kit/RealClock.h"
#include "core/link/BandRequest.h"
#include "core/partner/PartnerLink.h"
#include "core/partner/PartnerOptions.h"
#include "core/partner/PartnerSession.h"
#include "core/partner/QuestionSource.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillstart-partner"));
    QString error;
    QString help;
    const std::optional<PartnerOptions> options =
        ParsePartnerOptions(QCoreApplication::arguments(), &error, &help);
    if (!options) {
        if (!help.isEmpty()) {
            std::fputs(help.toLocal8Bit().constData(), stdout);
            return 0;
        }
        std::fprintf(stderr, "quillstart-partner: %s\n", error.toLocal8Bit().constData());
        return 2;
    }

    RealClock clock;
    QuestionSource questions(options->questions);
    QTextStream out(stdout);
    const auto print = [&out](const QString& line) {
        out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' ' << line
            << Qt::endl;
    };
    const QString historyPath =
        options->historyPath.isEmpty() ? HistoryStore::DefaultPath() : options->historyPath;
    if (options->drill) {
        // Read afresh for every question, so the lessons of this session count at once.
        questions.setWeightSource([&historyPath, &print](QStringView taught) {
            HistoryReader history(historyPath);
            HistoryStore::Outcome outcome = history.open();
            // Where copies and answers were kept pair by pair, those counts are the newer word.
            const QList<CharacterMisses> rates =
                WithCopyTallies(history.missRates({}), history.confusions({}));
            const int lessons = history.lessonCount({});
            outcome = history.failure().value_or(outcome);
            if (!outcome.ok) {
                print(QStringLiteral("drill: history unreadable (%1); equal weights")
                          .arg(outcome.error));
                return QList<double>();
            }
            const QList<double> weights = DrillWeights(rates, taught);
            QStringList shown;
            for (qsizetype i = 0; i < taught.size(); ++i) {
                shown << QStringLiteral("%1:%2").arg(taught[i]).arg(weights[i], 0, 'f', 1);
            }
            print(QStringLiteral("drill weights from %1 lessons: %2")
                      .arg(lessons)
                      .arg(shown.join(u' ')));
            return weights;
        });
    }
    if (!options->coursePath.isEmpty()) {
        questions.setTaughtSource([path = options->coursePath, &print] {
            const KochCourse course = LoadKochCourse(path);
            print(QStringLiteral("course: %1").arg(course.taught()));
            return course.taught();
        });
    }
    PartnerSession session(options->callsign, questions, options->composeMs, clock);
    session.setEcho(options->echo);
    if (options->band) {
        session.setBandRequest(BandRequestPayload(*options->band));
    }
    PartnerLink link(clock, session, options->ports);
    bool linked = false;
    QObject::connect(&link, &PartnerLink::happened, [&print, &linked](const QString& line) {
        linked = linked || line.startsWith(QStringLiteral("connected"));
        print(line);
    });
    QObject::connect(&link, &PartnerLink::finished, [&linked](const QString& why) {
        if (!linked) {
            std::fprintf(stderr, "quillstart-partner: %s\n", why.toLocal8Bit().constData());
            QCoreApplication::exit(1);
            return;
        }
        QCoreApplication::exit(0);
    });
    if (options->listen) {
        link.listen(options->listenAddress);
    } else {
        link.connectTo(options->connectHost);
    }
    return QCoreApplication::exec();
}
