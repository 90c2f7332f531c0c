// quillstart-partner: a practice partner that sets the questions over the trainer's link.
#include <QCoreApplication>
#include <QTextStream>
#include <QTime>
#include <cstdio>

#include "common/RealClock.h"
#include "partner/PartnerLink.h"
#include "partner/PartnerOptions.h"
#include "partner/PartnerSession.h"
#include "partner/QuestionSource.h"

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
    PartnerSession session(options->callsign, questions, options->composeMs);
    PartnerLink link(clock, session, options->ports);
    QTextStream out(stdout);
    bool linked = false;
    QObject::connect(&link, &PartnerLink::event, [&out, &linked](const QString& line) {
        linked = linked || line.startsWith(QStringLiteral("connected"));
        out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' ' << line
            << Qt::endl;
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
