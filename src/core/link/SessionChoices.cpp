#include "core/link/SessionChoices.h"

namespace {

// Sets a choice and tells of it when it changed.
template <typename Value, typename Signal>
void Change(SessionChoices* choices, Value& kept, Value value, Signal changed) {
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
