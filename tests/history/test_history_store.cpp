// The lesson history's store: its schema made on first use and migrated from an older one,
// lessons kept exactly, and files it cannot use (locked, read-only, corrupt, newer) refused
// cleanly, never overwritten; two trainers writing at once both keep their lessons.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <thread>

#include "core/history/HistoryReader.h"
#include "core/history/LessonsCsv.h"
#include "core/history/SendingHistory.h"
#include "core/kit/LessonState.h"

using namespace Qt::StringLiterals;

namespace {

LessonRecord StepLesson(int minute) {
    LessonRecord lesson;
    lesson.finishedAt = QDateTime(QDate(2026, 12, 1), QTime(20, minute), Qt::UTC);
    lesson.peer = u"JA1AAA"_s;
    lesson.speed = 45;
    lesson.fineAdjust = -3;
    lesson.sound = u"wav"_s;
    lesson.played = 25;
    lesson.correct = 22;
    lesson.question = u"KMURE SNAPT LWIJZ FOYVG 5Q92H"_s;
    lesson.misses[10] = 2;  // K
    lesson.misses[35] = 1;  // 0
    lesson.confusions = {
        {{u'K', u'K'}, 3}, {{u'K', u'R'}, 2}, {{u'0', QChar()}, 1}, {{QChar(), u','}, 1}};
    return lesson;
}

// Runs statements on the file through a connection of the test's own.
class RawFile {
  public:
    explicit RawFile(const QString& path) {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
        database.setDatabaseName(path);
        database.open();
    }
    ~RawFile() {
        QSqlDatabase::database(u"raw"_s).close();
        QSqlDatabase::removeDatabase(u"raw"_s);
    }
    bool run(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(u"raw"_s));
        return query.exec(sql);
    }
    int version() {
        QSqlQuery query(QSqlDatabase::database(u"raw"_s));
        return query.exec(u"PRAGMA user_version"_s) && query.next() ? query.value(0).toInt() : -1;
    }
};

SendingSession Sending(int day) {
    std::vector<int> bins(FistReport::kBins, 0);
    bins[4] = 120;
    bins[FistReport::kBins - 1] = 2;
    const FistReport report{18.5,
                            64.875,
                            {120, 1, 0.125},
                            {80, 2.75, 0.25},
                            {},
                            {40, 2.5, 0.5},
                            {},
                            {{u"Q"_s, 2, 0.3125}, {u"[AR]"_s, 1, 0.25}},
                            bins,
                            bins};
    const std::optional<double> score = day == 3 ? std::nullopt : std::optional<double>(93.75);
    const QDateTime at(QDate(2026, 12, day), QTime(11, 30), Qt::UTC);
    return {0, at, u"模写送信"_s, 48, 45, day, score, report};
}

// Every field but the key, the report's through its table (its figures to two places).
QStringList Fields(const SendingSession& session) {
    QStringList fields{
        session.finishedAt.toString(Qt::ISODate), session.mode,
        QString::number(session.charactersKeyed), QString::number(*session.right),
        QString::number(*session.tries),          QString::number(session.score.value_or(-1))};
    for (const FistReportRow& row : FistReportRows(session.report)) {
        fields.append(row.value);
    }
    return fields;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(LessonRecord)

class HistoryStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString path(const QString& name = u"history.sqlite"_s) const {
        return QDir(m_folder.path()).filePath(name);
    }

  private slots:
    void init() {
        for (const QString& name : QDir(m_folder.path()).entryList(QDir::Files)) {
            QFile::remove(QDir(m_folder.path()).filePath(name));
        }
    }

    void aMissingFileIsAnEmptyHistory() {
        HistoryStore::Outcome outcome;
        QVERIFY(HistoryStore(path()).load(&outcome).isEmpty());
        QVERIFY(outcome.ok);
        QVERIFY(!QFile::exists(path()));  // reading makes nothing
    }

    void theFirstLessonMakesTheFileAndItsFolder() {
        const QString nested = QDir(m_folder.path()).filePath(u"a/b/history.sqlite"_s);
        HistoryStore store(nested);
        QVERIFY(store.save(StepLesson(1)).ok);
        QVERIFY(QFile::exists(nested));
        RawFile raw(nested);
        QCOMPARE(raw.version(), HistoryStore::kSchemaVersion);
    }

    void lessonsComeBackAsTheyWereStored_data() {
        QTest::addColumn<LessonRecord>("lesson");
        QTest::newRow("Step, with letter and digit misses") << StepLesson(5);
        LessonRecord normal = StepLesson(6);
        normal.mode = LessonRecord::Mode::Normal;
        normal.correct.reset();
        normal.misses = {};
        normal.sound = u"beep"_s;
        QTest::newRow("Normal: no correct count") << normal;
        LessonRecord odd = StepLesson(7);
        odd.peer = u"JA1'; DROP TABLE lessons; --"_s;
        odd.question = u"Ａ\"B'\nC"_s;
        odd.correct = 0;
        odd.fineAdjust = 20;
        QTest::newRow("text that must stay text") << odd;
        LessonRecord free = StepLesson(8);
        free.speed = 60;
        free.freeSpeed = FreeSpeed{25, 4, 1.5};
        QTest::newRow("a speed of its own") << free;
        LessonRecord band = StepLesson(8);
        band.band = u"SNR 6dB QSB 0.3Hz"_s;
        band.bandSeed = 18446744073709551615ULL;  // beyond the database's signed integers
        QTest::newRow("under band conditions, the largest seed") << band;
    }
    void lessonsComeBackAsTheyWereStored() {
        QFETCH(LessonRecord, lesson);
        HistoryStore store(path());
        QVERIFY(store.save(lesson).ok);
        const QList<LessonRecord> loaded = store.load();
        QCOMPARE(loaded.size(), 1);
        const LessonRecord& back = loaded[0];
        QVERIFY(back.id > 0);
        QCOMPARE(back.finishedAt, lesson.finishedAt);
        QCOMPARE(back.peer, lesson.peer);
        QCOMPARE(back.mode, lesson.mode);
        QCOMPARE(back.speed, lesson.speed);
        QCOMPARE(back.fineAdjust, lesson.fineAdjust);
        QCOMPARE(back.sound, lesson.sound);
        QCOMPARE(back.played, lesson.played);
        QCOMPARE(back.correct, lesson.correct);
        QCOMPARE(back.question, lesson.question);
        QVERIFY(back.misses == lesson.misses);
        QVERIFY(back.confusions == lesson.confusions);
        QCOMPARE(back.freeSpeed, lesson.freeSpeed);
        QCOMPARE(back.band, lesson.band);
        QCOMPARE(back.bandSeed, lesson.bandSeed);
        HistoryReader reader(path());
        QVERIFY(reader.open().ok);
        const HistoryFilter withBand{{}, {}, true};
        QCOMPARE(reader.lessonCount(withBand), lesson.band.isEmpty() ? 0 : 1);
        QCOMPARE(reader.lessons(withBand, {}, 0, 10).size(), lesson.band.isEmpty() ? 0 : 1);
        // The window's page reads the columns by place: every field must come back there too.
        const QList<LessonRecord> page = reader.lessons({}, {}, 0, 10);
        QCOMPARE(page.size(), 1);
        QVERIFY(page[0].misses == lesson.misses);
        QVERIFY(page[0].confusions == lesson.confusions);
        QCOMPARE(page[0].freeSpeed, lesson.freeSpeed);
        QCOMPARE(page[0].band, lesson.band);
        QCOMPARE(page[0].bandSeed, lesson.bandSeed);
    }

    void lessonsComeBackInTimeOrder() {
        HistoryStore store(path());
        for (int minute : {30, 10, 20}) {
            QVERIFY(store.save(StepLesson(minute)).ok);
        }
        QList<int> minutes;
        for (const LessonRecord& lesson : store.load()) {
            minutes << lesson.finishedAt.time().minute();
        }
        QCOMPARE(minutes, (QList<int>{10, 20, 30}));
    }

    // An older program's file keeps its lessons, and its running totals are made from them.
    void anOlderFileIsMigratedWithItsLessons_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("question");
        QTest::newRow("version 1: no questions kept") << 1 << QString();
        QTest::newRow("version 2") << 2 << u"QQ qk"_s;
    }
    void anOlderFileIsMigratedWithItsLessons() {
        QFETCH(int, version);
        QFETCH(QString, question);
        {
            RawFile raw(path());
            QVERIFY(raw.run(
                u"CREATE TABLE lessons (id INTEGER PRIMARY KEY, finished_at TEXT NOT NULL, "
                "peer TEXT NOT NULL, mode TEXT NOT NULL, speed INTEGER NOT NULL, "
                "fine_adjust INTEGER NOT NULL, sound TEXT NOT NULL, played INTEGER NOT NULL, "
                "correct INTEGER)"_s));
            QVERIFY(
                raw.run(u"CREATE TABLE misses (lesson_id INTEGER NOT NULL, character TEXT NOT "
                        "NULL, count INTEGER NOT NULL, PRIMARY KEY (lesson_id, character))"_s));
            QVERIFY(
                raw.run(u"INSERT INTO lessons VALUES (1, '2026-11-01T08:00:00.000Z', "
                        "'JA9OLD', 'step', 25, 10, 'beep', 10, 7)"_s));
            QVERIFY(raw.run(u"INSERT INTO misses VALUES (1, 'Q', 3)"_s));
            QVERIFY(version == 1 || raw.run(u"ALTER TABLE lessons ADD COLUMN question TEXT NOT "
                                            "NULL DEFAULT '%1'"_s.arg(question)));
            QVERIFY(raw.run(u"PRAGMA user_version = %1"_s.arg(version)));
        }
        HistoryStore store(path());
        QVERIFY(store.save(StepLesson(1)).ok);
        const QList<LessonRecord> loaded = store.load();
        QCOMPARE(loaded.size(), 2);
        QCOMPARE(loaded[0].peer, u"JA9OLD"_s);
        QCOMPARE(loaded[0].fineAdjust, -10);  // kept as the value then, as the speed's change now
        QCOMPARE(loaded[0].correct, std::optional<int>(7));
        QCOMPARE(loaded[0].misses[16], 3);  // Q
        QCOMPARE(loaded[0].question, question);
        QCOMPARE(loaded[1].question, StepLesson(1).question);
        QVERIFY(loaded[0].confusions.empty());
        QVERIFY(loaded[1].confusions == StepLesson(1).confusions);
        RawFile raw(path());
        QCOMPARE(raw.version(), HistoryStore::kSchemaVersion);
        HistoryReader reader(path());
        QVERIFY(reader.open().ok);
        const HistoryFilter november{u"2026-11-01"_s, 25, false};
        QCOMPARE(reader.lessonCount(november), 1);
        QCOMPARE(reader.dailyAccuracy(november).constFirst().percent, 70.0);
        const QList<CharacterMisses> rates = reader.missRates(november);
        QCOMPARE(rates.constFirst().character, u'Q');  // 3 misses of 2 plays, or of none
        QCOMPARE(rates.constFirst().played, question.count(u'Q', Qt::CaseInsensitive));
        QCOMPARE(rates[1].played, question.count(u'K', Qt::CaseInsensitive));
    }

    // Version 6 kept its totals by day and speed alone: they are counted afresh from the lessons,
    // a speed of its own apart from the fixed speed it was kept as.
    // Each character of the longest questions is counted, and the Normal lessons' copies too.
    void aVersion6FileCountsSpeedsOfTheirOwnApart() {
        LessonRecord free = StepLesson(2);
        free.freeSpeed = FreeSpeed{10, 5, 0};
        LessonRecord longest = StepLesson(3);
        longest.speed = 25;
        longest.question = QString(kLongestQuestion, u'k');
        LessonRecord copied = StepLesson(4);
        copied.mode = LessonRecord::Mode::Normal;
        copied.speed = 25;
        QVERIFY(HistoryStore(path()).save({StepLesson(1), free, longest, longest, copied}).ok);
        {
            RawFile raw(path());
            QVERIFY(raw.run(u"DROP TABLE days"_s) && raw.run(u"CREATE TABLE days (day, speed)"_s));
            // As a file of then has them: no copy score in a column of its own.
            QVERIFY(raw.run(u"UPDATE lessons SET copy_sent = NULL, copy_right = NULL"_s));
            QVERIFY(raw.run(u"PRAGMA user_version = 6"_s));
        }
        HistoryReader reader(path());
        QVERIFY(reader.open().ok);
        QCOMPARE(reader.freeSettings(), QStringList{u"10/5/0"_s});
        for (const QString& setting : {u""_s, u"10/5/0"_s}) {
            const HistoryFilter filter{{}, 45, {}, setting};
            QCOMPARE(reader.dailyAccuracy(filter).constFirst().percent, 88.0);
            QVERIFY(reader.confusions(filter) == StepLesson(1).confusions);
        }
        QCOMPARE(reader.missRates({{}, 25, {}}).constFirst().played, 2 * kLongestQuestion);
        // The copy: 3 of the 6 characters sent (K, 0) heard right.
        const DayAccuracy copy = reader.dailyAccuracy({{}, 25, {}, u""_s}).constLast();
        QVERIFY(copy.copy && copy.lessons == 1 && copy.percent == 50.0);
        // The list sorts the copy by its score (50 % before the Step lessons' 88 %), and reads
        // it with the Step lessons' scores in one column.
        const QList<LessonRecord> byAccuracy =
            reader.lessons({}, {int(LessonColumn::Accuracy), Qt::AscendingOrder}, 0, 10);
        QCOMPARE(byAccuracy.size(), 5);
        QCOMPARE(byAccuracy.constFirst().mode, LessonRecord::Mode::Normal);
        const QList<LessonRecord> byScoring =
            reader.lessons({}, {int(LessonColumn::Scoring), Qt::DescendingOrder}, 0, 10);
        QCOMPARE(byScoring.constFirst().mode, LessonRecord::Mode::Normal);  // copy 2, Step 1
    }

    // A file that names a version but lacks a table it should have is told as damaged, with the
    // table, and kept aside when a lesson comes.
    void aFileWithoutItsTablesIsToldSo_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("missing");
        QTest::newRow("the current version, no tables")
            << HistoryStore::kSchemaVersion << u"lessons"_s;
        QTest::newRow("version 4 without its pairs") << 4 << u"confusions"_s;
    }
    void aFileWithoutItsTablesIsToldSo() {
        QFETCH(int, version);
        QFETCH(QString, missing);
        {
            RawFile raw(path());
            for (const QString& table :
                 {u"lessons"_s, u"misses"_s, u"days"_s, u"day_characters"_s}) {
                QVERIFY(version == HistoryStore::kSchemaVersion ||
                        raw.run(u"CREATE TABLE %1 (a)"_s.arg(table)));
            }
            QVERIFY(raw.run(u"PRAGMA user_version = %1"_s.arg(version)));
        }
        HistoryReader reader(path());
        const HistoryStore::Outcome outcome = reader.open();
        QCOMPARE(outcome.error,
                 u"ファイルが壊れています（成績履歴の表 %1 がありません）"_s.arg(missing));
        const HistoryStore::Outcome saved = HistoryStore(path()).save(StepLesson(1));
        QVERIFY(saved.ok && !saved.keptAside.isEmpty());
    }

    // Sending practices: a file of the version before them keeps its lessons and takes them.
    void sendingPracticesComeBackOldestFirstUnderThePeriod_data() {
        QTest::addColumn<bool>("olderFile");  // of the version before, holding a lesson
        QTest::addColumn<QString>("fromDay");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QList<int>>("days");
        QTest::newRow("all, into an older file") << true << QString() << 10 << QList<int>{3, 5, 6};
        QTest::newRow("from the 5th") << false << u"2026-12-05"_s << 10 << QList<int>{5, 6};
        QTest::newRow("the newest two") << false << QString() << 2 << QList<int>{5, 6};
    }
    void sendingPracticesComeBackOldestFirstUnderThePeriod() {
        QFETCH(bool, olderFile);
        QFETCH(QString, fromDay);
        QFETCH(int, limit);
        QFETCH(QList<int>, days);
        HistoryStore store(path());
        HistoryStore::Outcome outcome;
        if (olderFile) {
            QVERIFY(store.save(StepLesson(1)).ok);
            RawFile raw(path());
            QVERIFY(raw.run(u"DROP TABLE sending_sessions"_s));
            QVERIFY(raw.run(u"PRAGMA user_version = 7"_s));
            QVERIFY(ReadSendingSessions(path(), {}, 10, &outcome).isEmpty() && outcome.ok);
        }
        for (const int day : {6, 3, 5}) {
            QVERIFY(SaveSendingSession(store, Sending(day)).ok);
        }
        const QList<SendingSession> sessions =
            ReadSendingSessions(path(), fromDay, limit, &outcome);
        QVERIFY(outcome.ok);
        QCOMPARE(sessions.size(), days.size());
        for (qsizetype i = 0; i < days.size(); ++i) {
            QCOMPARE(Fields(sessions[i]), Fields(Sending(days[i])));
            QCOMPARE(sessions[i].report.gapHistogram, Sending(days[i]).report.gapHistogram);
        }
        QCOMPARE(store.load().size(), olderFile ? 1 : 0);
    }

    void aLockedFileFailsCleanlyAndIsWrittenOnceFree() {
        HistoryStore store(path(), 100);
        QVERIFY(store.save(StepLesson(1)).ok);
        {
            RawFile other(path());
            QVERIFY(other.run(u"BEGIN EXCLUSIVE"_s));
            const HistoryStore::Outcome outcome = store.save(StepLesson(2));
            QVERIFY(!outcome.ok);
            QCOMPARE(outcome.error, u"ほかのプログラムが使用中です"_s);
            QVERIFY(outcome.keptAside.isEmpty());
            other.run(u"ROLLBACK"_s);
        }
        QVERIFY(store.save(StepLesson(3)).ok);
        QCOMPARE(store.load().size(), 2);
    }

    void aReadOnlyFileIsNotWritten() {
        if (::geteuid() == 0) {
            QSKIP("file permissions do not bind root");
        }
        HistoryStore store(path());
        QVERIFY(store.save(StepLesson(1)).ok);
        QFile::setPermissions(path(), QFile::ReadOwner);
        const HistoryStore::Outcome outcome = store.save(StepLesson(2));
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.contains(u"書き込めません"_s), qPrintable(outcome.error));
        QCOMPARE(store.load().size(), 1);
    }

    void aPlaceThatCannotHoldTheFileIsReported_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("a folder where the file should be") << u"taken"_s;
        QTest::newRow("a file where the folder should be") << u"plain/history.sqlite"_s;
    }
    void aPlaceThatCannotHoldTheFileIsReported() {
        QFETCH(QString, relative);
        QDir(m_folder.path()).mkpath(u"taken"_s);
        QFile plain(path(u"plain"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const HistoryStore::Outcome outcome = HistoryStore(path(relative)).save(StepLesson(1));
        QVERIFY(!outcome.ok);
        QVERIFY(!outcome.error.isEmpty());
        QVERIFY(QFileInfo(path(u"taken"_s)).isDir());
        QCOMPARE(plain.size(), 0);
        QDir(path(u"taken"_s)).removeRecursively();
    }

    void aCorruptFileIsKeptAsideAndANewOneMade_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("these are my notes, not a database\n").repeated(200);
        QByteArray header("SQLite format 3\0", 16);
        QTest::newRow("a database header, then rubbish") << header + QByteArray(8192, '\xA5');
    }
    void aCorruptFileIsKeptAsideAndANewOneMade() {
        QFETCH(QByteArray, content);
        {
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        HistoryStore store(path());
        HistoryStore::Outcome read;
        QVERIFY(store.load(&read).isEmpty());
        QVERIFY(!read.ok);
        QCOMPARE(Bytes(path()), content);  // reading leaves it as it is

        const HistoryStore::Outcome outcome = store.save(StepLesson(1));
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QVERIFY(!outcome.keptAside.isEmpty());
        QVERIFY(outcome.keptAside.startsWith(path() + u".corrupt-"_s));
        QCOMPARE(Bytes(outcome.keptAside), content);
        QCOMPARE(store.load().size(), 1);
    }

    void aFileOfANewerProgramIsLeftAlone() {
        {
            RawFile raw(path());
            QVERIFY(raw.run(u"CREATE TABLE future (x)"_s));
            QVERIFY(raw.run(u"PRAGMA user_version = %1"_s.arg(HistoryStore::kSchemaVersion + 1)));
        }
        const QByteArray before = Bytes(path());
        const HistoryStore::Outcome outcome = HistoryStore(path()).save(StepLesson(1));
        QVERIFY(!outcome.ok);
        QVERIFY(outcome.error.contains(u"新しい版"_s));
        QCOMPARE(Bytes(path()), before);
    }

    void twoTrainersWritingAtOnceKeepEveryLesson() {
        constexpr int kEach = 20;
        const auto trainer = [this](int first) {
            HistoryStore store(path(), 10000);
            for (int i = 0; i < kEach; ++i) {
                LessonRecord lesson = StepLesson((first + i) % 60);
                lesson.peer = first == 0 ? u"ONE"_s : u"TWO"_s;
                store.save(lesson);
            }
        };
        std::thread one(trainer, 0);
        std::thread two(trainer, 30);
        one.join();
        two.join();
        const QList<LessonRecord> loaded = HistoryStore(path()).load();
        QCOMPARE(loaded.size(), 2 * kEach);
        QSet<qint64> ids;
        int fromOne = 0;
        for (const LessonRecord& lesson : loaded) {
            ids.insert(lesson.id);
            fromOne += lesson.peer == u"ONE"_s ? 1 : 0;
        }
        QCOMPARE(ids.size(), 2 * kEach);
        QCOMPARE(fromOne, kEach);
    }
};

QTEST_GUILESS_MAIN(HistoryStoreTest)
#include "test_history_store.moc"
