// What a screen-reader user hears: every judgement on Label1 and every new count, the link's
// status and role lines, announced through a notification object that screen readers present as
// it appears, and never over the Morse.
#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/MainForm.h"
#include "app/MainFormUi.h"
#include "common/Announcer.h"
#include "support/LessonAnswerer.h"
#include "support/TestContext.h"

using namespace Qt::StringLiterals;

class AnnouncementsTest : public QObject {
    Q_OBJECT

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
            << QStringList{u"正解"_s, u"K"_s} << false;
        QTest::newRow("the call-up's names would cover the call-up")
            << u"Label1"_s << QStringList{u"H"_s, u"BT"_s} << QStringList{} << true;
        QTest::newRow("the same judgement twice is spoken twice")
            << u"Label1"_s << QStringList{u"○"_s, QString(), u"○"_s}
            << QStringList{u"正解"_s, u"正解"_s} << false;
        QTest::newRow("correct count")
            << u"Label2"_s << QStringList{u"0"_s, u"1"_s, u"2"_s}
            << QStringList{u"正解数 0"_s, u"正解数 1"_s, u"正解数 2"_s} << false;
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

    // The played count is spoken once its character has sounded, while Step mode waits for the
    // answer; in Normal mode only at the end. The model answer and the peer's lines are spoken.
    void countsAndAnswersComeBetweenTheCharacters_data() {
        QTest::addColumn<bool>("step");
        QTest::addColumn<QStringList>("heardBeforeEachWave");
        QTest::newRow("step") << true << QStringList{u""_s, u"出題数 1"_s, u"出題数 2"_s};
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
        QCOMPARE(heard, heardBeforeEachWave);
        if (!step) {
            QCOMPARE(announcer.lastAnnouncement(), u"模範解答 AB"_s);
        }
        emit form.peerLink().module().lineLogged(u"JA1ABC > CQ (2026/12/07 20:41:59)"_s);
        QCOMPARE(announcer.lastAnnouncement(), u"JA1ABC > CQ"_s);
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
