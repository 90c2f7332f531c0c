// The practice partner's logic without sockets: the questions it makes, what it answers to each
// message of the trainer, and its command line.
#include <sys/stat.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "core/partner/PartnerOptions.h"
#include "core/partner/PartnerSession.h"
#include "core/partner/QuestionSource.h"
#include "support/VirtualClock.h"

using namespace Qt::StringLiterals;

namespace {

QuestionSource::Settings Koch(int characters, quint32 seed = 1) {
    QuestionSource::Settings settings;
    settings.kochCharacters = characters;
    settings.seed = seed;
    return settings;
}

// The sends of a reaction as "type:payload@delay".
QStringList Sends(const PartnerSession::Reaction& reaction) {
    QStringList sends;
    for (const PartnerSession::Send& send : reaction.sends) {
        sends << u"%1:%2@%3"_s.arg(send.type).arg(send.payload).arg(send.delayMs);
    }
    return sends;
}

// A file for --file, kept until the test program ends.
QString TextFile(const QString& name, const QByteArray& bytes) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}

std::optional<PartnerOptions> Parse(const QStringList& arguments, QString* error) {
    QString help;
    return ParsePartnerOptions(QStringList{u"quillstart-partner"_s} + arguments, error, &help);
}

}  // namespace

class PartnerLogicTest : public QObject {
    Q_OBJECT

  private slots:
    void kochGroupsUseOnlyTheTaughtCharacters_data() {
        QTest::addColumn<int>("characters");
        QTest::newRow("lesson 2: K and M") << 2;
        QTest::newRow("lesson 10") << 10;
        QTest::newRow("all 36") << 36;
    }
    void kochGroupsUseOnlyTheTaughtCharacters() {
        QFETCH(int, characters);
        QuestionSource source(Koch(characters));
        const QSet<QChar> taught = [characters] {
            QSet<QChar> set;
            for (const QChar c : QuestionSource::kKochOrder.left(characters)) {
                set.insert(c);
            }
            return set;
        }();
        QSet<QChar> seen;
        for (int question = 0; question < 200; ++question) {
            const QStringList groups = source.next().split(u' ');
            QCOMPARE(groups.size(), 5);
            for (const QString& group : groups) {
                QCOMPARE(group.size(), 5);
                for (const QChar c : group) {
                    QVERIFY2(taught.contains(c), qPrintable(group));
                    seen.insert(c);
                }
            }
        }
        QCOMPARE(seen, taught);  // and every one of them comes up
    }

    void theKochOrderIsTheUsualOne() {
        QCOMPARE(QuestionSource::kKochOrder.toString(), u"KMURESNAPTLWIJZFOYVG5Q92H38B47C1D60X"_s);
        QCOMPARE(QSet<QChar>(QuestionSource::kKochOrder.begin(), QuestionSource::kKochOrder.end())
                     .size(),
                 36);
    }

    void theSameSeedRepeatsTheQuestions() {
        QuestionSource one(Koch(10, 42));
        QuestionSource again(Koch(10, 42));
        QuestionSource other(Koch(10, 43));
        const QStringList first{one.next(), one.next(), one.next()};
        QCOMPARE((QStringList{again.next(), again.next(), again.next()}), first);
        QVERIFY((QStringList{other.next(), other.next(), other.next()}) != first);
    }

    void callsignGroupsLookLikeCallsigns() {
        QuestionSource::Settings settings = Koch(10);
        settings.kind = QuestionSource::Kind::Callsigns;
        settings.groups = 3;
        QuestionSource source(settings);
        static const QRegularExpression shape(u"^([A-Z]{1,2}|[0-9][A-Z])[0-9][A-Z]{1,3}$"_s);
        for (int i = 0; i < 100; ++i) {
            const QStringList calls = source.next().split(u' ');
            QCOMPARE(calls.size(), 3);
            for (const QString& call : calls) {
                QVERIFY2(shape.match(call).hasMatch(), qPrintable(call));
            }
        }
    }

    void linesComeInOrderAndRoundAgain() {
        QuestionSource::Settings settings;
        settings.kind = QuestionSource::Kind::Lines;
        settings.words = {u"CQ CQ"_s, u"DE JA1ABC"_s};
        QuestionSource source(settings);
        QCOMPARE(source.next(), u"CQ CQ"_s);
        QCOMPARE(source.next(), u"DE JA1ABC"_s);
        QCOMPARE(source.next(), u"CQ CQ"_s);
    }

    void wordsAreDrawnFromTheFile() {
        QuestionSource::Settings settings;
        settings.kind = QuestionSource::Kind::Words;
        settings.words = {u"PARIS"_s, u"TEST"_s};
        settings.groups = 4;
        QuestionSource source(settings);
        const QStringList words = source.next().split(u' ');
        QCOMPARE(words.size(), 4);
        for (const QString& word : words) {
            QVERIFY(settings.words.contains(word));
        }
    }

    // --- the exchange ---

    void aLessonAsTheSetterRunsIt() {
        QuestionSource source(Koch(2, 7));
        QuestionSource expected(Koch(2, 7));
        VirtualClock clock;
        PartnerSession session(u"PARTNER"_s, source, 1500, clock);
        QCOMPARE(Sends(session.linkUp()), QStringList{u"0:PARTNER@0"_s});
        // The learner's callsign: the partner sets the questions, the learner answers.
        QCOMPARE(Sends(session.received(u'0', u"JA1ABC"_s)), QStringList{u"2:S@150"_s});
        QVERIFY(Sends(session.received(u'2', u"T"_s)).isEmpty());
        // Ready: composing, the question after the composing time, then "sent".
        const QString question = expected.next();
        QCOMPARE(Sends(session.received(u'7', u"1"_s)),
                 (QStringList{u"6:1@0"_s, u"5:%1@1500"_s.arg(question), u"6:2@150"_s}));
        // Ready again before the test: the question is still waiting.
        QVERIFY(Sends(session.received(u'7', u"1"_s)).isEmpty());
        QVERIFY(Sends(session.received(u'7', u"2"_s)).isEmpty());
        QCOMPARE(session.received(u'7', u"3"_s).events, QStringList{u"test finished"_s});
        // The next ready gets the next question; an aborted test goes on the same way.
        QCOMPARE(Sends(session.received(u'7', u"1"_s)).value(1),
                 u"5:%1@1500"_s.arg(expected.next()));
        session.received(u'7', u"2"_s);
        QCOMPARE(session.received(u'7', u"4"_s).events, QStringList{u"test aborted"_s});
        QCOMPARE(Sends(session.received(u'7', u"1"_s)).size(), 3);
    }

    void theLearnerTakingTheSetterRoleIsTakenBack() {
        QuestionSource source(Koch(2));
        VirtualClock clock;
        PartnerSession session(u"PARTNER"_s, source, 0, clock);
        QCOMPARE(Sends(session.received(u'2', u"S"_s)), QStringList{u"2:S@150"_s});
    }

    void cwChatIsMirroredOnceAndAnswered() {
        QuestionSource source(Koch(2));
        VirtualClock clock;
        PartnerSession session(u"JA9PRT"_s, source, 0, clock);
        session.received(u'0', u"JA1ABC"_s);
        QCOMPARE(Sends(session.received(u'3', u"1"_s)), QStringList{u"3:1@150"_s});
        QVERIFY(Sends(session.received(u'3', u"1"_s)).isEmpty());  // the trainer's echo ends
        const QStringList reply = Sends(session.received(u'9', u"cq de ja2xyz k"_s));
        QCOMPARE(reply, QStringList{u"9:JA2XYZ DE JA9PRT GM TNX FER CALL UR 599 599 BK@1500"_s});
        QCOMPARE(session.cwReply(u"73 SK"_s), u"JA1ABC DE JA9PRT TNX FER QSO 73 TU"_s);
    }

    // Keyed characters come one message each; the reply waits for the end of the run.
    void keyedCharactersAreAnsweredAsOneLine() {
        QuestionSource source(Koch(2));
        VirtualClock clock;
        PartnerSession session(u"JA9PRT"_s, source, 0, clock);
        session.received(u'0', u"JA1ABC"_s);
        for (const QChar c : u"CQ"_s) {
            QVERIFY(Sends(session.received(u'9', QString(c))).isEmpty());
        }
        const PartnerSession::Reaction reaction = session.received(u'8', u"2"_s);
        QCOMPARE(reaction.events.value(0), u"CW received: CQ"_s);
        QCOMPARE(Sends(reaction).size(), 1);
    }

    // Echo: one group a CW chat line, judged whether typed back or keyed one character a message.
    void echoGroupsAreJudgedOneByOne() {
        QuestionSource source(Koch(4, 5));
        QuestionSource expected(Koch(4, 5));
        VirtualClock clock;
        PartnerSession session(u"JA9PRT"_s, source, 0, clock);
        session.setEcho(true);
        session.received(u'0', u"JA1ABC"_s);
        const QString first = expected.nextGroup();
        QCOMPARE(Sends(session.received(u'3', u"1"_s)),
                 (QStringList{u"3:1@150"_s, u"9:%1@1500"_s.arg(first)}));
        const QString second = expected.nextGroup();
        QCOMPARE(Sends(session.received(u'9', first.toLower().insert(2, u' '))),
                 (QStringList{u"9:R@1500"_s, u"9:%1@1000"_s.arg(second)}));
        for (const QChar c : second.left(4)) {
            session.received(u'9', QString(c));
        }
        const PartnerSession::Reaction wrong = session.received(u'8', u"2"_s);
        QCOMPARE(Sends(wrong), (QStringList{u"9:?@1500"_s, u"9:%1@1000"_s.arg(second)}));
        QVERIFY(wrong.events.value(0).endsWith(u"(1 of 2 right)"_s));
        // Keyed as long as the group, it is judged at its last character (a line typed as one
        // character has no end of the run).
        for (const QChar c : second.left(4)) {
            QVERIFY(Sends(session.received(u'9', QString(c))).isEmpty());
        }
        QCOMPARE(Sends(session.received(u'9', second.right(1))).value(0), u"9:R@1500"_s);
    }

    // --- the command line ---

    void defaults() {
        QString error;
        const auto options = Parse({}, &error);
        QVERIFY(options);
        QVERIFY(options->listen);
        QCOMPARE(options->ports.tcp, quint16(10010));
        QCOMPARE(options->ports.listenerUdp, quint16(10012));
        QCOMPARE(options->ports.connectorUdp, quint16(10013));
        QCOMPARE(options->questions.kochCharacters, 10);
        QCOMPARE(options->questions.groups, 5);
        QCOMPARE(options->callsign, u"PARTNER"_s);
        QVERIFY(!options->drill);
        QVERIFY(!options->echo);
        QVERIFY(Parse({u"--echo"_s}, &error)->echo);
        // The trainer writes the course file only once the learner moves on.
        QVERIFY(Parse({u"--course"_s, u"/nonexistent/koch-course.txt"_s}, &error));
    }

    void wrongOptionsSayWhatIsWrong_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown option") << QStringList{u"--colour"_s} << u"colour"_s;
        QTest::newRow("koch too small") << QStringList{u"--koch"_s, u"1"_s} << u"2 to 36"_s;
        QTest::newRow("koch not a number") << QStringList{u"--koch"_s, u"ten"_s} << u"'ten'"_s;
        QTest::newRow("port") << QStringList{u"--port"_s, u"70000"_s} << u"1 to 65535"_s;
        QTest::newRow("source") << QStringList{u"--source"_s, u"morse"_s} << u"'morse'"_s;
        QTest::newRow("words without a file")
            << QStringList{u"--source"_s, u"words"_s} << u"need --file"_s;
        QTest::newRow("missing file")
            << QStringList{u"--source"_s, u"lines"_s, u"--file"_s, u"/nonexistent/q.txt"_s}
            << u"cannot read /nonexistent/q.txt"_s;
        QTest::newRow("listen and connect")
            << QStringList{u"--listen"_s, u"--connect"_s, u"1.2.3.4"_s} << u"exclude"_s;
        QTest::newRow("connect to nothing") << QStringList{u"--connect"_s, u""_s} << u"empty"_s;
        QTest::newRow("a file of white space")
            << QStringList{u"--source"_s, u"words"_s, u"--file"_s,
                           TextFile(u"blank.txt"_s, " \t\r\n\t\xE3\x80\x80\n")}
            << u"holds no words"_s;
        const QString fifo = TextFile(u"pipe.txt"_s, {}) + u".fifo"_s;
        mkfifo(QFile::encodeName(fifo).constData(), 0600);
        QTest::newRow("a FIFO") << QStringList{u"--source"_s, u"lines"_s, u"--file"_s, fifo}
                                << u"not a regular file"_s;
        QTest::newRow("long callsign")
            << QStringList{u"--callsign"_s, u"ABCDEFGHIJKLM"_s} << u"1 to 12"_s;
        QTest::newRow("stray argument") << QStringList{u"extra"_s} << u"'extra'"_s;
        QTest::newRow("a history without the drill")
            << QStringList{u"--history"_s, u"h.sqlite"_s} << u"goes with --drill"_s;
        QTest::newRow("the drill of callsigns")
            << QStringList{u"--drill"_s, u"--source"_s, u"calls"_s} << u"--source koch"_s;
        QTest::newRow("an empty course") << QStringList{u"--course"_s, u""_s} << u"empty"_s;
        QTest::newRow("a course FIFO")
            << QStringList{u"--course"_s, fifo} << u"not a regular file"_s;
        QTest::newRow("a band with a space") << QStringList{u"--band"_s, u" 3"_s} << u"--band"_s;
        QTest::newRow("a band seed with a space")
            << QStringList{u"--band"_s, u"3,seed=5 "_s} << u"--band"_s;
    }
    void wrongOptionsSayWhatIsWrong() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        QString error;
        QVERIFY(!Parse(arguments, &error));
        QVERIFY2(error.contains(says), qPrintable(error));
        QVERIFY(!error.contains(u'\n'));  // one line
    }

    void aFileOfLines() {
        const QString path = TextFile(u"q.txt"_s, "CQ CQ\n\nDE JA1ABC\n");
        QString error;
        const auto options = Parse({u"--source"_s, u"lines"_s, u"--file"_s, path}, &error);
        QVERIFY2(options, qPrintable(error));
        QCOMPARE(options->questions.words, (QStringList{u"CQ CQ"_s, u"DE JA1ABC"_s}));
    }

    void helpExplainsEveryOption() {
        QString error;
        QString help;
        QVERIFY(!ParsePartnerOptions({u"quillstart-partner"_s, u"--help"_s}, &error, &help));
        for (const char* option :
             {"--listen", "--connect", "--port", "--listener-udp", "--connector-udp", "--callsign",
              "--source", "--koch", "--groups", "--group-size", "--file", "--seed", "--compose-ms",
              "--echo"}) {
            QVERIFY2(help.contains(QString::fromLatin1(option)), option);
        }
    }
};

QTEST_GUILESS_MAIN(PartnerLogicTest)
#include "test_partner_logic.moc"
