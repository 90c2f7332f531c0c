#pragma once

#include <QObject>
#include <QString>

// The part a window plays on the link.
enum class Role { None, Setter, Answerer };
// The practice mode: receiving a question in Step or Normal mode, or chatting.
enum class PracticeMode { None, Step, Normal, Chat };
// How a chat goes: typed text, or keyed CW.
enum class ChatKind { None, Text, Cw };

// What the user has chosen for the session: callsign, the peer's address, role, practice mode
// and chat kind. Each starts as none (or empty). The windows' boxes and options show these
// choices and set them; the sessions read them here.
class SessionChoices : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    Role role() const { return m_role; }
    PracticeMode mode() const { return m_mode; }
    ChatKind chatKind() const { return m_chatKind; }
    const QString& callsign() const { return m_callsign; }
    const QString& peerAddress() const { return m_peerAddress; }

    bool answerer() const { return m_role == Role::Answerer; }
    bool setter() const { return m_role == Role::Setter; }
    bool stepMode() const { return m_mode == PracticeMode::Step; }
    bool normalMode() const { return m_mode == PracticeMode::Normal; }
    bool chatMode() const { return m_mode == PracticeMode::Chat; }
    bool receiveModeChosen() const { return stepMode() || normalMode(); }
    // Whether the receive modes and the speeds can be chosen now: a mode or speed selected while
    // they cannot be (as the peer's messages select them) is not told back to the peer. Kept as
    // their options are enabled and disabled.
    bool modesOpen() const { return m_modesOpen; }
    bool speedsOpen() const { return m_speedsOpen; }
    void setModesOpen(bool open) { m_modesOpen = open; }
    void setSpeedsOpen(bool open) { m_speedsOpen = open; }

    void setRole(Role role);
    void setMode(PracticeMode mode);
    void setChatKind(ChatKind kind);
    void setCallsign(const QString& callsign);
    void setPeerAddress(const QString& address);
    // While listening, a connection from any address but the peer's is refused.
    bool acceptOnlyPeer() const { return m_acceptOnlyPeer; }
    void setAcceptOnlyPeer(bool on);

  signals:
    void roleChanged();
    void modeChanged();
    void chatKindChanged();
    void callsignChanged();
    void peerAddressChanged();
    void acceptOnlyPeerChanged();

  private:
    Role m_role = Role::None;
    PracticeMode m_mode = PracticeMode::None;
    ChatKind m_chatKind = ChatKind::None;
    QString m_callsign;
    QString m_peerAddress;
    bool m_acceptOnlyPeer = false;
    bool m_modesOpen = true;
    bool m_speedsOpen = true;
};
