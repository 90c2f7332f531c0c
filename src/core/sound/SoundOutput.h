#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVector>
#include <functional>
#include <vector>

#include "core/kit/Clock.h"
#include "core/sound/BandMixer.h"
#include "core/sound/SoundTimeline.h"

// A playback that plans sound ahead (a question, a CW chat line). A playback that starts inside
// another one asks the innermost running one where its unheard sound begins: it cuts there, plays,
// and the outer one plans what was cut again once it goes on.
class PlannedSound {
  public:
    virtual ~PlannedSound() = default;
    // The first position of what this playback planned that nobody has heard yet; where its plan
    // ends when all of it has been heard.
    virtual SoundPosition firstUnheard() const = 0;
};

// The program's sound, one per main window. What is to be played is planned on one sample
// timeline as soon as it is known (a whole character, several characters ahead), so a busy
// window thread never leaves a hole in it; the window follows the sound as it is heard, not as it
// is planned. Planning returns at once; the waits let events run, as every wait of the program
// does. The real output plays through the desktop's sound server; the silent one (no server yet,
// none at all, and the tests) runs the same timeline on the clock.
class SoundOutput : public QObject {
    Q_OBJECT
  public:
    // Tones longer than any lesson uses keep their time but stay silent rather than take
    // gigabytes of samples.
    static constexpr int kLongestSoundedToneMs = 10 * 60 * 1000;

    explicit SoundOutput(Clock& clock, QObject* parent = nullptr);
    ~SoundOutput() override;

    // --- Planning: each adds its element at the end of what is planned and returns its first
    // sample's position. A tone's edges are shaped, with their half-amplitude points on the
    // nominal start and end.
    SoundPosition planTone(int frequencyHz, int durationMs);
    SoundPosition planWave(const QVector<qint16>& samples, int sampleRate);
    SoundPosition planGap(int ms);
    // The same, a whole number of samples long: for timing exact to the sample.
    SoundPosition planToneSamples(int frequencyHz, qint64 samples);
    SoundPosition planGapSamples(qint64 samples);
    // Where the next planned element starts: right after what is planned, or, once all of that
    // has been heard, as soon as the output can sound it.
    SoundPosition nextPosition();
    SoundPosition plannedEnd() const { return m_timeline.end(); }

    // The band's conditions for what is planned from now on; with every effect off the planned
    // samples are exactly those without them.
    void setBandConditions(const BandSettings& settings) { m_band.setSettings(settings); }
    bool bandConditionsOn() const { return m_band.isOn(); }
    // The band's conditions start afresh with what is planned next (a lesson, a chat line), so
    // every listener with the same seed and settings hears the same, whatever each played before.
    // Changes nothing while the conditions are off.
    void restartBand();
    // Asked at every restart of the band for the conditions that hold now (a peer's request ends
    // with its link), before the output starts them afresh.
    void setBandRefresh(std::function<void()> refresh) { m_bandRefresh = std::move(refresh); }

    // --- Hearing.
    // The first sample not yet heard.
    SoundPosition heard() const { return heardPosition(); }
    // Planned sound not yet heard, in ms.
    qint64 msAhead() const;
    // Runs action (from the event loop) once the sample at position is heard; at once if it has
    // been. Dropped when that sound is cut or context goes away.
    void whenHeard(SoundPosition position, QObject* context, std::function<void()> action);
    // The same, but run at the cut when that sound is cut: what must happen once it is over,
    // heard or not.
    void whenOver(SoundPosition position, QObject* context, std::function<void()> action);
    // Lets events run at least once, then waits until at most leadMs of planned sound is left
    // unheard. Returns early (false) when interrupt() holds, when sound was cut meanwhile, or when
    // the program is ending.
    bool waitForLead(int leadMs, const std::function<bool()>& interrupt);
    // Waits until the sample at position has been heard (everything planned: plannedEnd()).
    // Returns false as waitForLead does.
    bool waitUntilHeard(SoundPosition position, const std::function<bool()>& interrupt);

    // --- Cutting: throws away the planned sound from position on (never what is being heard
    // already: at the earliest a few milliseconds from now, faded out), and the actions waiting
    // for it. cut() throws away everything not yet heard.
    void cutFrom(SoundPosition position);
    void cut();
    // How many cuts there have been, and the lowest position cut since the count was seen: a
    // playback that sees a new cut plans again what it lost.
    quint64 cutCount() const { return m_cuts; }
    SoundPosition lowestCutSince(quint64 count) const;

    // Playbacks running one inside the other (the innermost last).
    void enterPlayback(PlannedSound* playback);
    void leavePlayback(PlannedSound* playback);
    PlannedSound* innermostPlayback() const;

    // Plans and waits until it has been heard, all but what must be planned in advance for the
    // next element to join it seamlessly: the blocking tone and the synchronous sound of old.
    void Beep(int frequencyHz, int durationMs);
    void PlayWave(const QVector<qint16>& samples, int sampleRate);
    void Gap(int ms);

    // Whether sound reaches a real device.
    virtual bool isSoundOn() const = 0;

    // --- The keyed tone of sending practice, beside whatever is planned: open while keying can
    // happen, the tone sounding from keyDown() to keyUp(). Outputs with no live path ignore it.
    virtual void openKeying() {}
    virtual void closeKeying() {}
    virtual void keyDown(int /*frequencyHz*/) {}
    virtual void keyUp() {}

  signals:
    void soundOnChanged(bool on);
    // Planned sound was cut away; a playback left (one that waits to plan again may now).
    void soundCut();
    void playbackLeft();

  protected:
    Clock& clock() const { return m_clock; }

    // The output behind the timeline.
    // The first sample not yet heard, now.
    virtual SoundPosition heardPosition() const = 0;
    // Nothing before this position can still be planned or changed; the silent timeline knows it
    // to the tenth of a sample.
    virtual SoundPosition earliestPlannable() const = 0;
    virtual qint64 earliestPlannableTenths() const { return earliestPlannable() * 10; }
    // Adds samples into what will sound, the first at the given position (never before
    // earliestPlannable()).
    virtual void mixSamples(SoundPosition at, const QVector<qint16>& samples) = 0;
    // Silences what was planned from the position on.
    virtual void discardFrom(SoundPosition at) = 0;
    // Silence is planned up to the position (a gap): the output must play on to it.
    virtual void extendTo(SoundPosition /*end*/) {}
    // The clock time at which the position will be heard at the present pace.
    virtual qint64 dueTime(SoundPosition position) const;

    // Told of each planned element and of each cut (the recording output of the tests).
    enum class Element { Tone, Wave, Gap };
    virtual void planned(Element /*kind*/, SoundPosition /*start*/, SoundPosition /*end*/,
                         int /*durationMs*/, int /*frequencyHz*/,
                         const QVector<qint16>* /*samples*/, int /*sampleRate*/) {}
    virtual void wasCut(SoundPosition /*from*/) {}

    // The heard position may have jumped (the output changed): the waiting actions are looked at
    // again.
    void rescheduleHeard();

  private:
    struct Pending {
        SoundPosition position;
        quint64 order;
        QPointer<QObject> context;
        std::function<void()> action;
        bool evenIfCut;
    };

    void shapeTone(SoundPosition start, int frequencyHz, int durationMs);
    void addPending(SoundPosition position, QObject* context, std::function<void()> action,
                    bool evenIfCut);

    bool waitFor(SoundPosition target, const std::function<bool()>& done);
    void waitUntilJoinable();
    void scheduleHeard();
    void runHeard();

    void alignToSample();
    // The band's samples of an element from start to the timeline's end.
    void mixBackground(SoundPosition start);

    Clock& m_clock;
    SoundTimeline m_timeline;
    BandMixer m_band;
    std::function<void()> m_bandRefresh;
    std::vector<Pending> m_pending;  // in position order, then in the order they were asked for
    quint64 m_nextOrder = 0;
    Clock::TimerId m_heardTimer = 0;
    qint64 m_heardTimerDue = -1;
    quint64 m_cuts = 0;
    std::vector<SoundPosition> m_recentCuts;  // the positions of the latest cuts, oldest first
    QList<PlannedSound*> m_playbacks;
};
