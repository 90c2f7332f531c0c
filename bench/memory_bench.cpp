// Resident memory over many lessons: two windows linked over loopback on the virtual clock run
// 100 whole Step lessons (composed in the editor, sent, answered, graded, the result window
// closed) and the resident set is printed as they go. A leak shows as growth lesson by lesson.
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>

#include "support/LessonAnswerer.h"
#include "support/LinkedPair.h"
#include "support/WindowScript.h"
#include "ui/authoring/QuestionForm.h"

namespace {

// The resident set in KiB, from /proc.
long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

void RunLesson(LinkedPair& p, int number) {
    const QString question = QStringLiteral("CQ %1 DE JA1AAA").arg(number);
    const WhenShown compose(p.clock(), QStringLiteral("QuestionForm"), [&question](QWidget* w) {
        auto* editor = static_cast<QuestionForm*>(w);
        editor->QuestionText->setPlainText(question);
        editor->QuestionCompleteButton->click();
        editor->SendQuestionButton->click();
    });
    p.a.ui().StartButton_Command->click();  // 出題, the editor until it has sent
    p.wait(300);
    LessonAnswerer answerer(p.b, p.clock());
    p.b.ui().StartButton_Command->click();  // スタート: call-up, playback, result window
    p.wait(300);
    p.b.ui().StartButton_Command->click();  // 次の問題
    p.wait(300);
    // The test's recording output keeps every sound it was given; the program keeps none.
    p.aContext.sound.clear();
    p.bContext.sound.clear();
    // Windows closed for good are deleted when control is back in an event loop that began
    // before they were, as the program's main loop is.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LinkedPair p;
    AlwaysPress received(p.clock(), QStringLiteral("LoadQuestionCompleteForm"),
                         QStringLiteral("Command1"));
    AlwaysPress result(p.clock(), QStringLiteral("ResultForm"), QStringLiteral("CloseButton"));
    p.connectWithRoles();
    p.b.ui().Speed60_Option->setChecked(true);
    p.b.ui().StepMode_Option->click();
    p.wait(200);
    p.b.ui().StartButton_Command->click();  // 準備OK
    p.wait(200);
    const long idle = ResidentKiB();
    std::printf("memory: two linked windows, idle: %ld KiB resident\n", idle);
    long afterFirst = 0;
    for (int lesson = 1; lesson <= 100; ++lesson) {
        RunLesson(p, lesson);
        if (lesson == 1) {
            afterFirst = ResidentKiB();
        }
        if (lesson == 1 || lesson == 10 || lesson == 50 || lesson == 100) {
            std::printf("  after %3d lessons: %ld KiB resident (%d score lines)\n", lesson,
                        ResidentKiB(), p.b.ui().ScoreList->count());
        }
    }
    std::printf("growth from lesson 1 to lesson 100: %ld KiB\n", ResidentKiB() - afterFirst);
    return 0;
}
