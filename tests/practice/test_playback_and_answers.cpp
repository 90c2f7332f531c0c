// Playing a question and answering it in one window, on the virtual clock with recorded sound:
// the played count, where Step mode waits, stopping, the answer shown at the end, refused
// questions, and the answers from buttons, the keyboard and the pass button.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "core/kit/ClockTimer.h"
#include "core/kit/LessonState.h"
#include "core/morse/SoundControls.h"
#include "support/AwaitSession.h"
#include "support/LessonAnswerer.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/lesson/AnswerInput.h"
#include "ui/lesson/LessonUi.h"
#include "ui/lesson/QuestionPlayer.h"

using namespace Qt::StringLiterals;

namespace {

QColor Colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// A window ready to play: the answerer's side of a lesson without a link.
struct Rig {
    TestContext context;
    MainForm form{context.context()};
    // The model answer of a long question is modal: the user reads it and closes it.
    AlwaysPress closeModelAnswer{context.clock, u"AnswerQuestionForm"_s, u"CloseButton"_s};

    explicit Rig(bool step) {
        (step ? ui().StepMode_Option : ui().NormalMode_Option)->setChecked(true);
        ui().StartButton_Command->setEnabled(false);  // as while a lesson plays
        form.lesson().stopPlayback = false;
    }
    const MainFormUi& ui() { return form.ui(); }
    LessonState& lesson() { return form.lesson(); }
    QString token() { return form.soundState().CurrentSoundToken; }
    void play(const QString& question) {
        form.questionPlayer().PlayQuestion(question);
        AwaitLesson(form, context.clock);
    }
    // Label4 as each character's sound begins (a WAV file or a word pause).
    QStringList countsWhileSounding() {
        QStringList counts;
        context.sound.onEvent = [this, &counts](const RecordingSoundOutput::Event& event) {
            if (event.kind != RecordingSoundOutput::Kind::Tone) {
                counts << ui().Label4->text();
            }
        };
        return counts;
    }
    int wavesPlayed() const {
        int waves = 0;
        for (const auto& event : context.sound.events()) {
            waves += event.kind == RecordingSoundOutput::Kind::Wave ? 1 : 0;
        }
        return waves;
    }
};

// The window-independent answerer, on this rig.
struct Answerer : LessonAnswerer {
    explicit Answerer(Rig& rig, QStringList script = {})
        : LessonAnswerer(rig.form, rig.context.clock, std::move(script)) {}
};

}  // namespace

class PlaybackAndAnswersTest : public QObject {
    Q_OBJECT

  private slots:
    // A, B, space, C: the space and the end mark are not counted.
    void countingExample_data() {
        QTest::addColumn<bool>("step");
        QTest::newRow("normal") << false;
        QTest::newRow("step") << true;
    }
    void countingExample() {
        QFETCH(bool, step);
        Rig r(step);
        QStringList counts;
        r.context.sound.onEvent = [&r, &counts](const RecordingSoundOutput::Event& event) {
            if (event.kind == RecordingSoundOutput::Kind::Wave ||
                (event.kind == RecordingSoundOutput::Kind::Gap && r.token() == u"[Space]"_s)) {
                counts << r.ui().Label4->text();
            }
        };
        std::optional<Answerer> answerer;
        if (step) {
            answerer.emplace(r);
        }
        r.play(u"AB C"_s);
        QCOMPARE(counts, (QStringList{u"1"_s, u"2"_s, u"2"_s, u"3"_s, u"3"_s}));
        QCOMPARE(r.ui().Label4->text(), u"3"_s);
        QCOMPARE(r.token(), u"[AR]"_s);  // the sound ends with AR
        QCOMPARE(answerer ? answerer->answers : 0, step ? 3 : 0);
        QCOMPARE(r.ui().StartButton_Command->text(), u"次の問題"_s);
        QVERIFY(r.lesson().stopPlayback);
    }

    // An unhandled character sounds nothing, is counted, and keeps the token of the one before:
    // Step mode then waits for it too.
    void stepWaitsOnlyAfterLettersAndDigits() {
        Rig r(true);
        Answerer answerer(r);
        r.play(u"A?7 ?"_s);
        // A, ? (still "A"), 7; the second ? follows a space and keeps its token: no wait.
        QCOMPARE(answerer.answers, 3);
        QCOMPARE(r.ui().Label4->text(), u"4"_s);
        QCOMPARE(r.wavesPlayed(), 3);  // A, 7, AR
        QCOMPARE(r.lesson().correctCount, qint16(3));
        QCOMPARE(r.ui().Label2->text(), u"3"_s);
    }

    void stopInNormalModeBetweenCharacters() {
        Rig r(false);
        r.context.clock.scheduleAt(r.context.clock.now() + 300,
                                   [&r] { r.lesson().stopPlayback = true; });
        ShowMainButton(r.ui(), r.lesson(), MainButtonNamed(u"スタート"_s));
        r.play(u"EEEEE"_s);
        QVERIFY(r.wavesPlayed() < 5);
        QCOMPARE(r.ui().StartButton_Command->text(), u"スタート"_s);  // no end of question
        QVERIFY(r.ui().AnswerText->toPlainText().isEmpty());
    }

    void answerShownAtTheEnd_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("inAnswerBox");
        QTest::newRow("62 characters: the answer box") << 62 << true;
        QTest::newRow("63 characters: the model answer window") << 63 << false;
    }
    void answerShownAtTheEnd() {
        QFETCH(int, length);
        QFETCH(bool, inAnswerBox);
        Rig r(false);
        QSignalSpy longAnswers(&r.form.questionPlayer(), &QuestionPlayer::longAnswerToShow);
        const QString question = QString(length, u'E');
        qint64 endOfAr = 0;
        r.context.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (event.kind == RecordingSoundOutput::Kind::Gap && r.token() == u"[AR]"_s) {
                endOfAr = event.start + event.durationMs;
            }
        };
        r.play(question);
        if (inAnswerBox) {
            QCOMPARE(r.ui().AnswerText->toPlainText(), question);
            // 2000 ms after the AR: the end message is queued, not waited for.
            QCOMPARE(r.context.clock.now() - endOfAr, 2000);
            QCOMPARE(longAnswers.size(), 0);
        } else {
            QVERIFY(r.ui().AnswerText->toPlainText().isEmpty());
            QCOMPARE(longAnswers.size(), 1);
            QCOMPARE(longAnswers[0][0].toString(), question);
        }
    }

    void refusedQuestions_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << 0 << u"読み込む問題が有りません｡"_s;
        QTest::newRow("beyond the 16-bit count") << 32767 << u"問題が長すぎる"_s;
    }
    void refusedQuestions() {
        QFETCH(int, length);
        QFETCH(QString, text);
        Rig r(false);
        ShowMainButton(r.ui(), r.lesson(), MainButtonNamed(u"スタート"_s));
        r.play(QString(length, u'E'));
        QCOMPARE(r.context.desktop.messages.size(), 1);
        QCOMPARE(r.context.desktop.messages[0].title, u"問題読み込みエラー"_s);
        QCOMPARE(r.context.desktop.messages[0].icon, DesktopServices::Icon::Critical);
        QVERIFY(r.context.desktop.messages[0].text.contains(text));
        QCOMPARE(r.wavesPlayed(), 0);
        QCOMPARE(r.lesson().playedCount, qint16(0));
        QCOMPARE(r.ui().StartButton_Command->text(), u"スタート"_s);
    }

    // The longest question that fits is played and counted to its end without overflowing.
    void longestQuestionIsCounted() {
        Rig r(false);
        r.form.ui().mnuSoundBeep->trigger();
        r.play(QString(32766, u'?'));  // counted, but sounds nothing
        QCOMPARE(r.ui().Label4->text(), u"32766"_s);
        QCOMPARE(r.lesson().playedCount, qint16(32767));
    }

    // --- answers ---

    void keyboardMapping_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("released");
        QTest::newRow("a answers A") << int(Qt::Key_A) << u"a"_s << u"A"_s << true;
        QTest::newRow("A answers A") << int(Qt::Key_A) << u"A"_s << u"A"_s << true;
        QTest::newRow("digit") << int(Qt::Key_0) << u"0"_s << u"0"_s << true;
        QTest::newRow("Escape passes") << int(Qt::Key_Escape) << u"\x1b"_s << u"PASS"_s << true;
        QTest::newRow("Space is no answer") << int(Qt::Key_Space) << u" "_s << QString() << false;
    }
    void keyboardMapping() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, answer);
        QFETCH(bool, released);
        Rig r(true);
        r.form.show();
        QString given = u"unset"_s;
        int misses = -1;
        bool stillWaiting = false;
        const qint64 start = r.context.clock.now();
        r.context.clock.scheduleAt(start + 150, [&] {
            QTest::sendKeyEvent(QTest::Press, r.ui().ScoreList, Qt::Key(key), text, Qt::NoModifier);
            given = r.lesson().currentAnswer;
            misses = r.lesson().missTally[0];
        });
        // Long after A and its AR: reached only if the key left the playback waiting.
        r.context.clock.scheduleAt(start + 8000, [&] {
            stillWaiting = true;
            r.ui().KaitoupassButton_Command->click();
        });
        r.play(u"A"_s);
        QCOMPARE(given, answer);
        // A key that gives no answer is ignored: no miss, and the playback still waits.
        QCOMPARE(misses, answer == u"A"_s || answer.isEmpty() ? 0 : 1);
        QCOMPARE(!stillWaiting, released);
        QCOMPARE(r.ui().StartButton_Command->text(), u"次の問題"_s);
    }

    void feedback_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("red");
        QTest::newRow("correct") << u"K"_s << u"○"_s << true;
        QTest::newRow("wrong") << u"R"_s << u"K"_s << false;
        QTest::newRow("pass") << u"PASS"_s << u"K"_s << false;
    }
    void feedback() {
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(bool, red);
        Rig r(true);
        QString midway;
        r.context.clock.scheduleAt(r.context.clock.now() + 700, [&] {
            if (answer == u"PASS"_s) {
                r.ui().KaitoupassButton_Command->click();
            } else {
                r.context.clock.scheduleAt(r.context.clock.now() + 40,
                                           [&] { midway = r.ui().Label1->text(); });
                r.ui().answerButton(answer.front())->click();
            }
        });
        r.ui().StartButton_Command->setEnabled(true);  // the keyboard is not wanted here
        r.play(u"K"_s);
        QCOMPARE(r.ui().Label1->text(), shown);
        QCOMPARE(Colour(r.ui().Label1) == QColor(255, 0, 0), red);
        QCOMPARE(r.lesson().correctCount, qint16(red ? 1 : 0));
        if (red) {
            QVERIFY(midway.isEmpty());  // blank for 80 ms first
        }
    }

    // Outside a playback an answer button in Step mode still answers the last token.
    void answerButtonOutsideAPlayback() {
        Rig r(true);
        r.form.soundState().CurrentSoundToken = u"Q"_s;
        r.form.soundState().LastSoundedChar = u"Q"_s;
        r.ui().answerButton(u'Q')->click();
        Delay(r.context.clock, 80);  // shown once its blank moment is over
        QCOMPARE(r.ui().Label1->text(), u"○"_s);
        r.ui().answerButton(u'W')->click();
        QCOMPARE(r.ui().Label1->text(), u"Q"_s);
        QCOMPARE(int(r.lesson().missTally[16]), 1);
    }

    void answerButtonInNormalModeDoesNothing() {
        Rig r(false);
        r.ui().answerButton(u'A')->setEnabled(true);
        r.ui().answerButton(u'A')->click();
        QVERIFY(r.lesson().currentAnswer.isEmpty());
        QVERIFY(r.ui().Label1->text().isEmpty());
    }

    // With two windows in one process, a key reaches only the window it was typed into.
    void aKeyReachesOnlyItsOwnWindow() {
        Rig first(true);
        TestContext otherContext(first.context);
        MainForm other(otherContext.context());
        other.ui().StepMode_Option->setChecked(true);
        other.ui().StartButton_Command->setEnabled(false);
        QTest::keyClick(first.ui().ScoreList, Qt::Key_B);
        QCOMPARE(first.lesson().currentAnswer, u"B"_s);
        QVERIFY(other.lesson().currentAnswer.isEmpty());
    }

    void keysAreIgnoredOutsideAStepPlayback() {
        Rig r(true);
        r.ui().StartButton_Command->setEnabled(true);  // no playback running
        QTest::keyClick(r.ui().ScoreList, Qt::Key_B);
        QVERIFY(r.lesson().currentAnswer.isEmpty());
    }

    void chatModeButtonsKeyCwChat() {
        Rig r(false);
        r.ui().ChatMode_Option->setChecked(true);
        r.ui().ChatText->setPlainText(u"log"_s);
        r.ui().answerButton(u'C')->setEnabled(true);
        r.ui().answerButton(u'C')->click();
        AwaitCwChat(r.form, r.context.clock);
        QVERIFY(r.ui().ChatText->toPlainText().endsWith(u"C"_s));
        QVERIFY(r.wavesPlayed() >= 1);  // heard here as it is keyed
        QVERIFY(r.lesson().currentAnswer.isEmpty());
    }

    // Ending the program while the playback waits for an answer ends it at once.
    void endingWhileWaitingForAnAnswer() {
        Rig r(true);
        const qint64 start = r.context.clock.now();
        // A has sounded and the playback waits for its answer.
        r.context.clock.scheduleAt(start + 3000, [&r] { r.form.close(); });
        r.play(u"ABC"_s);
        QCOMPARE(r.context.clock.now() - start, 3000);
        QCOMPARE(r.context.exitCount, 1);
        QCOMPARE(r.wavesPlayed(), 1);
        QVERIFY(!QDir(r.context.soundFolder()).exists());
    }
};

QTEST_MAIN(PlaybackAndAnswersTest)
#include "test_playback_and_answers.moc"
