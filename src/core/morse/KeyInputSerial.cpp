#include "core/morse/KeyInputSerial.h"

#include "core/morse/KeyInputSerialWatch.h"

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
    : SerialKeyPoller(clock, std::move(reader), nullptr, std::move(lines), std::move(contact),
                      std::move(failed)) {}

SerialKeyPoller::SerialKeyPoller(Clock& clock, std::unique_ptr<SerialLineWatch> watch,
                                 QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                                 std::function<void(const QString&)> failed)
    : SerialKeyPoller(clock, nullptr, std::move(watch), std::move(lines), std::move(contact),
                      std::move(failed)) {}

SerialKeyPoller::SerialKeyPoller(Clock& clock, std::unique_ptr<SerialPinReader> reader,
                                 std::unique_ptr<SerialLineWatch> watch,
                                 QList<std::pair<SerialLine, Paddle>> lines, Contact contact,
                                 std::function<void(const QString&)> failed)
    : m_clock(clock),
      m_reader(std::move(reader)),
      m_watch(std::move(watch)),
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
    if (m_watch) {
        for (const SerialLineWatch::Seen& seen : m_watch->take()) {
            if (!apply(seen.lines, seen.at)) {
                return;
            }
        }
    } else if (!apply(m_reader->read(), m_clock.now())) {
        return;
    }
    m_timer = m_clock.scheduleAt(m_clock.now() + kPollMs, [this] { poll(); });
}

bool SerialKeyPoller::apply(const std::optional<SerialPinReader::Lines>& lines, qint64 at) {
    if (!lines) {
        stop(at);
        if (m_failed) {
            m_failed(
                QStringLiteral("シリアルポートが読めなくなりました。キーの接続を確かめてから、"
                               "キー入力の設定で選び直してください。"));
        }
        return false;
    }
    for (const auto& [line, paddle] : m_lines) {
        const bool down = Closed(*lines, line);
        bool& was = m_down[static_cast<int>(paddle)];
        if (down != was) {
            was = down;
            m_contact(paddle, down, at);
        }
    }
    return true;
}

void SerialKeyPoller::stop(qint64 at) {
    for (int i = 0; i < 2; ++i) {
        if (m_down[i]) {
            m_down[i] = false;
            m_contact(static_cast<Paddle>(i), false, at);
        }
    }
}
