#pragma once

// Why listing the sound server's sources or recording from one did not go as asked. The window
// shows each in its own words; these names are for the code and the logs.
enum class CaptureFault {
    None,
    NoServer,      // no sound server to connect to
    ServerSilent,  // the server did not answer in time
    ServerGone,    // the server went away while in use
    ListRefused,   // the server would not list its sources
    BadFormat,     // a rate no stream can have
    SourceGone,    // the source is not there (unplugged, or its output removed)
    StreamFailed,  // the server refused or ended the recording
    NoData,        // recording, but no sound has come for a while
};
