#include "core/link/SessionChoices.h"

namespace {

// Sets a choice and tells of it when it changed.
template <typename Value, typename Signal>
void Change(SessionChoices* choices, Value& kept, const Value& value, Signal changed) {
    if (kept != value) {
        kept = value;
        emit(choices->*changed)();
    }
}

}  // namespace

void SessionChoices::setRole(Role role) {
    Change(this, m_role, role, &SessionChoices::roleChanged);
}

void SessionChoices::setMode(PracticeMode mode) {
    Change(this, m_mode, mode, &SessionChoices::modeChanged);
}

void SessionChoices::setChatKind(ChatKind kind) {
    Change(this, m_chatKind, kind, &SessionChoices::chatKindChanged);
}

void SessionChoices::setCallsign(const QString& callsign) {
    Change(this, m_callsign, callsign, &SessionChoices::callsignChanged);
}

void SessionChoices::setPeerAddress(const QString& address) {
    Change(this, m_peerAddress, address, &SessionChoices::peerAddressChanged);
}

void SessionChoices::setAcceptOnlyPeer(bool on) {
    Change(this, m_acceptOnlyPeer, on, &SessionChoices::acceptOnlyPeerChanged);
}
