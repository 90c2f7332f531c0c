#include "core/morse/PlannedPlayback.h"

#include <limits>

#include "core/morse/SoundControls.h"
#include "core/sound/SoundTimeline.h"

PlannedPlayback::PlannedPlayback(SoundOutput& output, const SoundControls& controls)
    : m_output(output), m_controls(controls), m_revision(controls.revision()) {
    // Started inside another playback: heard right after what that one is sounding now.
    if (PlannedSound* outer = m_output.innermostPlayback()) {
        m_output.cutFrom(outer->firstUnheard());
    }
    m_cuts = m_output.cutCount();
    m_output.enterPlayback(this);
}

PlannedPlayback::~PlannedPlayback() {
    QObject::disconnect(&m_output, nullptr, &m_watching, nullptr);
    m_output.leavePlayback(this);
}

void PlannedPlayback::planStep(Step& step) {
    step.start = m_output.nextPosition();
    step.plan();
}

void PlannedPlayback::add(std::function<void()> plan) {
    // Steps that have begun to sound are never planned again: only the latest is kept of them.
    const SoundPosition heard = m_output.heard();
    while (m_steps.size() > 1 && m_steps.at(1).start <= heard) {
        m_steps.removeFirst();
    }
    m_steps.append({0, std::move(plan)});
    planStep(m_steps.last());
}

SoundPosition PlannedPlayback::firstUnheard() const {
    const SoundPosition heard = m_output.heard();
    for (const Step& step : m_steps) {
        if (step.start > heard) {
            return step.start;
        }
    }
    return m_output.plannedEnd();
}

bool PlannedPlayback::settled() const {
    return m_controls.revision() == m_revision && m_output.cutCount() == m_cuts;
}

void PlannedPlayback::planAfresh() {
    SoundPosition from = std::numeric_limits<SoundPosition>::max();
    if (m_output.cutCount() != m_cuts) {
        // Cut away under it (a stop, or a playback that started inside it): what it lost.
        from = m_output.lowestCutSince(m_cuts);
    }
    if (m_controls.revision() != m_revision) {
        // New settings: what has not begun to sound is planned with them.
        const SoundPosition unheard = firstUnheard();
        m_output.cutFrom(unheard);
        from = std::min(from, unheard);
    }
    m_revision = m_controls.revision();
    for (Step& step : m_steps) {
        if (step.start >= from) {
            planStep(step);
        }
    }
    m_cuts = m_output.cutCount();
}

void PlannedPlayback::watch(std::function<void()> wake) {
    m_wake = std::move(wake);
    QObject::connect(&m_output, &SoundOutput::soundCut, &m_watching, [this] {
        // What was asked for went with the cut sound.
        m_leadAsked = -1;
        m_endAsked = -1;
        m_wake();
    });
    QObject::connect(&m_output, &SoundOutput::playbackLeft, &m_watching, [this] { m_wake(); });
    m_controls.whenChanged(&m_watching, [this] { m_wake(); });
}

bool PlannedPlayback::mayGoOn() {
    if (!isInnermost()) {
        return false;
    }
    if (!settled()) {
        planAfresh();
    }
    return true;
}

bool PlannedPlayback::leadLeft() {
    if (!mayGoOn()) {
        return false;
    }
    const SoundPosition lead = SamplesAfterMs(kLeadMs);
    const SoundPosition due = m_output.plannedEnd() - lead;
    if (m_output.heard() >= due) {
        return true;
    }
    if (m_wake && m_leadAsked != due) {
        m_leadAsked = due;  // once for each point, however often the session looks
        m_output.whenHeard(due, &m_watching, [this] { m_wake(); });
    }
    return false;
}

bool PlannedPlayback::heardToEnd() {
    if (!mayGoOn()) {
        return false;
    }
    const SoundPosition end = m_output.plannedEnd();
    if (m_endAsked != end) {
        // Heard to the end once what waits for that moment has run: told by the output itself.
        m_endAsked = end;
        m_endHeard = false;
        if (m_wake) {
            m_output.whenHeard(end, &m_watching, [this] {
                m_endHeard = true;
                m_wake();
            });
        }
    }
    return m_endHeard && m_output.plannedEnd() == m_endAsked;
}
