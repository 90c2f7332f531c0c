// The chat session without a window: what the peer receives while a CW chat line is heard, stopped,
// keyed or sent, and the typing notice, against a raw peer on the virtual clock.
#include <QtTest>

#include "core/kit/LinkState.h"
#include "core/link/ChatSession.h"
#include "core/link/LinkSocket.h"
#include "core/link/QuillNetModule.h"
#include "support/RawLinkPeer.h"
#include "support/WaveTestRig.h"

using namespace Qt::StringLiterals;

namespace {

enum class Action { HearLine, StopLine, KeyTwo, SendLine, Type };

// One side's chat session linked to a peer that records every byte it receives.
struct Chatter {
    SoundRig rig;
    LinkState link;
    LinkSocket socket;
    QuillNetModule module{link, socket, rig.clock, [] { return QDateTime(); }};
    ChatSession chat{module, rig.dispatch, rig.clock};
    RawLinkPeer peer;
    QStringList events;

    Chatter() {
        link.myCallsign = u"JA1AAA"_s;
        peer.link(socket, rig.clock);
        QObject::connect(&socket, &LinkSocket::dataArrival, &module,
                         &QuillNetModule::DispatchNetMessage);
        // As the connection does: the next send waits for the previous one.
        link.sendDone = true;
        const auto note = [this](const char* what) {
            return [this, what] { events << QString::fromLatin1(what); };
        };
        QObject::connect(&chat, &ChatSession::receivingChanged,
                         [this](bool on) { events << (on ? u"receiving"_s : u"received"_s); });
        QObject::connect(&chat, &ChatSession::keyingChanged,
                         [this](bool on) { events << (on ? u"keying"_s : u"keyed"_s); });
        QObject::connect(&chat, &ChatSession::receivingStopped, note("stopped"));
        QObject::connect(&chat, &ChatSession::lineHeardBySender, note("line heard"));
    }
    int charactersHeard() const {
        return int(std::count_if(
            rig.output.events().begin(), rig.output.events().end(),
            [](const auto& e) { return e.kind == RecordingSoundOutput::Kind::Wave; }));
    }
};

}  // namespace

class ChatSessionTest : public QObject {
    Q_OBJECT

  private slots:
    void whatThePeerReceives_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QByteArray>("peerReceives");
        QTest::addColumn<int>("heard");
        QTest::addColumn<QStringList>("events");
        // A received line: "being heard" (8 3), then "heard" (8 4).
        QTest::newRow("received line")
            << Action::HearLine << "8384"_ba << 4 << QStringList{u"receiving"_s, u"received"_s};
        // Stopped after its first character: the rest is not heard, the peer still told.
        QTest::newRow("stopped line") << Action::StopLine << "8384"_ba << 1
                                      << QStringList{u"receiving"_s, u"stopped"_s, u"received"_s};
        // Two keys go out as they are pressed (9), then "sending ended" (8 2) once both sounded.
        QTest::newRow("two keys") << Action::KeyTwo << "9E9T82"_ba << 2
                                  << QStringList{u"keying"_s, u"keying"_s, u"keyed"_s};
        QTest::newRow("sent line")
            << Action::SendLine << "9EIS"_ba << 3 << QStringList{u"line heard"_s};
        // Typing told once (8 0) however long it goes on, an emptied box (8 5) each time.
        QTest::newRow("typing") << Action::Type << "8085"_ba << 0 << QStringList{};
    }
    void whatThePeerReceives() {
        QFETCH(Action, action);
        QFETCH(QByteArray, peerReceives);
        Chatter c;
        VirtualClock& clock = c.rig.clock;
        switch (action) {
            case Action::HearLine:
                c.peer.socket()->write("9EEEE");
                break;
            case Action::StopLine:
                c.peer.socket()->write("9EEEEEEEE");
                QVERIFY(WaitUntil(
                    clock, [&] { return c.charactersHeard() == 1; }, 10000));
                c.chat.StopCwReceive();
                break;
            case Action::KeyTwo:
                c.chat.QueueCwChatChar(u'E');
                c.chat.QueueCwChatChar(u'T');
                break;
            case Action::SendLine:
                c.chat.SendCwChatLine(u"EIS"_s);
                break;
            case Action::Type:
                c.chat.inputChanged(false);
                c.chat.inputChanged(false);
                c.chat.inputChanged(true);
                break;
        }
        Delay(clock, 200);
        QVERIFY(WaitUntil(
            clock, [&] { return !c.chat.playing(); }, 30000));
        // Sends go one at a time; what is still to come arrives within the wait.
        WaitUntil(
            clock, [&] { return c.peer.received.size() >= peerReceives.size(); }, 5000);
        Delay(clock, 200);
        QCOMPARE(c.peer.received, peerReceives);
        QTEST(c.charactersHeard(), "heard");
        QTEST(c.events, "events");
        if (action == Action::SendLine) {
            QCOMPARE(c.link.cwChatBuffer, u"JA1AAA > EIS\r\n"_s);
        }
    }
};

QTEST_MAIN(ChatSessionTest)
#include "test_chat_session.moc"
