// What the trainer keeps of its lessons and what it says when the history fails: every lesson
// played to its end survives the end of the program, and a locked, full or damaged file is told
// once, in Japanese, with nothing dropped without a word.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include "core/history/HistoryStore.h"
#include "core/kit/LinkState.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/lesson/LessonUi.h"

using namespace Qt::StringLiterals;

namespace {

struct Rig {
    TestContext context;
    MainForm form{context.context()};
    HistoryStore& store = form.lessonHistory().store();

    Rig() { form.ui().Speed60_Option->setChecked(true); }
    QList<LessonRecord> kept() const { return HistoryStore(context.historyPath()).load(); }
    // A Step lesson of three characters, two right, as the window shows it at its end.
    void finishLesson() {
        form.ui().StepMode_Option->setChecked(true);
        ShowPlayedCount(form.ui(), form.lesson(), 3);
        ShowCorrectCount(form.ui(), form.lesson(), 2);
        form.link().receivedQuestion = u"ABC"_s;
        form.lessonHistory().LessonFinished();
    }
    QStringList messages() const {
        QStringList texts;
        for (const auto& message : context.desktop.messages) {
            texts << message.text;
        }
        return texts;
    }
};

// Another program's transaction on the file, held while it lives.
struct Lock {
    explicit Lock(const QString& path) {
        QSqlDatabase database = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"lock"_s);
        database.setDatabaseName(path);
        database.open();
        QSqlQuery(database).exec(u"BEGIN EXCLUSIVE"_s);
    }
    ~Lock() {
        QSqlDatabase::database(u"lock"_s).close();
        QSqlDatabase::removeDatabase(u"lock"_s);
    }
};

}  // namespace

class LessonHistoryTest : public QObject {
    Q_OBJECT

  private slots:
    // The window closed while the model answer waits or shows, or while the result shows.
    void lessonsPlayedToTheirEndOutliveTheProgram_data() {
        QTest::addColumn<bool>("step");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("window");  // closed while this shows; none: the answer's wait
        QTest::newRow("Normal, the model answer's wait") << false << u"EE"_s << QString();
        QTest::newRow("Normal, the model answer window")
            << false << QString(70, u'E') << u"AnswerQuestionForm"_s;
        QTest::newRow("Step, the result window") << true << u"E"_s << u"ResultForm"_s;
    }
    void lessonsPlayedToTheirEndOutliveTheProgram() {
        QFETCH(bool, step);
        QFETCH(QString, question);
        QFETCH(QString, window);
        Rig r;
        r.form.ui().StudentOption->setChecked(true);
        (step ? r.form.ui().StepMode_Option : r.form.ui().NormalMode_Option)->setChecked(true);
        r.form.link().receivedQuestion = question;
        ShowMainButton(r.form.ui(), r.form.lesson(), MainButtonNamed(u"スタート"_s));
        r.form.ui().StartButton_Command->setEnabled(true);
        const LessonAnswerer answerer(r.form, r.context.clock);
        const WhenShown close(r.context.clock, window, [&r](QWidget*) { r.form.close(); });
        std::function<void()> atTheEnd = [&] {
            if (r.form.ui().StartButton_Command->text() == u"次の問題"_s) {
                r.form.close();
            } else {
                r.context.clock.scheduleAt(r.context.clock.now() + 50, atTheEnd);
            }
        };
        if (window.isEmpty()) {
            atTheEnd();
        }
        r.form.ui().StartButton_Command->click();
        AwaitLesson(r.form, r.context.clock);
        QVERIFY(r.context.clock.quitting());
        QCOMPARE(r.kept().size(), 1);
        QCOMPARE(r.kept()[0].played, question.size());
    }

    // Lessons the file cannot take wait for a later write; only what the end cannot write is
    // lost, and said so.
    void faultsAreToldOnceAndNothingDroppedSilently_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("mendedBeforeTheLast");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QStringList>("told");
        const QString notNow = u"この練習を成績履歴に記録できませんでした（%1）。"_s;
        const QString lost = u"成績履歴に記録できなかった練習 3 回分は"_s;
        QTest::newRow("locked, then free")
            << u"locked"_s << true << 3
            << QStringList{notNow.arg(u"ほかのプログラムが使用中です"_s)};
        QTest::newRow("locked to the end")
            << u"locked"_s << false << 0
            << QStringList{notNow.arg(u"ほかのプログラムが使用中です"_s), lost};
        QTest::newRow("full, then room")
            << u"full"_s << true << 3 << QStringList{notNow.arg(u"ディスクがいっぱいです"_s)};
        QTest::newRow("full to the end")
            << u"full"_s << false << 0
            << QStringList{notNow.arg(u"ディスクがいっぱいです"_s), lost};
    }
    void faultsAreToldOnceAndNothingDroppedSilently() {
        QFETCH(QString, fault);
        QFETCH(bool, mendedBeforeTheLast);
        QFETCH(int, kept);
        QFETCH(QStringList, told);
        Rig r;
        r.form.lessonHistory().finishCheck();
        r.store.setBusyTimeoutMs(50);
        auto lock = fault == u"locked"_s ? std::make_unique<Lock>(r.store.path()) : nullptr;
        r.store.setMaxPageCount(fault == u"full"_s ? 1 : 0);  // no room for the tables
        r.finishLesson();
        r.finishLesson();
        if (mendedBeforeTheLast) {
            lock.reset();
            r.store.setMaxPageCount(0);
        }
        r.finishLesson();
        QCOMPARE(r.form.lessonHistory().unsaved().size(), 3 - kept);
        r.form.close();
        lock.reset();
        QCOMPARE(r.kept().size(), kept);
        QCOMPARE(r.messages().size(), told.size());
        for (qsizetype i = 0; i < told.size(); ++i) {
            QVERIFY2(r.messages()[i].startsWith(told[i]), qPrintable(r.messages()[i]));
        }
    }

    // A page damaged where no write reaches is found as the program starts: the file is moved
    // aside, the user told once, and the next lesson begins a new one.
    void aDamagedPageIsFoundAtTheStart() {
        TestContext context;
        const QString path = context.historyPath();
        QList<LessonRecord> many;
        for (int i = 0; i < 200; ++i) {
            LessonRecord lesson;
            lesson.finishedAt = QDateTime(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC).addDays(i);
            lesson.played = 100;
            lesson.correct = 90;
            lesson.question = QString(100, u'K');
            many << lesson;
        }
        QVERIFY(HistoryStore(path).save(many).ok);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() > 12 * 4096);
        file.seek(8 * 4096);
        file.write(QByteArray(4096, '\xA5'));
        file.close();
        QVERIFY(!HistoryStore(path).checkIntegrity().ok);

        MainForm form(context.context());
        form.lessonHistory().finishCheck();
        QCOMPARE(context.desktop.messages.size(), 1);
        QVERIFY(context.desktop.messages[0].text.contains(u"壊れていたため"_s));
        QCOMPARE(QDir(context.currentDir.path()).entryList({u"history.sqlite.corrupt-*"_s}).size(),
                 1);
        form.ui().StepMode_Option->setChecked(true);
        ShowPlayedCount(form.ui(), form.lesson(), 3);
        form.lessonHistory().LessonFinished();
        QCOMPARE(HistoryStore(path).load().size(), 1);
        QCOMPARE(context.desktop.messages.size(), 1);
    }
};

QTEST_MAIN(LessonHistoryTest)
#include "test_lesson_history.moc"
