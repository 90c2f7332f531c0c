#pragma once

#include <QString>

#include "core/lesson/SoundDecodingSession.h"

// What the window 音声から解読 says of its session, in the learner's words: the input's state and
// why it failed, a file refused, and a signal's pitch and speed.
namespace SoundDecodeTexts {

// The status line for the session as it stands.
QString Status(const SoundDecodingSession& session);
// Why listing the sources failed; empty when it did not.
QString ListingFault(CaptureFault fault);
// A WAV file not taken, with the system's reason where it gave one.
QString FileRefused(WaveInput::Result::Status status, const QString& reason);
// A file read to its end, or as far as it goes when it was cut off.
QString FileHeard(bool cutOff);
// "700 Hz"; "20 WPM", or "速度 推定中" until the speed is known.
QString Pitch(double hz);
QString Speed(double wpm);
// A source as the list shows it: its description, an output's monitor marked.
QString SourceCaption(const CaptureSource& source);

}  // namespace SoundDecodeTexts
