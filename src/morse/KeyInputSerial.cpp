#include "morse/KeyInputSerial.h"

namespace {

bool Closed(const SerialPinReader::Lines& lines, SerialLine line) {
    switch (line) {
        case SerialLine::Cts:
            return lines.cts;
        case SerialLine::Dsr:
            return lines.dsr;
        case SerialLine::Dcd:
            return lines.dcd;
    }
    return false;
}

}  // namespace

SerialKeyPoller::SerialKeyPoller(Clock& clock, std::unique_ptr<SerialPinReader> reader,
                                 QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                                 std::function<void(const QString&)> failed)
    : m_clock(clock),
      m_reader(std::move(reader)),
      m_lines(std::move(lines)),
      m_contact(std::move(contact)),
      m_failed(std::move(failed)) {
    poll();
}

SerialKeyPoller::~SerialKeyPoller() {
    if (m_timer != 0) {
        m_clock.cancel(m_timer);
    }
}

void SerialKeyPoller::poll() {
    m_timer = 0;
    const std::optional<SerialPinReader::Lines> lines = m_reader->read();
    if (!lines) {
        stop();
        if (m_failed) {
            m_failed(
                QStringLiteral("シリアルポートが読めなくなりました。キーの接続を確かめてから、"
                               "キー入力の設定で選び直してください。"));
        }
        return;
    }
    for (const auto& [line, paddle] : m_lines) {
        const bool down = Closed(*lines, line);
        bool& was = m_down[static_cast<int>(paddle)];
        if (down != was) {
            was = down;
            m_contact(paddle, down);
        }
    }
    m_timer = m_clock.scheduleAt(m_clock.now() + kPollMs, [this] { poll(); });
}

void SerialKeyPoller::stop() {
    for (int i = 0; i < 2; ++i) {
        if (m_down[i]) {
            m_down[i] = false;
            m_contact(static_cast<Paddle>(i), false);
        }
    }
}
