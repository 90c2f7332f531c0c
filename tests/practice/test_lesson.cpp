// Whole lessons between two windows over loopback: A (JA1AAA) sets, B (JA2BBB) answers. The
// question goes out as message type 5 from A's side, as the editor sends it.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <numeric>

#include "core/history/HistoryStore.h"
#include "core/kit/LessonState.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/LinkedPair.h"
#include "support/WindowScript.h"
#include "ui/authoring/QuestionForm.h"
#include "ui/kit/WindowOpening.h"
#include "ui/lesson/LessonController.h"
#include "ui/lesson/LessonUi.h"

using namespace Qt::StringLiterals;

namespace {

QColor Colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

struct Lesson : LinkedPair {
    // What B's Label1 showed as each of its sounds began: the call-up names, then feedback.
    QStringList bDisplay;
    // B reads the received-question notice and dismisses it, every time.
    AlwaysPress received{clock(), u"LoadQuestionCompleteForm"_s, u"Command1"_s};

    // A's editor, once it opens: the question typed, finished and sent (the sent notice then
    // closes the editor), or the editor closed unsent when question is null.
    WhenShown composeOnceShown(const QString& question) {
        return WhenShown(clock(), u"QuestionForm"_s, [question](QWidget* window) {
            auto* editor = static_cast<QuestionForm*>(window);
            if (question.isNull()) {
                editor->close();
                return;
            }
            editor->QuestionText->setPlainText(question);
            editor->QuestionCompleteButton->click();
            editor->SendQuestionButton->click();
        });
    }

    Lesson() {
        connectWithRoles();
        bContext.sound.onEvent = [this](const RecordingSoundOutput::Event& event) {
            if (event.kind != RecordingSoundOutput::Kind::Gap &&
                (bDisplay.isEmpty() || bDisplay.constLast() != b.ui().Label1->text())) {
                bDisplay << b.ui().Label1->text();
            }
        };
    }
    // B chooses a receive mode and declares itself ready; A starts composing and sends the
    // question, then tells B it is sent, as the sent notice does.
    void setQuestion(bool step, const QString& question) {
        (step ? b.ui().StepMode_Option : b.ui().NormalMode_Option)->click();
        wait(200);
        b.ui().StartButton_Command->click();
        wait(200);
        const WhenShown compose = composeOnceShown(question);
        a.ui().StartButton_Command->click();  // returns once the editor has closed
        wait(300);
    }
};

}  // namespace

class LessonTest : public QObject {
    Q_OBJECT

  private slots:
    void wholeStepLesson() {
        Lesson l;
        l.b.ui().StepMode_Option->click();
        l.wait(200);
        QCOMPARE(l.a.ui().StudentLabel->text(), u"解答者:JA2BBB[ステップモード25]"_s);
        QCOMPARE(l.b.ui().StudentLabel->text(), u"解答者:JA2BBB[ステップモード25]"_s);

        l.b.ui().StartButton_Command->click();  // 準備OK before the setter has started
        l.wait(200);
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"出題待機"_s);
        QVERIFY(!l.b.ui().StartButton_Command->isEnabled());
        QCOMPARE(l.a.ui().StudentLabel->text(), u"解答者:JA2BBB[解答準備完了]"_s);
        QCOMPARE(l.aContext.desktop.messages.size(), 1);  // "press 出題"

        // The editor is modal: what happens while it is open is scheduled.
        QString setterLabel;
        QString answererSees;
        l.clock().scheduleAt(l.clock().now() + 60, [&] {
            setterLabel = l.a.ui().TeacherLabel->text();
            answererSees = Shown(l.b.ui().TeacherLabel);
        });
        const WhenShown compose = l.composeOnceShown(u"AB"_s);
        l.a.ui().StartButton_Command->click();  // 出題
        QVERIFY(compose.ran());
        QCOMPARE(l.a.ui().TeacherLabel->text(), u"出題者:JA1AAA[問題送信済]"_s);
        l.wait(1000);
        QCOMPARE(setterLabel, u"出題者:JA1AAA[問題作成中]"_s);
        QCOMPARE(answererSees, u"出題者:JA1AAA[問題作成中]|r"_s);
        QCOMPARE(l.b.link().receivedQuestion, u"AB"_s);
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"スタート"_s);
        QVERIFY(l.b.ui().StartButton_Command->isEnabled());
        QCOMPARE(Shown(l.b.ui().TeacherLabel), u"出題者:JA1AAA[問題送信済]|b"_s);

        LessonAnswerer answerer(l.b, l.clock(), {u"A"_s, u"N"_s});
        QString setterDuring;
        l.clock().scheduleAt(l.clock().now() + 4000,
                             [&] { setterDuring = l.a.ui().StudentLabel->text(); });
        const WhenShown result(l.clock(), u"ResultForm"_s, [&](QWidget* window) {
            QCOMPARE(window->findChild<QLabel*>(u"SyutudaiLabel"_s)->text(), u"2"_s);
            QCOMPARE(window->findChild<QLabel*>(u"SeikaiLabel"_s)->text(), u"1"_s);
            QCOMPARE(window->findChild<QLabel*>(u"HuseikaiListLabel"_s)->text(), u"B:1回\u3000"_s);
            window->findChild<QPushButton*>(u"CloseButton"_s)->click();
        });
        l.b.ui().StartButton_Command->click();  // スタート: call-up, playback, result
        AwaitLesson(l.b, l.clock());
        QVERIFY(result.ran());
        QCOMPARE(l.bDisplay.mid(0, 5), (QStringList{u"H"_s, u"R"_s, u"H"_s, u"R"_s, u"BT"_s}));
        QCOMPARE(answerer.answers, 2);
        QCOMPARE(setterDuring, u"解答者:JA2BBB[受験中]"_s);
        QCOMPARE(l.b.ui().ScoreList->item(0)->text(), u"ステップ:2問中1問正解"_s);
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"次の問題"_s);
        QCOMPARE(l.b.ui().StopButton_Command->text(), u"モード切替"_s);
        QVERIFY(l.b.ui().StartButton_Command->isEnabled());
        const auto& tally = l.b.lesson().missTally;
        QCOMPARE(std::accumulate(tally.begin(), tally.end(), 0), 0);  // reset by the window

        l.wait(300);
        QCOMPARE(Shown(l.a.ui().StudentLabel), u"解答者:JA2BBB[受験終了]|b"_s);
        QCOMPARE(l.a.ui().TeacherLabel->text(), u"出題者:JA1AAA"_s);
        QVERIFY(l.a.ui().StartButton_Command->isEnabled());

        l.b.ui().StartButton_Command->click();  // 次の問題
        l.wait(200);
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"出題待機"_s);
        QCOMPARE(l.a.ui().StudentLabel->text(), u"解答者:JA2BBB[解答準備完了]"_s);

        l.b.ui().StopButton_Command->click();  // モード切替
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"準備OK"_s);
        QVERIFY(!l.b.ui().StopButton_Command->isEnabled());
        QVERIFY(l.b.ui().StepMode_Option->isEnabled());
        QVERIFY(l.b.ui().NormalMode_Option->isEnabled());
    }

    // Stopped midway, the lesson is tried again: the call-up and the same question once more.
    void normalLessonStoppedAndRetried() {
        Lesson l;
        l.setQuestion(false, u"EEEEEEEE"_s);
        const WhenShown retry =
            PressWhenShown(l.clock(), u"AbortQuestionForm"_s, u"RestartButton"_s);
        // Stopped while the third character sounds.
        bool stopped = false;
        l.bContext.sound.onEvent = [&](const RecordingSoundOutput::Event&) {
            if (!stopped && l.b.ui().Label4->text() == u"3"_s) {
                stopped = true;
                l.clock().scheduleAt(l.clock().now() + 1,
                                     [&] { l.b.ui().StopButton_Command->click(); });
            }
        };
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        l.bContext.sound.onEvent = nullptr;
        QCOMPARE(l.b.ui().Label4->text(), u"4"_s);  // counted as it came up, then no more
        QVERIFY(retry.ran());
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"再挑戦"_s);
        QVERIFY(l.b.ui().AnswerText->toPlainText().isEmpty());
        l.wait(300);
        QCOMPARE(Text(l.a.link().studentStatus), u"受験中止"_s);
        QCOMPARE(l.b.ui().Label2->text(), u" - "_s);

        l.bDisplay.clear();
        l.bContext.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (event.kind != RecordingSoundOutput::Kind::Gap &&
                (l.bDisplay.isEmpty() || l.bDisplay.constLast() != l.b.ui().Label1->text())) {
                l.bDisplay << l.b.ui().Label1->text();
            }
        };
        l.b.ui().StartButton_Command->click();  // 再挑戦
        AwaitLesson(l.b, l.clock());
        QCOMPARE(l.bDisplay.mid(0, 5), (QStringList{u"H"_s, u"R"_s, u"H"_s, u"R"_s, u"BT"_s}));
        QCOMPARE(l.b.ui().AnswerText->toPlainText(), u"EEEEEEEE"_s);
        QCOMPARE(l.b.ui().Label4->text(), u"8"_s);
        QCOMPARE(l.b.ui().Label2->text(), u" - "_s);
        QCOMPARE(l.b.ui().StartButton_Command->text(), u"次の問題"_s);
        l.wait(300);
        QCOMPARE(Text(l.a.link().studentStatus), u"受験終了"_s);
        // Only the lesson played to its end is kept.
        const QList<LessonRecord> kept = HistoryStore(l.bContext.historyPath()).load();
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].played, 8);
        // Nothing typed: nothing scored, nothing counted.
        QVERIFY(l.b.ui().CopyScore->text().isEmpty());
        QVERIFY(kept[0].confusions.empty());
    }

    // A Step and a Normal lesson played to their ends are kept in the answerer's history, as
    // the window showed them; the setter keeps nothing.
    void finishedLessonsAreKeptInTheHistory() {
        Lesson l;
        l.setQuestion(true, u"AB"_s);
        {
            const LessonAnswerer answerer(l.b, l.clock(), {u"A"_s, u"N"_s});
            const AlwaysPress result(l.clock(), u"ResultForm"_s, u"CloseButton"_s);
            // The speed changed midway, as the peer may: the lesson is kept as it was begun.
            l.clock().scheduleAt(l.clock().now() + 500,
                                 [&] { l.b.ui().Speed60_Option->setChecked(true); });
            l.b.ui().StartButton_Command->click();
            AwaitLesson(l.b, l.clock());
        }
        l.b.ui().StopButton_Command->click();  // モード切替
        l.wait(200);
        l.setQuestion(false, u"CQ"_s);
        QVERIFY(l.b.ui().CopyText->isEnabled());
        // Typed while the call-up sounds: the box was emptied as it began.
        l.clock().scheduleAt(l.clock().now() + 500,
                             [&] { l.b.ui().CopyText->setPlainText(u"cx"_s); });
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        QCOMPARE(l.b.ui().CopyScore->text(), u"2文字中1文字正解（編集距離 1）"_s);
        QVERIFY(l.b.ui().CopyResult->toPlainText().contains(u"受信: CX"_s));
        QCOMPARE(l.b.ui().ScoreList->item(1)->text(), u"ノーマル:2文字中1文字正解（受信メモ）"_s);

        const QList<LessonRecord> kept = HistoryStore(l.bContext.historyPath()).load();
        QCOMPARE(kept.size(), 2);
        const LessonRecord& step = kept[0];
        QCOMPARE(step.finishedAt, l.bContext.desktop.now.toUTC());
        QCOMPARE(step.peer, u"JA1AAA"_s);
        QCOMPARE(step.mode, LessonRecord::Mode::Step);
        QCOMPARE(step.speed, 25);
        QCOMPARE(step.sound, u"wav"_s);
        QCOMPARE(step.played, 2);
        QCOMPARE(step.correct, std::optional<int>(1));
        QCOMPARE(step.question, u"AB"_s);
        std::array<int, 36> misses{};
        misses[1] = 1;  // B
        QVERIFY(step.misses == misses);
        QVERIFY((step.confusions == ConfusionCounts{{{u'A', u'A'}, 1}, {{u'B', u'N'}, 1}}));
        const LessonRecord& normal = kept[1];
        QCOMPARE(normal.mode, LessonRecord::Mode::Normal);
        QCOMPARE(normal.played, 2);
        QCOMPARE(normal.correct, std::nullopt);
        QCOMPARE(normal.question, u"CQ"_s);
        QVERIFY((normal.confusions == ConfusionCounts{{{u'C', u'C'}, 1}, {{u'Q', u'X'}, 1}}));
        QVERIFY(!QFile::exists(l.aContext.historyPath()));
        QVERIFY(l.bContext.desktop.messages.isEmpty());
    }

    // A history that cannot be written: the lessons go on, and the user is told once.
    void anUnwritableHistoryNeverStopsALesson() {
        Lesson l;
        QVERIFY(QDir().mkpath(l.bContext.historyPath()));  // a folder where the file should be
        for (int lesson = 1; lesson <= 2; ++lesson) {
            l.setQuestion(true, u"E"_s);
            const LessonAnswerer answerer(l.b, l.clock());
            const WhenShown result = PressWhenShown(l.clock(), u"ResultForm"_s, u"CloseButton"_s);
            l.b.ui().StartButton_Command->click();
            AwaitLesson(l.b, l.clock());
            QVERIFY(result.ran());
            QCOMPARE(l.b.ui().ScoreList->count(), lesson);
        }
        QCOMPARE(l.bContext.desktop.messages.size(), 1);
        QCOMPARE(l.bContext.desktop.messages[0].title, u"成績履歴"_s);
        QVERIFY(l.bContext.desktop.messages[0].text.contains(u"練習はこのまま続けられます"_s));
    }

    // A stop during the call-up: the question is not played, and the setter hears of the
    // abort only.
    void stopDuringTheCallUp() {
        Lesson l;
        l.setQuestion(true, u"ABC"_s);
        l.bContext.sound.onEvent = [&](const RecordingSoundOutput::Event&) {
            if (l.b.ui().Label1->text() == u"R"_s && !l.b.lesson().stopPlayback) {
                l.b.ui().StopButton_Command->click();
            }
        };
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        l.wait(500);
        QVERIFY(l.b.ui().Label1->text().isEmpty());  // the call-up ended there
        QCOMPARE(l.b.ui().Label4->text(), u" - "_s);
        QCOMPARE(l.b.ui().ScoreList->count(), 0);
        QCOMPARE(Text(l.a.link().studentStatus), u"受験中止"_s);
        QVERIFY(l.b.ui().StartButton_Command->isEnabled());
    }

    // Closing the window during the call-up ends the program there: nothing more sounds and the
    // sound files are gone.
    void closingDuringTheCallUp() {
        Lesson l;
        l.setQuestion(true, u"ABC"_s);
        qint64 closedAt = -1;
        int eventsAtClose = 0;
        l.bContext.sound.onEvent = [&](const RecordingSoundOutput::Event&) {
            if (l.b.ui().Label1->text() == u"R"_s && closedAt < 0) {
                closedAt = 0;
                l.clock().scheduleAt(l.clock().now() + 1, [&] {
                    closedAt = l.clock().now();
                    // What has begun to sound; what was planned beyond it goes.
                    for (const auto& event : l.bContext.sound.events()) {
                        eventsAtClose += event.start <= closedAt ? 1 : 0;
                    }
                    l.b.close();
                });
            }
        };
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        QVERIFY(closedAt > 0);
        QCOMPARE(l.bContext.exitCount, 1);
        QCOMPARE(int(l.bContext.sound.events().size()), eventsAtClose);
        QVERIFY(l.clock().now() - closedAt < 200);
        QVERIFY(!QDir(l.bContext.soundFolder()).exists());
    }

    // The answerer in chat mode is not ready: the setter is not told it is.
    void readyInChatModeSendsNothing() {
        Lesson l;
        l.b.ui().ChatMode_Option->setEnabled(true);
        l.b.ui().ChatMode_Option->click();
        l.wait(300);
        const int setterBoxes = l.aContext.desktop.messages.size();
        ShowMainButton(l.b.ui(), l.b.lesson(), MainButtonNamed(u"準備OK"_s));
        l.b.lessonController().MainForm_StartButton_Command_Click();
        l.wait(300);
        QCOMPARE(l.bContext.desktop.messages.constLast().title, u"準備エラー"_s);
        QVERIFY(l.a.link().studentStatus == LinkStatus::Empty);
        QCOMPARE(l.aContext.desktop.messages.size(), setterBoxes);
    }

    void readyWhileTheSetterComposes() {
        Lesson l;
        bool stayNotice = false;
        bool modal = true;
        QObject::connect(&l.b.lessonController(), &LessonController::stayNoticeWanted,
                         [&](bool isModal) {
                             stayNotice = true;
                             modal = isModal;
                         });
        l.b.ui().NormalMode_Option->click();
        l.wait(200);
        QString caption;
        bool infoShown = false;
        l.clock().scheduleAt(l.clock().now() + 1200, [&] {
            l.b.ui().StartButton_Command->click();  // 準備OK while A composes
            caption = l.b.ui().StartButton_Command->text();
            infoShown = ShownWindow(u"infoStayDuringMakeAQuestion"_s) != nullptr;
            CloseIfOpen(ShownWindow(u"QuestionForm"_s));  // A gives up composing
        });
        l.a.ui().StartButton_Command->click();  // 出題 first
        l.wait(3000);
        QVERIFY(infoShown);
        QVERIFY(stayNotice);
        QVERIFY(!modal);
        QCOMPARE(caption, u"出題準備中"_s);
        QVERIFY(!l.b.ui().TeacherOption->isEnabled());
    }

    // A step lesson in which nothing is played adds no score line and opens no result window.
    void emptyStepLessonLeavesNoScore() {
        Lesson l;
        l.setQuestion(true, QString());
        l.b.ui().StartButton_Command->setEnabled(true);
        ShowMainButton(l.b.ui(), l.b.lesson(), MainButtonNamed(u"スタート"_s));
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        QCOMPARE(l.b.ui().ScoreList->count(), 0);
        QCOMPARE(l.bContext.desktop.messages.constLast().title, u"問題読み込みエラー"_s);
    }

    // The call-up with either generator, and with neither only the names.
    void callUp_data() {
        QTest::addColumn<QString>("generator");
        QTest::addColumn<int>("tones");
        QTest::addColumn<int>("waves");
        QTest::newRow("wave") << u"wave"_s << 0 << 5;
        QTest::newRow("beep") << u"beep"_s << 19 << 0;
        QTest::newRow("neither") << u"none"_s << 0 << 0;
    }
    void callUp() {
        QFETCH(QString, generator);
        QFETCH(int, tones);
        QFETCH(int, waves);
        Lesson l;
        l.setQuestion(false, u"T"_s);
        l.b.ui().mnuSoundWave->setChecked(generator == u"wave"_s);
        l.b.ui().mnuSoundBeep->setChecked(generator == u"beep"_s);
        QStringList names;
        int toneCount = 0;
        int waveCount = 0;
        // The counts read " - " during the call-up, then the question's count.
        l.bContext.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (l.b.ui().Label4->text() != u" - "_s) {
                return;
            }
            toneCount += event.kind == RecordingSoundOutput::Kind::Tone;
            waveCount += event.kind == RecordingSoundOutput::Kind::Wave;
            if (names.isEmpty() || names.constLast() != l.b.ui().Label1->text()) {
                names << l.b.ui().Label1->text();
            }
        };
        l.b.ui().StartButton_Command->click();
        AwaitLesson(l.b, l.clock());
        // H R H R BT: 4 + 3 + 4 + 3 + 5 elements, or one file each.
        QCOMPARE(toneCount, tones);
        QCOMPARE(waveCount, waves);
        if (generator != u"none"_s) {
            QCOMPARE(names, (QStringList{u"H"_s, u"R"_s, u"H"_s, u"R"_s, u"BT"_s}));
        } else {
            QVERIFY(names.isEmpty());  // nothing sounded
        }
        QVERIFY(l.b.ui().Label1->text().isEmpty());  // BT does not stay through the question
        QCOMPARE(l.b.ui().AnswerText->toPlainText(), u"T"_s);
    }

  private:
    static QString Shown(const QLabel* label) {
        return label->text() + (Colour(label) == QColor(255, 0, 0) ? u"|r"_s : u"|b"_s);
    }
};

QTEST_MAIN(LessonTest)
#include "test_lesson.moc"
