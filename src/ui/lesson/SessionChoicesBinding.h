#pragma once

class SessionChoices;
struct LessonUi;
struct LinkUi;

// The main window's callsign and address boxes and its options of role, practice mode and chat
// kind, bound to the session's choices. Made before the subsystems that handle those options
// connect to them, so that the choices have changed by the time any handler runs.
class SessionChoicesBinding {
  public:
    SessionChoicesBinding(SessionChoices& choices, const LessonUi& ui, const LinkUi& linkUi);
};
