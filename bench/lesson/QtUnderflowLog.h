#pragma once

#include <QList>

// Counts the buffer underflows that Qt's PulseAudio output logs for this process, as a
// second witness beside the program's own underrun count. Turns that output's debug messages
// on and keeps them off the terminal; every other message passes as before.
namespace QtUnderflowLog {

void Install();
int Count();
// Milliseconds since Install(), and when the underflows from the first-th on were logged: where
// they fall against a lesson's start tells a stalled stream from its start or end.
qint64 Now();
QList<qint64> TimesFrom(int first);

}  // namespace QtUnderflowLog
