#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "core/morse/ClockedKeyer.h"
#include "core/morse/KeyInputSettings.h"
#include "core/morse/Keyer.h"
#include "core/morse/MorseDecoder.h"

class Clock;

// A keying practice without a window: contacts, each with the time the key moved, drive the
// keyer; its key edges sound the sidetone and feed the decoder, which is told of the silence
// after a character and after a word as the clock reaches them. It keeps the marks and gaps for
// the fist report. Whatever forwards the contacts (a keying pad, a serial line, a test) only
// decides which contact moved and when.
class KeyingSession : public QObject {
    Q_OBJECT
  public:
    explicit KeyingSession(Clock& clock, QObject* parent = nullptr);
    ~KeyingSession() override;

    // The keyer's mode, speed and weight; releases the key first.
    void setSettings(const KeyInputSettings& settings);
    // Turns the sidetone on and off with the key.
    void setSidetone(std::function<void(bool down)> sidetone) { m_sidetone = std::move(sidetone); }

    // at: when the contact moved, on the clock (no later than now).
    void contact(Paddle paddle, bool down, qint64 at);
    void releaseAll();
    // Releases the key and starts the decoding and the timings afresh.
    void reset();
    // The keying has ended: releases the key and decodes what the decoder still holds back.
    void finish();

    QString decodedText() const { return m_decoder->text(); }
    // What MakeFistReport takes.
    const std::vector<DecodedElement>& timings() const { return m_decoder->elements(); }
    const std::vector<DecodedCharacter>& characters() const { return m_decoder->characters(); }

  signals:
    // A character, or " " between words, as the decoder gives them.
    void characterDecoded(const QString& text);
    void keyStateChanged(bool down);

  private:
    void keyed(const KeyEdge& edge);
    void checkSilenceAt(qint64 due, void (KeyingSession::*check)(), bool lateOnce = false);
    void showAfterSilence();
    void tellSilence();
    void cancelSilenceCheck();
    void newDecoder();

    Clock& m_clock;
    Keyer m_keyer;
    ClockedKeyer m_clocked;
    std::unique_ptr<MorseDecoder> m_decoder;
    std::function<void(bool)> m_sidetone;
    qint64 m_lastEdge = -1;
    quint64 m_silenceCheck = 0;  // the clock's timer id, 0 when none is set
};
