// Fuzz target: the link session's whole reaction to what a peer sends. Each input is one receive;
// its messages are dispatched to the session, which changes the link state and the log and asks a
// window (here one that renders into strings and selects as a window would) to show it.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

#include "common/RoleCaptions.h"
#include "net/LinkSocket.h"
#include "net/LinkWindow.h"
#include "net/PracticeSide.h"
#include "net/QuillNetModule.h"
#include "net/WireCodec.h"
#include "support/FakeDesktopServices.h"
#include "support/VirtualClock.h"

namespace {

// A window without widgets: what it shows is kept in strings, its options in flags.
class StringWindow : public LinkWindow, public PracticeSide {
  public:
    explicit StringWindow(QuillNetModule& module) : m_module(module) {}
    void showLog() override { shown = m_module.log().text(); }
    void showCwChatOpening() override { shown.clear(); }
    void setTeacherLine(const QString& caption, Colour) override { teacher = caption; }
    void setStudentLine(const QString& caption, Colour) override { student = caption; }
    void peerJoined() override { joined = true; }
    void takeRole(bool setter) override { this->setter = setter; }
    void takeChat(bool cw) override {
        chat = true;
        selectChatKind(cw);
    }
    void questionArrived() override { waiting = false; }
    void setRoleControlsEnabled(bool enabled) override { rolesEnabled = enabled; }
    void peerKeyingEnded() override { rolesEnabled = true; }
    void showReadyNotice() override {}
    void blinkWhileTesting() override { teacher = RoleCaption::AnswererStatus(m_module.link()); }
    void blinkWhileComposing() override {
        if (m_module.composingSettled(chat)) {
            m_module.takeChatAfterComposing(cw);
        }
    }
    bool waitingForSetter() const override { return waiting; }
    bool chatModeSelected() const override { return chat; }
    void selectReceiveMode(bool step) override {
        chat = false;
        this->step = step;
    }
    void selectSpeed(int perMinute) override { speed = perMinute; }
    void selectChatKind(bool cw) override { this->cw = cw; }
    int selectedSpeed() const override { return speed; }

    QString shown, teacher, student;
    bool joined = false, setter = false, chat = false, cw = false, step = false;
    bool waiting = true, rolesEnabled = false;
    int speed = 25;

  private:
    QuillNetModule& m_module;
};

struct Session {
    VirtualClock clock{1000};
    FakeDesktopServices desktop;
    LinkState link;
    LinkSocket socket;
    QuillNetModule module{link, socket, clock, [this] { return desktop.currentDateTime(); }};
    StringWindow window{module};

    Session() {
        link.myCallsign = QStringLiteral("JA1FUZ");
        link.peerCallsign = QStringLiteral("JA9ZZZ");
        module.setWindow(&window);
        module.setPracticeSide(&window);
    }
};

Session* g_session = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Never destroyed: libFuzzer leaves through exit(), after Qt's own globals may be gone.
    new QCoreApplication(*argc, *argv);
    g_session = new Session;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& message : WireCodec::Split(received)) {
        g_session->module.DispatchNetMessage(message);
    }
    return 0;
}
