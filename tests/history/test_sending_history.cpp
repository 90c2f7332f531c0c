// Sending practices in the lesson history: a file of the version before them keeps its lessons
// and takes them; a practice comes back as it was stored, under the period and limit asked.
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "history/SendingHistory.h"

using namespace Qt::StringLiterals;

namespace {

SendingSession Session(int day) {
    SendingSession session;
    session.finishedAt = QDateTime(QDate(2026, 12, day), QTime(11, 30), Qt::UTC);
    session.mode = u"模写送信"_s;
    session.charactersKeyed = 48;
    session.right = 45;
    session.tries = day;
    session.score = day == 3 ? std::nullopt : std::optional<double>(93.75);
    FistReport& report = session.report;
    report.wpm = 18.5;
    report.dotMs = 64.875;
    report.dot = {120, 1, 0.125};
    report.dash = {80, 2.75, 0.25};
    report.elementGap = {150, 1.125, 0.5};
    report.characterGap = {40, 2.5, 0.5};
    report.furthestOff = {{u"Q"_s, 2, 0.3125}, {u"[AR]"_s, 1, 0.25}};
    report.markHistogram.assign(FistReport::kBins, 0);
    report.markHistogram[4] = 120;
    report.markHistogram[11] = 80;
    report.gapHistogram.assign(FistReport::kBins, 0);
    report.gapHistogram[FistReport::kBins - 1] = 2;
    return session;
}

bool Same(const TimingFigure& a, const TimingFigure& b) {
    return a.count == b.count && a.units == b.units && a.spread == b.spread;
}

void CompareSessions(const SendingSession& got, const SendingSession& stored) {
    QVERIFY(got.id > 0);
    QCOMPARE(got.finishedAt, stored.finishedAt);
    QCOMPARE(got.mode, stored.mode);
    QCOMPARE(got.charactersKeyed, stored.charactersKeyed);
    QCOMPARE(got.right, stored.right);
    QCOMPARE(got.tries, stored.tries);
    QCOMPARE(got.score, stored.score);
    const FistReport& a = got.report;
    const FistReport& b = stored.report;
    QCOMPARE(a.wpm, b.wpm);
    QCOMPARE(a.dotMs, b.dotMs);
    QVERIFY(Same(a.dot, b.dot) && Same(a.dash, b.dash) && Same(a.elementGap, b.elementGap));
    QVERIFY(Same(a.characterGap, b.characterGap) && Same(a.wordGap, b.wordGap));
    QCOMPARE(a.furthestOff.size(), b.furthestOff.size());
    for (std::size_t i = 0; i < a.furthestOff.size(); ++i) {
        QCOMPARE(a.furthestOff[i].text, b.furthestOff[i].text);
        QCOMPARE(a.furthestOff[i].count, b.furthestOff[i].count);
        QCOMPARE(a.furthestOff[i].deviation, b.furthestOff[i].deviation);
    }
    QVERIFY(a.markHistogram == b.markHistogram && a.gapHistogram == b.gapHistogram);
}

}  // namespace

class TestSendingHistory : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    int m_files = 0;
    QString newPath() { return QDir(m_folder.path()).filePath(QString::number(++m_files)); }

  private slots:
    void aFileOfTheVersionBeforeKeepsItsLessonsAndTakesSessions() {
        const QString path = newPath();
        HistoryStore store(path);
        LessonRecord lesson;
        lesson.finishedAt = QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC);
        lesson.peer = u"JA1OLD"_s;
        QVERIFY(store.save(lesson).ok);
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery query(raw);
            QVERIFY(query.exec(u"DROP TABLE sending_sessions"_s));
            QVERIFY(query.exec(u"PRAGMA user_version = 7"_s));
        }
        QSqlDatabase::removeDatabase(u"raw"_s);
        HistoryStore::Outcome outcome;
        QVERIFY(ReadSendingSessions(path, {}, 10, &outcome).isEmpty());
        QVERIFY(outcome.ok);

        QVERIFY(SaveSendingSession(store, Session(6)).ok);
        const QList<LessonRecord> lessons = store.load();
        QCOMPARE(lessons.size(), 1);
        QCOMPARE(lessons[0].peer, u"JA1OLD"_s);
        const QList<SendingSession> sessions = ReadSendingSessions(path, {}, 10, &outcome);
        QVERIFY(outcome.ok);
        QCOMPARE(sessions.size(), 1);
        CompareSessions(sessions[0], Session(6));
    }

    void sessionsComeBackOldestFirstUnderThePeriod_data() {
        QTest::addColumn<QString>("fromDay");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<int>>("days");
        QTest::newRow("all") << QString() << 10 << QList<int>{3, 5, 6};
        QTest::newRow("from the 5th") << u"2026-12-05"_s << 10 << QList<int>{5, 6};
        QTest::newRow("the newest two") << QString() << 2 << QList<int>{5, 6};
    }
    void sessionsComeBackOldestFirstUnderThePeriod() {
        QFETCH(QString, fromDay);
        QFETCH(int, limit);
        QFETCH(QList<int>, days);
        const QString path = newPath();
        HistoryStore store(path);
        for (const int day : {6, 3, 5}) {
            QVERIFY(SaveSendingSession(store, Session(day)).ok);
        }
        const QList<SendingSession> sessions = ReadSendingSessions(path, fromDay, limit);
        QCOMPARE(sessions.size(), days.size());
        for (qsizetype i = 0; i < days.size(); ++i) {
            CompareSessions(sessions[i], Session(days[i]));
        }
    }
};

QTEST_GUILESS_MAIN(TestSendingHistory)
#include "test_sending_history.moc"
