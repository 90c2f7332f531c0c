// What received messages do to one main window: the role labels (text and colour), the enabled
// states and captions, the blink loops and how they end, and which notices they ask for.
// Messages are handed to the dispatcher at set times on the virtual clock, as they would arrive
// during each other's waits.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "core/kit/SharedTexts.h"
#include "core/link/QuillNetModule.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/lesson/LessonUi.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kRedColour(255, 0, 0);

QColor Colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// "text|r" or "text|b": a label's caption and colour in one comparable string.
QString Shown(const QLabel* label) {
    return label->text() + (Colour(label) == kRedColour ? u"|r"_s : u"|b"_s);
}

struct Rig {
    TestContext context;
    MainForm form{context.context()};
    QuillNetModule& module = form.peerLink().module();

    Rig() {
        form.link().myCallsign = u"JA1AAA"_s;
        form.link().peerCallsign = u"JA9ZZZ"_s;
    }
    const MainFormUi& ui() { return form.ui(); }
    // Each entry "ms:bytes" is dispatched ms after now; returns when the last one is long past.
    void play(const QStringList& script, int untilMs) {
        VirtualClock& clock = context.clock;
        const qint64 start = clock.now();
        for (const QString& entry : script) {
            const int at = entry.section(u':', 0, 0).toInt();
            const QByteArray bytes = entry.section(u':', 1).toUtf8();
            clock.scheduleAt(start + at, [this, bytes] { module.DispatchNetMessage(bytes); });
        }
        Delay(clock, untilMs);
    }
    // What a label shows at a time from now, recorded while the script runs.
    void probe(int atMs, const QLabel* label, QString& shown) {
        context.clock.scheduleAt(context.clock.now() + atMs,
                                 [label, &shown] { shown = Shown(label); });
    }
};

}  // namespace

class DispatcherTest : public QObject {
    Q_OBJECT

  private slots:
    // Chat status (type 8) and CW chat mode (type 3 "1"): labels, colours, enabled controls.
    void chatStatusAndModes_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("student");
        QTest::addColumn<bool>("controlsEnabled");  // role, speed and answer controls
        const QString head = u"JA9ZZZ[文字チャットモード"_s;
        QTest::newRow("8 0 typing") << QByteArray("80") << head + u"(入力中)]|r"_s << false;
        QTest::newRow("8 2 keyed sending ended")
            << QByteArray("82") << head + u"送信終了]|b"_s << true;
        QTest::newRow("8 3 receiving") << QByteArray("83") << head + u"受信中]|r"_s << false;
        QTest::newRow("8 4 reception ended")
            << QByteArray("84") << head + u"受信終了]|b"_s << false;
        QTest::newRow("8 5 input cleared") << QByteArray("85") << head + u"]|b"_s << false;
        QTest::newRow("8 9 unknown") << QByteArray("89") << u"before|b"_s << false;
    }
    void chatStatusAndModes() {
        QFETCH(QByteArray, message);
        QFETCH(QString, student);
        QFETCH(bool, controlsEnabled);
        Rig r;
        r.form.link().peerMode = LinkMode::TextChat;
        r.ui().StudentLabel->setText(u"before"_s);
        SetControls(r.ui(), false);
        r.module.DispatchNetMessage(message);
        QCOMPARE(Shown(r.ui().StudentLabel), student);
        QCOMPARE(ControlsEnabled(r.ui()), controlsEnabled);
    }

    void cwChatModeFromThePeer() {
        Rig r;
        r.ui().Speed45_Option->setChecked(true);
        r.form.link().peerSpeed = 60;
        r.ui().ChatMode_Option->setEnabled(true);
        r.ui().optionCw->setEnabled(true);
        r.module.DispatchNetMessage("31");
        QCOMPARE(Text(r.form.link().peerMode), Text(LinkMode::CwChat));
        QCOMPARE(Text(r.form.link().myMode), Text(LinkMode::CwChat));
        QCOMPARE(r.ui().StudentLabel->text(), u"JA9ZZZ[CWチャットモード60]"_s);
        QCOMPARE(r.ui().TeacherLabel->text(), u"JA1AAA[CWチャットモード45]"_s);
        QVERIFY(r.ui().ChatMode_Option->isChecked());
        QVERIFY(r.ui().optionCw->isChecked());
        // Selecting CW chat starts this side's transcript; the speed is the selected one.
        QCOMPARE(r.ui().ChatText->toPlainText(), u"***CWチャットモード開始***\n"_s);
        QCOMPARE(r.form.link().cwChatBuffer, u"***CWチャットモード開始***\r\n"_s);
    }

    // The two blink loops: what they show midway, and each way they end.
    void blinkLoops_data() {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<bool>("chatMode");  // selected in the middle of the composing blink
        QTest::addColumn<QString>("redMidway");
        QTest::addColumn<QString>("blackMidway");
        QTest::addColumn<QString>("teacherAfter");
        QTest::addColumn<QString>("studentAfter");
        QTest::addColumn<bool>("roleControlsAfter");
        const QString composing = u"出題者:JA9ZZZ[問題作成中]"_s;
        QTest::newRow("6 1 ended by the question sent")
            << QStringList{u"0:61"_s, u"4200:62"_s} << false << composing + u"|r"_s
            << composing + u"|b"_s << u"出題者:JA9ZZZ[問題送信済]|b"_s << u"-"_s << false;
        QTest::newRow("6 1 ended by the setter aborting")
            << QStringList{u"0:61"_s, u"4200:63"_s} << false << composing + u"|r"_s
            << composing + u"|b"_s << u"出題者:JA9ZZZ[出題中止]|b"_s << u"-"_s << false;
        // Chat mode chosen in a red phase: the loop is left right after it, the label still red,
        // and the modes become text chat.
        QTest::newRow("6 1 ended by chat mode")
            << QStringList{u"0:61"_s} << true << composing + u"|r"_s << composing + u"|b"_s
            << composing + u"|r"_s << u"-"_s << false;
        const QString testing = u"解答者:JA9ZZZ[受験中]"_s;
        QTest::newRow("7 2 ended by 7 3")
            << QStringList{u"0:72"_s, u"4200:73"_s} << false << testing + u"|r"_s
            << testing + u"|b"_s << u"出題者:JA1AAA|b"_s << u"解答者:JA9ZZZ[受験終了]|b"_s << true;
        QTest::newRow("7 2 ended by 7 4")
            << QStringList{u"0:72"_s, u"4200:74"_s} << false << testing + u"|r"_s
            << testing + u"|b"_s << u"出題者:JA1AAA|b"_s << u"解答者:JA9ZZZ[受験中止]|b"_s << true;
    }
    void blinkLoops() {
        QFETCH(QStringList, script);
        QFETCH(bool, chatMode);
        QFETCH(QString, redMidway);
        QFETCH(QString, blackMidway);
        QFETCH(QString, teacherAfter);
        QFETCH(QString, studentAfter);
        QFETCH(bool, roleControlsAfter);
        Rig r;
        const bool testing = script.first().endsWith(u"72"_s);
        QLabel* blinking = testing ? r.ui().StudentLabel : r.ui().TeacherLabel;
        SetEnabled(r.ui(), {r.ui().StartButton_Command, r.ui().TeacherOption}, true);
        QString red;
        QString black;
        QString startDuring;
        // Passes of 1500 ms: red from 1500 to 2500, black from 2500 to 3000.
        r.probe(2000, blinking, red);
        r.probe(2700, blinking, black);
        r.context.clock.scheduleAt(r.context.clock.now() + 2000, [&r, &startDuring] {
            startDuring = r.ui().StartButton_Command->isEnabled() ? u"on"_s : u"off"_s;
        });
        if (chatMode) {
            r.ui().ChatMode_Option->setEnabled(true);
            r.context.clock.scheduleAt(r.context.clock.now() + 3200, [&r] {
                r.ui().optionMoji->setChecked(true);
                r.ui().ChatMode_Option->setChecked(true);
            });
        }
        r.play(script, 9000);
        QCOMPARE(red, redMidway);
        QCOMPARE(black, blackMidway);
        QCOMPARE(Shown(r.ui().TeacherLabel), teacherAfter);
        if (studentAfter != u"-"_s) {
            QCOMPARE(Shown(r.ui().StudentLabel), studentAfter);
        }
        if (testing) {
            QCOMPARE(startDuring, u"off"_s);
            QCOMPARE(r.ui().StartButton_Command->isEnabled(), roleControlsAfter);
            QCOMPARE(r.ui().TeacherOption->isEnabled(), roleControlsAfter);
            QVERIFY(r.form.link().teacherStatus == LinkStatus::Empty);
        }
        if (chatMode) {
            QCOMPARE(Text(r.form.link().myMode), Text(LinkMode::TextChat));
            QCOMPARE(Text(r.form.link().peerMode), Text(LinkMode::TextChat));
        }
        // Nothing still blinks: the label stays as it was left.
        const QString settled = Shown(blinking);
        Delay(r.context.clock, 3000);
        QCOMPARE(Shown(blinking), settled);
    }

    // The answerer's lesson starting clears the setter's status within a pass of the question
    // arriving: the composing blink ends there instead of blinking an empty status for good.
    void composingBlinkEndsWhenTheStatusIsCleared() {
        Rig r;
        r.context.clock.scheduleAt(r.context.clock.now() + 1200,
                                   [&r] { r.form.link().teacherStatus = LinkStatus::Empty; });
        r.play({u"0:61"_s}, 3000);
        const QString settled = Shown(r.ui().TeacherLabel);
        QString later;
        r.probe(1000, r.ui().TeacherLabel, later);
        Delay(r.context.clock, 1500);
        QCOMPARE(later, settled);
    }

    // How the window shows the notices a message asks for (which ones, by the state they meet,
    // is the link session's test).
    void noticesAskedFor_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("teacherStatus");
        QTest::addColumn<QString>("startCaption");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("questionNotices");
        QTest::addColumn<int>("composingNotices");
        QTest::addColumn<QString>("startAfter");
        QTest::newRow("7 1 setter idle: a box")
            << QByteArray("71") << QString() << u"出題"_s << 1 << 0 << 0 << u"出題"_s;
        QTest::newRow("5 question") << QByteArray("5CQ DE JA9ZZZ") << QString() << u"出題待機"_s
                                    << 0 << 1 << 0 << u"スタート"_s;
        QTest::newRow("6 1 while ready")
            << QByteArray("61") << QString() << u"準備OK"_s << 0 << 0 << 1 << u"準備OK"_s;
    }
    void noticesAskedFor() {
        QFETCH(QByteArray, message);
        QFETCH(QString, teacherStatus);
        QFETCH(QString, startCaption);
        QFETCH(int, boxes);
        QFETCH(int, questionNotices);
        QFETCH(int, composingNotices);
        QFETCH(QString, startAfter);
        Rig r;
        r.form.link().teacherStatus = StatusNamed(teacherStatus);
        ShowMainButton(r.ui(), r.form.lesson(), MainButtonNamed(startCaption));
        QSignalSpy questions(&r.module, &QuillNetModule::questionReceived);
        // The received-question notice is modal: the user dismisses it.
        const AlwaysPress dismiss(r.context.clock, u"LoadQuestionCompleteForm"_s, u"Command1"_s);
        QSignalSpy composing(&r.module, &QuillNetModule::composingStarted);
        // The composing blink runs until the question is settled.
        r.play({u"0:"_s + QString::fromUtf8(message), u"2000:62"_s}, 4000);
        QCOMPARE(r.context.desktop.messages.size(), boxes);
        if (boxes > 0) {
            QCOMPARE(r.context.desktop.messages[0].title, u"お知らせ"_s);
            QCOMPARE(r.context.desktop.messages[0].icon, DesktopServices::Icon::Information);
        }
        QCOMPARE(questions.size(), questionNotices);
        QCOMPARE(composing.size(), composingNotices);
        QCOMPARE(r.ui().StartButton_Command->text(), startAfter);
        if (questionNotices > 0) {
            QCOMPARE(r.form.link().receivedQuestion, u"CQ DE JA9ZZZ"_s);
            QVERIFY(r.ui().StartButton_Command->isEnabled());
        }
    }

    // A peer repeating the ready message while its box is open gets that one box, and every
    // message behind them is still read.
    void repeatedReadyMessageOpensOneBox() {
        Rig r;
        r.context.desktop.whileShown = [&r] { Delay(r.context.clock, 5000); };
        QStringList script;
        for (int i = 0; i < 40; ++i) {
            script << QString::number(10 + i * 10) + u":71"_s;
        }
        script << u"600:1still here"_s;
        r.play(script, 1000);
        QCOMPARE(r.context.desktop.mostOpenAtOnce, 1);
        QCOMPARE(r.context.desktop.messages.size(), 1);
        QVERIFY(r.ui().ChatText->toPlainText().endsWith(u"JA9ZZZ > still here"_s));
        // Once it is closed, the next ready message may open it again.
        Delay(r.context.clock, 6000);
        r.module.DispatchNetMessage("71");
        QCOMPARE(r.context.desktop.messages.size(), 2);
    }

  private:
    static void SetEnabled(const MainFormUi&, std::initializer_list<QWidget*> controls, bool on) {
        for (QWidget* control : controls) {
            control->setEnabled(on);
        }
    }
    static QList<QWidget*> RoleSpeedAndAnswerControls(const MainFormUi& ui) {
        QList<QWidget*> controls{ui.StartButton_Command, ui.TeacherOption,  ui.StudentOption,
                                 ui.Speed25_Option,      ui.Speed45_Option, ui.Speed60_Option,
                                 ui.Speed_HScroll};
        for (QPushButton* button : ui.answerButtons) {
            controls << button;
        }
        return controls;
    }
    static void SetControls(const MainFormUi& ui, bool on) {
        for (QWidget* control : RoleSpeedAndAnswerControls(ui)) {
            control->setEnabled(on);
        }
    }
    static bool ControlsEnabled(const MainFormUi& ui) {
        for (QWidget* control : RoleSpeedAndAnswerControls(ui)) {
            if (!control->isEnabled()) {
                return false;
            }
        }
        return true;
    }
};

QTEST_MAIN(DispatcherTest)
#include "test_dispatcher.moc"
