#include "core/morse/KeyInputSerialWatch.h"

#include <chrono>

SerialLineWatch::SerialLineWatch(std::unique_ptr<SerialPinReader> reader,
                                 std::function<qint64()> now)
    : m_reader(std::move(reader)), m_now(std::move(now)), m_thread([this] { run(); }) {}

SerialLineWatch::~SerialLineWatch() {
    m_stop = true;
    m_thread.join();
}

std::vector<SerialLineWatch::Seen> SerialLineWatch::take() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_seen, {});
}

void SerialLineWatch::run() {
    std::optional<SerialPinReader::Lines> last;
    for (bool first = true; !m_stop; first = false) {
        const std::optional<SerialPinReader::Lines> lines = m_reader->read();
        const qint64 at = m_now();
        const bool changed = first || !lines || lines->cts != last->cts ||
                             lines->dsr != last->dsr || lines->dcd != last->dcd;
        if (changed) {
            const std::lock_guard lock(m_mutex);
            m_seen.push_back({lines, at});
        }
        if (!lines) {
            return;  // unplugged: nothing more to read
        }
        last = lines;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
