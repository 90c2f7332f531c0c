#pragma once

#include <QtGlobal>
#include <atomic>
#include <cstddef>
#include <span>
#include <vector>

// How loud a block is, for a level meter: its peak and its RMS, in dB below full scale.
struct CaptureLevel {
    static constexpr float kSilenceDbfs = -120;
    float peakDbfs = kSilenceDbfs;
    float rmsDbfs = kSilenceDbfs;
};

CaptureLevel LevelOf(std::span<const float> samples);

struct CaptureBlock {
    std::vector<float> samples;
    CaptureLevel level;
};

// The recorded sound on its way from the sound server's thread to the window's: a fixed ring of
// blocks, one thread putting in and one taking out, neither ever waiting for the other. Every
// slot is allocated here, so putting in never allocates. When the taker falls behind, the newest
// blocks are dropped (the oldest are the taker's to take) and counted.
class CaptureRing {
  public:
    CaptureRing(int slotCount, int blockSamples);
    CaptureRing(const CaptureRing&) = delete;
    CaptureRing& operator=(const CaptureRing&) = delete;

    // The server's thread. What a peek of a mono float stream gave, cut into blocks of at most
    // blockSamples: data is null for a hole, which is silence of its length; a sample that is no
    // number is silence too, and a partial sample at the end is left out.
    void putPeeked(const void* data, size_t bytes);

    // The taking thread: the oldest block, false when none is waiting.
    bool take(CaptureBlock& into);

    qint64 dropped() const { return m_dropped.load(std::memory_order_relaxed); }

  private:
    std::vector<CaptureBlock> m_slots;
    size_t m_blockSamples;
    std::atomic<size_t> m_putAt{0};   // written by the putting thread only
    std::atomic<size_t> m_takeAt{0};  // written by the taking thread only
    std::atomic<qint64> m_dropped{0};
};
