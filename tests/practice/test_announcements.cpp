// What a screen-reader user hears: one short judgement for each answer, and the link's
// status and role lines, announced through a notification object that screen readers present as
// it appears, and never over the Morse.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/kit/AnnouncerPace.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/app/MainFormUi.h"
#include "ui/kit/Announcer.h"

using namespace Qt::StringLiterals;

class AnnouncementsTest : public QObject {
    Q_OBJECT

    // What was said, each text no sooner than the one before has had its time ("" if one was).
    static QStringList SaidApart(const QList<Announcer::Said>& said, QStringList texts = {}) {
        for (qsizetype i = 0; i < said.size(); ++i) {
            const bool cut = i > 0 && said[i].at < said[i - 1].at + SpeechTimeMs(said[i - 1].text);
            texts << (cut ? QString() : said[i].text);
        }
        return texts;
    }

    // The texts announced while the window shows each of texts on the label in turn.
    static QStringList AnnouncedWhileShowing(MainForm& form, QLabel* label,
                                             const QStringList& texts, bool duringCallUp) {
        Announcer& announcer = form.announcements().announcer();
        emit form.lessonController().callUpSounding(duringCallUp);
        QStringList heard;
        for (const QString& text : texts) {
            const int before = announcer.announcements();
            label->setText(text);
            // Painted, then announced from the event loop.
            label->repaint();
            QCoreApplication::processEvents();
            if (announcer.announcements() != before) {
                heard << announcer.lastAnnouncement();
            }
        }
        return heard;
    }

  private slots:
    void judgementsAndCountsAreSpoken_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("heard");
        QTest::addColumn<bool>("duringCallUp");
        QTest::newRow("a right answer, then a miss")
            << u"Label1"_s << QStringList{QString(), u"○"_s, u"K"_s}
            << QStringList{u"正解"_s, u"不正解 K"_s} << false;
        QTest::newRow("the call-up's names would cover the call-up")
            << u"Label1"_s << QStringList{u"H"_s, u"BT"_s} << QStringList{} << true;
        QTest::newRow("the same judgement twice is spoken twice")
            << u"Label1"_s << QStringList{u"○"_s, QString(), u"○"_s}
            << QStringList{u"正解"_s, u"正解"_s} << false;
        QTest::newRow("correct count")
            << u"Label2"_s << QStringList{u"0"_s, u"1"_s, u"2"_s} << QStringList{} << false;
        QTest::newRow("no count in Normal mode")
            << u"Label2"_s << QStringList{u" - "_s} << QStringList{} << false;
        QTest::newRow("played count waits for its character")
            << u"Label4"_s << QStringList{u"12"_s} << QStringList{} << false;
        QTest::newRow("status line") << u"StatusLabel"_s << QStringList{u"接続を受付けました。"_s}
                                     << QStringList{u"接続を受付けました。"_s} << false;
        QTest::newRow("role line, but not the peer's typing")
            << u"StudentLabel"_s
            << QStringList{u"JA1ABC[文字チャットモード]"_s, u"JA1ABC[文字チャットモード(入力中)]"_s,
                           u"JA1ABC[文字チャットモード]"_s, u"JA1ABC[CWチャットモード受信中]"_s}
            << QStringList{u"JA1ABC[文字チャットモード]"_s, u"JA1ABC[CWチャットモード受信中]"_s}
            << false;
    }
    void judgementsAndCountsAreSpoken() {
        QFETCH(QString, label);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, heard);
        QFETCH(bool, duringCallUp);
        TestContext context;
        MainForm form(context.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(AnnouncedWhileShowing(form, form.findChild<QLabel*>(label), shown, duringCallUp),
                 heard);
    }

    // The played count is spoken in Normal mode only, at the end: in Step mode each answer tells.
    // The model answer and the peer's lines are spoken.
    void countsAndAnswersComeBetweenTheCharacters_data() {
        QTest::addColumn<bool>("step");
        QTest::addColumn<QStringList>("heardBeforeEachWave");
        QTest::newRow("step") << true << QStringList{u""_s, u""_s, u""_s};
        QTest::newRow("normal") << false << QStringList{u""_s, u""_s, u""_s};
    }
    void countsAndAnswersComeBetweenTheCharacters() {
        QFETCH(bool, step);
        QFETCH(QStringList, heardBeforeEachWave);
        TestContext context;
        MainForm form(context.context());
        const MainFormUi& ui = form.ui();
        (step ? ui.StepMode_Option : ui.NormalMode_Option)->setChecked(true);
        ui.StartButton_Command->setEnabled(false);
        Announcer& announcer = form.announcements().announcer();
        QStringList heard;
        context.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (event.kind == RecordingSoundOutput::Kind::Wave) {
                heard << (announcer.lastAnnouncement().startsWith(u"出題数"_s)
                              ? announcer.lastAnnouncement()
                              : QString());
            }
        };
        LessonAnswerer answerer(form, context.clock);
        form.questionPlayer().PlayQuestion(u"AB"_s);  // A, B, then the end mark AR
        AwaitLesson(form, context.clock);
        QCOMPARE(heard, heardBeforeEachWave);
        if (!step) {
            QCOMPARE(announcer.lastAnnouncement(), u"模範解答 AB"_s);
        }
        emit form.peerLink().module().lineLogged(u"JA1ABC > CQ (2026/12/07 20:41:59)"_s);
        QCOMPARE(announcer.lastAnnouncement(), u"JA1ABC > CQ"_s);
    }

    // A burst is said one text at a time, once the window that takes the focus with it has been
    // read: a newer line of a topic supersedes the one waiting, the same text is said once.
    void aFloodIsSaidOneAtATime() {
        TestContext context;
        QWidget window;
        QPushButton result(u"閉じる"_s);
        Announcer announcer(&window, context.clock);
        for (const QString& each :
             {u"StatusLabel|接続しました。"_s, u"StatusLabel|接続要求しています"_s,
              u"TeacherLabel|出題者:JA9ZZZ"_s, u"TeacherLabel|出題者:JA9ZZZ"_s,
              u"|U を加えました"_s}) {
            announcer.announce(each.section(u'|', 1), each.section(u'|', 0, 0));
        }
        context.clock.waitUntil(context.clock.now() + 16);
        emit qApp->focusChanged(nullptr, &result);
        const qint64 moved = context.clock.now();
        context.clock.waitUntil(moved + 20000);
        QCOMPARE(SaidApart(announcer.saidTexts()),
                 (QStringList{u"接続要求しています"_s, u"出題者:JA9ZZZ"_s, u"U を加えました"_s}));
        QVERIFY(announcer.saidTexts()[0].at >= moved + FocusReadingMs({}, result.text()));
    }

    // Step mode: one judgement for each answer, said once its character has sounded and, for a
    // screen reader, before the next character begins; without one the timing is as it was.
    void judgementsComeBetweenTheCharacters_data() {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<bool>("whileSounding");  // answered before the character ends
        QTest::newRow("answered after the character") << true << false;
        QTest::newRow("answered while it sounds") << true << true;
        QTest::newRow("no screen reader") << false << false;
    }
    void judgementsComeBetweenTheCharacters() {
        QFETCH(bool, listening);
        QFETCH(bool, whileSounding);
        TestContext context;
        MainForm form(context.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.ui().StepMode_Option->setChecked(true);
        form.ui().StartButton_Command->setEnabled(false);
        Announcer& announcer = form.announcements().announcer();
        announcer.setListening(listening);
        QStringList script{u"A"_s, u"K"_s};  // B missed
        QList<qint64> answeredAt;
        ClockTimer tick(context.clock, 10);
        connect(&tick, &ClockTimer::timeout, [&] {
            if (!script.isEmpty() &&
                form.ui().Label4->text() == QString::number(answeredAt.size() + 1) &&
                (whileSounding || context.sound.msAhead() == 0)) {
                answeredAt << context.clock.now();
                form.ui().answerButton(script.takeFirst().front())->click();
            }
        });
        tick.setEnabled(true);
        form.questionPlayer().PlayQuestion(u"AB"_s);
        AwaitLesson(form, context.clock);
        auto sounds = context.sound.events();  // A, B, AR
        sounds.removeIf([](const auto& e) { return e.kind == RecordingSoundOutput::Kind::Gap; });
        if (!listening) {  // the next character follows the answer, as it always did
            QVERIFY(sounds[1].start - answeredAt[0] < 100);
            return;
        }
        auto said = announcer.saidTexts();
        said.removeIf([&](const Announcer::Said& each) { return each.at >= sounds[2].start; });
        QCOMPARE(SaidApart(said), (QStringList{u"正解"_s, u"不正解 B"_s}));
        for (int i = 0; i < 2; ++i) {  // never over its character, and done before the next
            QVERIFY(said[i].at >= sounds[i].start + sounds[i].durationMs);
            QVERIFY(sounds[i + 1].start >= said[i].at + SpeechTimeMs(said[i].text));
        }
    }

    // Screen readers see a notification named with each announced text; only the last few
    // are kept.
    void eachAnnouncementIsANotificationOfItsOwn() {
        TestContext context;
        MainForm form(context.context());
        form.show();
        Announcer& announcer = form.announcements().announcer();
        for (int i = 1; i <= 12; ++i) {
            announcer.announce(u"正解数 %1"_s.arg(i));
            context.clock.waitUntil(context.clock.now() + 3000);
        }
        const QList<QWidget*> notices = announcer.notices();
        QCOMPARE(notices.size(), 8);
        QWidget* newest = notices.constLast();
        QVERIFY(newest->isVisible());
        QCOMPARE(newest->focusPolicy(), Qt::NoFocus);  // never takes the keyboard
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(newest);
        QVERIFY(spoken);
        QCOMPARE(spoken->role(), QAccessible::Notification);
        QCOMPARE(spoken->text(QAccessible::Name), u"正解数 12"_s);
        QCOMPARE(
            QAccessible::queryAccessibleInterface(notices.constFirst())->text(QAccessible::Name),
            u"正解数 5"_s);
    }
};

QTEST_MAIN(AnnouncementsTest)
#include "test_announcements.moc"
