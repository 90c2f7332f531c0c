#pragma once

#include <QString>

// Whether a PulseAudio (or PipeWire) server answers on its local socket. Qt's sound system
// connects once, when it is first used, and does not try again if no server answered then;
// so the output asks this first and leaves Qt alone until a server is there.
// pulseServer is $PULSE_SERVER, runtimeDir is $XDG_RUNTIME_DIR (either may be empty).
// A server that is not a local socket (tcp:…) counts as reachable: Qt finds out.
bool SoundServerReachable(const QString& pulseServer, const QString& runtimeDir);

// The same, from the environment.
bool SoundServerReachable();
