#pragma once

#include <QString>

// How long a screen reader takes to say a text, in ms: the time from the notification to the
// end of its speech at a common Japanese speaking rate (about eight morae a second). What waits
// for speech to end (the next announcement, the next sound of a lesson) waits this long.
int SpeechTimeMs(const QString& text);

// What a screen reader says when the keyboard focus moves: the control's name and kind, and the
// window's title first when the focus comes from another window.
int FocusReadingMs(const QString& windowTitle, const QString& controlName);
