#pragma once

#include <QList>
#include <QObject>
#include <functional>

#include "core/sound/SoundOutput.h"

class SoundControls;

// Plays a sequence (a question, a call-up, a CW chat line) step by step on the planned timeline:
// each step plans its sound (a character) as soon as it is known, and the playback keeps about
// two and a half seconds of sound planned ahead of what is heard, so a stall of the window, or a
// window thread busy with a screen reader and a loaded machine at once, never reaches the
// output. A step that has not begun to sound is planned again when it must be: after a change of
// the sound settings (so the change is heard from the next character on), or after a playback
// that started inside this one cut it away to be heard first.
class PlannedPlayback : public PlannedSound {
  public:
    static constexpr int kLeadMs = 2500;

    PlannedPlayback(SoundOutput& output, const SoundControls& controls);
    ~PlannedPlayback() override;
    PlannedPlayback(const PlannedPlayback&) = delete;
    PlannedPlayback& operator=(const PlannedPlayback&) = delete;

    // Plans a step now. plan is kept and called again whenever the step is planned afresh: it
    // plans sound and asks for what is done when it is heard, and nothing else.
    void add(std::function<void()> plan);

    // Its two waits, for a session that returns to the event loop between its steps: no more
    // than the lead planned ahead (leadLeft), and all of it heard (heardToEnd). Each says whether
    // the playback may go on now, having planned afresh what had to be; when not, the wake given
    // to watch() runs once that may have changed (the sound heard so far, a cut, a playback
    // started inside this one ended, new settings). Neither goes on while a playback started
    // inside this one is still running.
    void watch(std::function<void()> wake);
    bool isInnermost() const { return m_output.innermostPlayback() == this; }
    bool leadLeft();
    bool heardToEnd();

    SoundPosition firstUnheard() const override;

  private:
    struct Step {
        SoundPosition start;
        std::function<void()> plan;
    };

    void planStep(Step& step);
    void planAfresh();
    bool settled() const;

    SoundOutput& m_output;
    const SoundControls& m_controls;
    // Ready for the next step: innermost, and planned afresh if it had to be.
    bool mayGoOn();

    QList<Step> m_steps;  // those not yet heard to their start, and the last one
    quint64 m_revision;
    quint64 m_cuts;
    std::function<void()> m_wake;
    QObject m_watching;              // what the wakes hang on: they go with the playback
    SoundPosition m_leadAsked = -1;  // the point a wake was asked for when heard
    SoundPosition m_endAsked = -1;   // the end a wake was asked for when heard
    bool m_endHeard = false;
};
