#include "core/sound/CaptureRing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

float DbfsOf(double amplitude) {
    return amplitude > 0 ? std::max(CaptureLevel::kSilenceDbfs,
                                    static_cast<float>(20 * std::log10(amplitude)))
                         : CaptureLevel::kSilenceDbfs;
}

}  // namespace

CaptureLevel LevelOf(std::span<const float> samples) {
    if (samples.empty()) {
        return {};
    }
    double peak = 0;
    double energy = 0;
    for (const float sample : samples) {
        const double value = std::isfinite(sample) ? sample : 0.0;
        peak = std::max(peak, std::abs(value));
        energy += value * value;
    }
    return {DbfsOf(peak), DbfsOf(std::sqrt(energy / static_cast<double>(samples.size())))};
}

CaptureRing::CaptureRing(int slotCount, int blockSamples)
    : m_slots(static_cast<size_t>(std::max(slotCount, 2))),
      m_blockSamples(static_cast<size_t>(std::max(blockSamples, 1))) {
    for (CaptureBlock& slot : m_slots) {
        slot.samples.reserve(m_blockSamples);
    }
}

void CaptureRing::putPeeked(const void* data, size_t bytes) {
    const size_t total = bytes / sizeof(float);
    const auto* from = static_cast<const unsigned char*>(data);
    for (size_t at = 0; at < total; at += m_blockSamples) {
        const size_t count = std::min(m_blockSamples, total - at);
        const size_t putAt = m_putAt.load(std::memory_order_relaxed);
        const size_t next = (putAt + 1) % m_slots.size();
        if (next == m_takeAt.load(std::memory_order_acquire)) {
            // Full: this block and the rest of the peek are lost, counted without a loop.
            const size_t left = total - at;
            m_dropped.fetch_add(static_cast<qint64>((left + m_blockSamples - 1) / m_blockSamples),
                                std::memory_order_relaxed);
            return;
        }
        std::vector<float>& samples = m_slots[putAt].samples;
        samples.resize(count);  // within the capacity reserved: no allocation
        if (from == nullptr) {
            std::fill(samples.begin(), samples.end(), 0.0f);
        } else {
            // Copied bytewise: the server's memory need not be aligned for a float.
            std::memcpy(samples.data(), from + at * sizeof(float), count * sizeof(float));
            for (float& sample : samples) {
                sample = std::isfinite(sample) ? sample : 0.0f;
            }
        }
        m_slots[putAt].level = LevelOf(samples);
        m_putAt.store(next, std::memory_order_release);
    }
}

bool CaptureRing::take(CaptureBlock& into) {
    const size_t takeAt = m_takeAt.load(std::memory_order_relaxed);
    if (takeAt == m_putAt.load(std::memory_order_acquire)) {
        return false;
    }
    into.samples.assign(m_slots[takeAt].samples.begin(), m_slots[takeAt].samples.end());
    into.level = m_slots[takeAt].level;
    m_takeAt.store((takeAt + 1) % m_slots.size(), std::memory_order_release);
    return true;
}
