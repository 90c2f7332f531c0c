#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "common/Clock.h"
#include "morse/KeyInputSettings.h"

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

// Watches a serial key interface's status lines and reports each contact that changes. The
// lines give no event when they change, so they are read on a short timer, often enough that
// the polling adds at most a couple of milliseconds to the sidetone's delay; it runs only while
// a keying pad is open.
class SerialKeyPoller {
  public:
    static constexpr qint64 kPollMs = 2;

    using Contact = std::function<void(Paddle paddle, bool down)>;

    SerialKeyPoller(Clock& clock, std::unique_ptr<SerialPinReader> reader,
                    QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                    std::function<void(const QString& message)> failed);
    ~SerialKeyPoller();
    SerialKeyPoller(const SerialKeyPoller&) = delete;
    SerialKeyPoller& operator=(const SerialKeyPoller&) = delete;

  private:
    void poll();
    void stop();

    Clock& m_clock;
    std::unique_ptr<SerialPinReader> m_reader;
    QList<std::pair<SerialLine, Paddle>> m_lines;
    Contact m_contact;
    std::function<void(const QString&)> m_failed;
    bool m_down[2] = {false, false};
    Clock::TimerId m_timer = 0;
};
