#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/morse/KeyInputSerial.h"

// Reads a serial key interface's status lines on a thread of its own and notes when each change
// was seen: the lines carry no time of their own, and read on the window thread a change would
// be timed when that thread got round to it, which on a busy machine is far too late for what
// is decoded. The thread reads every millisecond; what it saw waits for the window thread.
class SerialLineWatch {
  public:
    struct Seen {
        std::optional<SerialPinReader::Lines> lines;  // empty: the port can no longer be read
        qint64 at;                                    // on the program's clock
    };

    // now: the program's clock, read from the watching thread.
    SerialLineWatch(std::unique_ptr<SerialPinReader> reader, std::function<qint64()> now);
    ~SerialLineWatch();
    SerialLineWatch(const SerialLineWatch&) = delete;
    SerialLineWatch& operator=(const SerialLineWatch&) = delete;

    // What was seen since the last call, oldest first: the lines as first read, then each change.
    std::vector<Seen> take();

  private:
    void run();

    std::unique_ptr<SerialPinReader> m_reader;
    std::function<qint64()> m_now;
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
