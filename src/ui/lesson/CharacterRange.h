#pragma once

#include <QObject>

class QAction;
struct LessonUi;
class SessionChoices;

// The question character range menu: choosing a range leaves only its letter buttons usable in
// Step mode. Start-up disables the menu and nothing enables it again.
class CharacterRange : public QObject {
    Q_OBJECT
  public:
    // Chat mode, the link's, leaves the buttons as they are too.
    CharacterRange(const LessonUi& ui, const SessionChoices& choices, QObject* parent = nullptr);

    // One handler for the six entries: the chosen entry and its letters, first to last.
    void RangeChosen(QAction* entry, char16_t first, char16_t last);

  private:
    const LessonUi& m_ui;
    const SessionChoices& m_choices;
};
