#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/kit/CopyAlignment.h"
#include "core/morse/FistReport.h"
#include "core/morse/WaveInput.h"
#include "core/sound/CaptureFault.h"
#include "core/sound/CaptureSources.h"
#include "core/sound/CaptureStream.h"

class LiveSignDecoder;
class SoundDecimator;
class WaterfallSpectrum;

// Copy off the air: sound from one of the sound server's sources or from a WAV file, its
// waterfall, and up to four signals in it decoded live, each at its own pitch. The strongest
// signals are followed by themselves, or the learner picks one on the waterfall. Beside a
// signal's copy the learner's own is scored, and own sending picked up from sound gets the fist
// report keying gets. No window: one renders it.
class SoundDecodingSession : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMostSignals = 4;
    // Two signals closer than this are one.
    static constexpr double kSamePitchHz = 25;

    enum class Input { None, Capture, File };

    struct Signal {
        double pitchHz = 0;
        double wpm = 0;       // 0 until the speed is known
        QString text;         // decided
        QString tentative;    // after it, may still change
        bool picked = false;  // chosen by the learner, not followed by itself
    };

    explicit SoundDecodingSession(QObject* parent = nullptr);
    ~SoundDecodingSession() override;

    // The sound server's sources, answered by sourcesListed().
    void listSources();
    // Records a source at its own rate, stopping whatever was heard before.
    void startCapture(const CaptureSource& source);
    // Reads a WAV file and decodes it as fast as it goes, in pieces between the window's events;
    // a file that cannot be used is refused with its status (and, where the system refused,
    // its reason), and nothing else changes. A file cut off is heard as far as it goes.
    WaveInput::Result::Status openFile(const QString& path, QString* reason = nullptr);
    // Stops the input; the copies stay.
    void stop();
    // Forgets the signals and their copies.
    void clear();

    // More sound, as a capture or a file delivers it (tests give it here too).
    void addSamples(std::span<const float> samples, int sampleRate);
    // The sound has ended: every signal's copy is decided.
    void finish();

    // Follow the signal at this pitch (a click on the waterfall), in place of the weakest one
    // followed by itself when all four are taken. Nothing outside the waterfall's pitches.
    void pickPitch(double hz);
    // Whether the strongest signals are followed by themselves (on at first).
    void setFollowStrongest(bool on);
    bool followsStrongest() const { return m_followStrongest; }

    Input input() const { return m_input; }
    CaptureStream::State captureState() const;
    CaptureFault captureFault() const;
    int sampleRate() const { return m_rate; }
    // The file opened last ended before the length its header gave: heard as far as it goes.
    bool fileTruncated() const { return m_fileTruncated; }
    const QList<Signal>& signalList() const { return m_signals; }
    // The waterfall's pitch range and bins, for drawing; none before the first sound.
    const WaterfallSpectrum* waterfall() const { return m_waterfall.get(); }

    // The learner's copy set against the signal's (its decided and tentative text).
    CopyAlignment checkCopy(int signal, const QString& copy) const;
    // How the signal was keyed, from what was decided of it.
    FistReport fistReport(int signal) const;

  signals:
    void sourcesListed(const QList<CaptureSource>& sources, CaptureFault fault);
    void inputChanged();
    // A waterfall row: levels in dB over the waterfall's bins, oldest first.
    void waterfallRow(const std::vector<float>& levelsDb);
    void levelChanged(double peakDb, double rmsDb);
    void signalsChanged();
    // The file given has been heard to its end.
    void fileFinished();

  private:
    void takeCaptured();
    void feedFile();
    void followSignals();
    void startSignal(double hz, bool picked);
    void refreshSignals();
    void keepRecent(std::span<const float> samples);

    std::unique_ptr<CaptureSources> m_sources;
    std::unique_ptr<CaptureStream> m_capture;
    Input m_input = Input::None;
    int m_rate = 0;
    bool m_followStrongest = true;
    std::unique_ptr<WaterfallSpectrum> m_waterfall;
    // The decoders hear the sound brought down to about 8 kHz, which costs them a sixth.
    std::unique_ptr<SoundDecimator> m_decimator;
    std::vector<std::unique_ptr<LiveSignDecoder>> m_decoders;
    QList<Signal> m_signals;
    // A file's sound still to be heard.
    std::vector<float> m_file;
    size_t m_fileAt = 0;
    bool m_fileTruncated = false;
    // The last few seconds of the decoders' sound: a signal found or picked is decoded from there
    // on.
    std::vector<float> m_recent;
    int m_fileRun = 0;  // which opening a queued piece belongs to
    double m_soundSeconds = 0;
    double m_lastFollowSeconds = 0;
};
