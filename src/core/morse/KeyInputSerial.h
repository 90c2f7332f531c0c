#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "core/kit/Clock.h"
#include "core/morse/KeyInputSettings.h"

// The modem status lines of a serial port as they are now.
class SerialPinReader {
  public:
    struct Lines {
        bool cts = false;
        bool dsr = false;
        bool dcd = false;
    };
    virtual ~SerialPinReader() = default;
    // Empty when the port can no longer be read (unplugged).
    virtual std::optional<Lines> read() = 0;
};

// Opens a serial port for its status lines; empty, with a message for the user, when it cannot.
std::unique_ptr<SerialPinReader> OpenSerialPins(const QString& portName, QString& error);

// The serial ports there are, by name.
QStringList SerialPortNames();

class SerialLineWatch;

// Watches a serial key interface's status lines and reports each contact that changes. The
// lines give no event when they change, so they are read on a short timer, often enough that
// the polling adds at most a couple of milliseconds to the sidetone's delay; it runs only while
// a keying pad is open. A real port is read on a thread of its own (SerialLineWatch), so each
// change keeps the time it was seen however late the timer runs.
class SerialKeyPoller {
  public:
    static constexpr qint64 kPollMs = 2;

    // at: when the line was seen to change, on the clock.
    using Contact = std::function<void(Paddle paddle, bool down, qint64 at)>;

    // Read on the timer itself.
    SerialKeyPoller(Clock& clock, std::unique_ptr<SerialPinReader> reader,
                    QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                    std::function<void(const QString& message)> failed);
    // Read on the watch's thread.
    SerialKeyPoller(Clock& clock, std::unique_ptr<SerialLineWatch> watch,
                    QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                    std::function<void(const QString& message)> failed);
    ~SerialKeyPoller();
    SerialKeyPoller(const SerialKeyPoller&) = delete;
    SerialKeyPoller& operator=(const SerialKeyPoller&) = delete;

  private:
    SerialKeyPoller(Clock& clock, std::unique_ptr<SerialPinReader> reader,
                    std::unique_ptr<SerialLineWatch> watch,
                    QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                    std::function<void(const QString& message)> failed);
    void poll();
    bool apply(const std::optional<SerialPinReader::Lines>& lines, qint64 at);
    void stop(qint64 at);

    Clock& m_clock;
    std::unique_ptr<SerialPinReader> m_reader;
    std::unique_ptr<SerialLineWatch> m_watch;
    QList<std::pair<SerialLine, Paddle>> m_lines;
    Contact m_contact;
    std::function<void(const QString&)> m_failed;
    bool m_down[2] = {false, false};
    Clock::TimerId m_timer = 0;
};
