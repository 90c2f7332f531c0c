#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/kit/Clock.h"
#include "core/morse/CharacterDispatch.h"

class PlannedPlayback;

// Sounds a text heard on its own (a chat line, an echo group) character by character, planned
// ahead as it is known, and returns to the event loop between its characters. Started inside
// another playback it is heard right after what that one is sounding, and that one goes on once
// this is over. The band's conditions start afresh with it, so it sounds the same on every PC
// that plays it.
class TextPlayback : public QObject {
    Q_OBJECT
  public:
    // Once stopped() holds, the text ends after the character sounding; if cut() holds then,
    // what was planned beyond that character is thrown away.
    struct Ending {
        std::function<bool()> stopped;
        std::function<bool()> cut;
    };

    TextPlayback(CharacterDispatch& dispatch, Clock& clock, QObject* parent = nullptr);
    ~TextPlayback() override;

    // Begins to sound the text; done runs once it has been heard or stopped (not when the
    // program ends meanwhile).
    void play(const QString& text, CharacterTable table, Ending ending, std::function<void()> done);
    // What stopped() or cut() reads may have changed: they are looked at again.
    void wake();
    bool running() const { return m_playback != nullptr; }

  private:
    void advance();
    void planNext();

    CharacterDispatch& m_dispatch;
    Clock& m_clock;
    QueuedStep m_advance{m_clock, this, [this] { advance(); }};
    std::unique_ptr<PlannedPlayback> m_playback;
    QString m_text;
    qsizetype m_next = 0;
    CharacterTable m_table = CharacterTable::Chat;
    Ending m_ending;
    std::function<void()> m_done;
    bool m_allPlanned = false;
};
