#pragma once

#include <QDateTime>
#include <QStringList>

#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/link/LinkSocket.h"
#include "core/link/LinkWindow.h"
#include "core/link/PracticeSide.h"
#include "core/link/QuillNetModule.h"
#include "core/link/SessionChoices.h"
#include "support/VirtualClock.h"

// A window and a practice side of strings: each request of the link session is written down as
// one short line ("student:<caption>|r", "ready notice", "speed:45"), so that a test compares
// what a message asked for without a widget.
class RecordingLinkWindow : public LinkWindow, public PracticeSide {
  public:
    explicit RecordingLinkWindow(QuillNetModule& module) : m_module(module) {}

    void showLog() override { calls << QStringLiteral("log"); }
    void showCwChatOpening() override { calls << QStringLiteral("cw opening"); }
    void setTeacherLine(const QString& caption, Colour colour) override {
        calls << QStringLiteral("teacher:") + caption + Suffix(colour);
    }
    void setStudentLine(const QString& caption, Colour colour) override {
        calls << QStringLiteral("student:") + caption + Suffix(colour);
    }
    void peerJoined() override { calls << QStringLiteral("joined"); }
    void takeRole(bool setter) override {
        calls << (setter ? QStringLiteral("role:setter") : QStringLiteral("role:answerer"));
    }
    void takeChat(bool cw) override {
        choices.setMode(PracticeMode::Chat);
        calls << (cw ? QStringLiteral("chat:cw") : QStringLiteral("chat:text"));
    }
    void questionArrived() override {
        lesson.mainButton = MainButton::Start;
        calls << QStringLiteral("question");
    }
    void setRoleControlsEnabled(bool enabled) override {
        calls << (enabled ? QStringLiteral("roles on") : QStringLiteral("roles off"));
    }
    void peerKeyingEnded() override { calls << QStringLiteral("keying ended"); }
    void showReadyNotice() override { calls << QStringLiteral("ready notice"); }
    void blinkWhileTesting() override { calls << QStringLiteral("testing blink"); }
    void blinkWhileComposing() override {
        calls << QStringLiteral("composing blink");
        if (m_module.composingSettled(choices.chatMode())) {
            m_module.takeChatAfterComposing(cwSelected);
        }
    }
    void selectReceiveMode(bool step) override {
        choices.setMode(step ? PracticeMode::Step : PracticeMode::Normal);
        calls << (step ? QStringLiteral("mode:step") : QStringLiteral("mode:normal"));
    }
    void selectSpeed(int perMinute) override {
        speed = perMinute;
        calls << QStringLiteral("speed:") + QString::number(perMinute);
    }
    void selectChatKind(bool cw) override { cwSelected = cw; }
    int selectedSpeed() const override { return speed; }

    QStringList calls;
    // The session's choices and lesson, as the window's options and main button would keep them.
    SessionChoices choices;
    LessonState lesson;
    bool cwSelected = false;
    int speed = 25;

  private:
    static QString Suffix(Colour colour) {
        return colour == Colour::Red     ? QStringLiteral("|r")
               : colour == Colour::Black ? QStringLiteral("|b")
                                         : QString();
    }
    QuillNetModule& m_module;
};

// One link session with no socket connected, its window and practice side recorded.
struct LinkSessionRig {
    VirtualClock clock{1000};
    // The time the session stamps its log lines with.
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(20, 41, 59));
    LinkState link;
    LinkSocket socket;
    QuillNetModule module{link, socket, clock, [this] { return now; }};
    RecordingLinkWindow window{module};

    LinkSessionRig() {
        link.myCallsign = QStringLiteral("JA1AAA");
        link.peerCallsign = QStringLiteral("JA9ZZZ");
        module.setWindow(&window);
        module.setPracticeSide(&window);
        module.setSession(&window.choices, &window.lesson);
    }
};
