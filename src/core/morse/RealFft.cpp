#include "core/morse/RealFft.h"

#include <fftw3.h>

#include <algorithm>
#include <mutex>

namespace {

std::mutex& FftPlannerLock() {
    static std::mutex lock;
    return lock;
}

size_t BinsFor(int length) {
    return static_cast<size_t>(length / 2 + 1);
}

}  // namespace

RealFft::RealFft(int length) : m_length(std::max(length, 2)) {
    const std::lock_guard guard(FftPlannerLock());
    m_input = fftwf_alloc_real(static_cast<size_t>(m_length));
    m_output = reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(BinsFor(m_length)));
    if (m_input != nullptr && m_output != nullptr) {
        // The standard lays std::complex<float> out as fftwf_complex: two floats.
        m_plan = fftwf_plan_dft_r2c_1d(m_length, m_input,
                                       reinterpret_cast<fftwf_complex*>(m_output), FFTW_ESTIMATE);
        std::fill_n(m_input, m_length, 0.0f);
    }
}

RealFft::~RealFft() {
    const std::lock_guard guard(FftPlannerLock());
    if (m_plan != nullptr) {
        fftwf_destroy_plan(static_cast<fftwf_plan>(m_plan));
    }
    fftwf_free(m_input);
    fftwf_free(m_output);
}

std::span<float> RealFft::input() {
    return m_input != nullptr ? std::span(m_input, static_cast<size_t>(m_length))
                              : std::span<float>();
}

std::span<const std::complex<float>> RealFft::transform() {
    if (m_plan == nullptr) {
        return {};
    }
    fftwf_execute(static_cast<fftwf_plan>(m_plan));
    return {m_output, BinsFor(m_length)};
}
