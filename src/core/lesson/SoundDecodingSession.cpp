#include "core/lesson/SoundDecodingSession.h"

#include <algorithm>
#include <cmath>

#include "core/morse/LiveSignDecoder.h"
#include "core/morse/SoundDecimator.h"
#include "core/morse/WaterfallSpectrum.h"
#include "core/sound/CaptureRing.h"

namespace {

// A file is heard in pieces this long, one between the window's events.
constexpr double kFilePieceSeconds = 0.5;
// The strongest signals are looked for this often.
constexpr double kFollowEverySeconds = 1;
constexpr double kRecentSeconds = 6;
constexpr double kSidebandHz = 150;
constexpr double kSidebandBelowDb = 15;

}  // namespace

SoundDecodingSession::SoundDecodingSession(QObject* parent)
    : QObject(parent),
      m_sources(std::make_unique<CaptureSources>()),
      m_capture(std::make_unique<CaptureStream>()) {
    connect(m_sources.get(), &CaptureSources::listed, this, &SoundDecodingSession::sourcesListed);
    connect(m_capture.get(), &CaptureStream::blocksReady, this,
            &SoundDecodingSession::takeCaptured);
    connect(m_capture.get(), &CaptureStream::stateChanged, this,
            &SoundDecodingSession::inputChanged);
}

SoundDecodingSession::~SoundDecodingSession() = default;

void SoundDecodingSession::listSources() {
    m_sources->request();
}

void SoundDecodingSession::startCapture(const CaptureSource& source) {
    stop();
    clear();
    m_input = Input::Capture;
    m_capture->start(source.name.toUtf8(), source.sampleRate);
    emit inputChanged();
}

WaveInput::Result::Status SoundDecodingSession::openFile(const QString& path, QString* reason) {
    WaveInput::Result read = WaveInput::Read(path);
    if (read.status != WaveInput::Result::Status::Read) {
        if (reason != nullptr) {
            *reason = read.reason;
        }
        return read.status;
    }
    stop();
    clear();
    m_file = std::move(read.samples);
    m_fileAt = 0;
    m_fileTruncated = read.truncated;
    m_rate = read.sampleRate;
    m_input = Input::File;
    emit inputChanged();
    feedFile();
    return read.status;
}

void SoundDecodingSession::feedFile() {
    if (m_input != Input::File) {
        return;
    }
    const auto piece =
        std::min(m_file.size() - m_fileAt, static_cast<size_t>(kFilePieceSeconds * m_rate));
    const std::span<const float> samples = std::span(m_file).subspan(m_fileAt, piece);
    const CaptureLevel level = LevelOf(samples);
    emit levelChanged(level.peakDbfs, level.rmsDbfs);
    addSamples(samples, m_rate);
    m_fileAt += piece;
    if (m_fileAt >= m_file.size()) {
        m_file = {};
        m_input = Input::None;
        finish();
        emit inputChanged();
        emit fileFinished();
        return;
    }
    // The rest after the window's pending events, so it keeps answering a long file.
    const int run = ++m_fileRun;
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            if (run == m_fileRun) {
                feedFile();
            }
        },
        Qt::QueuedConnection);
}

void SoundDecodingSession::takeCaptured() {
    CaptureBlock block;
    while (m_capture->takeBlock(block)) {
        emit levelChanged(block.level.peakDbfs, block.level.rmsDbfs);
        addSamples(block.samples, m_capture->sampleRate());
    }
}

void SoundDecodingSession::stop() {
    m_capture->stop();
    ++m_fileRun;  // a file's pieces still queued are not heard
    if (m_input != Input::None) {
        m_input = Input::None;
        m_file = {};
        finish();
        emit inputChanged();
    }
}

void SoundDecodingSession::clear() {
    m_decoders.clear();
    m_signals.clear();
    m_waterfall.reset();
    m_decimator.reset();
    m_recent.clear();
    m_soundSeconds = 0;
    m_lastFollowSeconds = 0;
    emit signalsChanged();
}

void SoundDecodingSession::addSamples(std::span<const float> samples, int sampleRate) {
    if (samples.empty() || sampleRate <= 0) {
        return;
    }
    if (!m_waterfall || m_waterfall->sampleRate() != sampleRate) {
        // Another rate: what was heard at the old one cannot go on.
        m_decoders.clear();
        m_signals.clear();
        m_recent.clear();
        m_rate = sampleRate;
        m_waterfall = std::make_unique<WaterfallSpectrum>(sampleRate);
        m_decimator = std::make_unique<SoundDecimator>(sampleRate);
    }
    for (const WaterfallSpectrum::Row& row : m_waterfall->add(samples)) {
        emit waterfallRow(row);
    }
    const std::vector<float> heard = m_decimator->add(samples);
    keepRecent(heard);
    for (const auto& decoder : m_decoders) {
        decoder->addSamples(heard);
    }
    m_soundSeconds += static_cast<double>(samples.size()) / sampleRate;
    if (m_followStrongest && m_soundSeconds - m_lastFollowSeconds >= kFollowEverySeconds) {
        m_lastFollowSeconds = m_soundSeconds;
        followSignals();
    }
    refreshSignals();
}

void SoundDecodingSession::keepRecent(std::span<const float> samples) {
    m_recent.insert(m_recent.end(), samples.begin(), samples.end());
    const auto most = static_cast<size_t>(kRecentSeconds * m_decimator->outputRate());
    if (m_recent.size() > most) {
        m_recent.erase(m_recent.begin(), m_recent.end() - static_cast<std::ptrdiff_t>(most));
    }
}

void SoundDecodingSession::finish() {
    for (const auto& decoder : m_decoders) {
        decoder->finish();
    }
    refreshSignals();
}

void SoundDecodingSession::followSignals() {
    const std::vector<SpectrumPeak> peaks = m_waterfall->strongestPitches(kMostSignals);
    for (const SpectrumPeak& peak : peaks) {
        // A strong keyed tone spreads sidebands (its keying's spectrum) either side: a peak near a
        // much stronger one is that, not a station.
        const bool sideband = std::any_of(peaks.begin(), peaks.end(), [&](const SpectrumPeak& p) {
            return std::abs(p.hz - peak.hz) < kSidebandHz &&
                   p.levelDb - peak.levelDb > kSidebandBelowDb;
        });
        if (sideband) {
            continue;
        }
        const bool followed = std::any_of(m_signals.begin(), m_signals.end(), [&](const Signal& s) {
            return std::abs(s.pitchHz - peak.hz) < kSamePitchHz;
        });
        if (!followed && m_decoders.size() < kMostSignals) {
            startSignal(peak.hz, false);
        }
    }
}

void SoundDecodingSession::startSignal(double hz, bool picked) {
    auto decoder = std::make_unique<LiveSignDecoder>(m_decimator->outputRate(), hz);
    decoder->addSamples(m_recent);
    m_decoders.push_back(std::move(decoder));
    m_signals.append({hz, 0, {}, {}, picked});
    emit signalsChanged();  // a signal more, whatever it has decoded yet
}

void SoundDecodingSession::pickPitch(double hz) {
    if (!m_waterfall || !(hz >= WaterfallSpectrum::kLowestHz) ||
        !(hz <= WaterfallSpectrum::kHighestHz)) {
        return;
    }
    for (Signal& signal : m_signals) {
        if (std::abs(signal.pitchHz - hz) < kSamePitchHz) {
            signal.picked = true;
            emit signalsChanged();
            return;
        }
    }
    if (m_decoders.size() >= kMostSignals) {
        // The newest followed by itself makes room; with all four picked, the oldest pick does.
        qsizetype room = 0;
        for (qsizetype i = m_signals.size(); i-- > 0;) {
            if (!m_signals[i].picked) {
                room = i;
                break;
            }
        }
        m_decoders.erase(m_decoders.begin() + room);
        m_signals.removeAt(room);
    }
    startSignal(hz, true);
    refreshSignals();
}

void SoundDecodingSession::setFollowStrongest(bool on) {
    m_followStrongest = on;
}

CaptureStream::State SoundDecodingSession::captureState() const {
    return m_capture->state();
}

CaptureFault SoundDecodingSession::captureFault() const {
    return m_capture->fault();
}

void SoundDecodingSession::refreshSignals() {
    bool changed = false;
    for (qsizetype i = 0; i < m_signals.size(); ++i) {
        const LiveSignDecoder& decoder = *m_decoders[static_cast<size_t>(i)];
        Signal now{decoder.pitchHz(), decoder.wpm(), decoder.text(), decoder.tentative(),
                   m_signals[i].picked};
        Signal& was = m_signals[i];
        if (now.pitchHz != was.pitchHz || now.wpm != was.wpm || now.text != was.text ||
            now.tentative != was.tentative) {
            was = std::move(now);
            changed = true;
        }
    }
    if (changed) {
        emit signalsChanged();
    }
}

CopyAlignment SoundDecodingSession::checkCopy(int signal, const QString& copy) const {
    if (signal < 0 || signal >= m_signals.size()) {
        return {};
    }
    const Signal& decoded = m_signals[signal];
    return AlignCopy(decoded.text + decoded.tentative, copy);
}

FistReport SoundDecodingSession::fistReport(int signal) const {
    if (signal < 0 || signal >= m_signals.size()) {
        return {};
    }
    const LiveSignDecoder& decoder = *m_decoders[static_cast<size_t>(signal)];
    return MakeFistReport(decoder.elements(), decoder.characters());
}
