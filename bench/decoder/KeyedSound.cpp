#include "decoder/KeyedSound.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "core/sound/BandFading.h"

std::vector<float> RenderKeyed(const std::vector<KeyedDuration>& keyed, int rate,
                               const KeyedSoundSettings& settings) {
    const double snrDb = settings.snrDb;
    const double fadingHz = settings.fadingHz;
    const BandFading fading(settings.seed, fadingHz > 0 ? fadingHz : 1);
    std::vector<float> sound;
    const auto samplesOf = [rate](double ms) { return static_cast<size_t>(ms * rate / 1000); };
    sound.resize(samplesOf(1000), 0.0f);
    const size_t ramp = samplesOf(4);
    for (const KeyedDuration& element : keyed) {
        const size_t start = sound.size();
        const size_t length = samplesOf(element.ms);
        sound.resize(start + length, 0.0f);
        for (size_t n = 0; element.mark && n < length; ++n) {
            const double edge = std::min({1.0, double(n) / ramp, double(length - n) / ramp});
            const double shape = 0.5 - 0.5 * std::cos(M_PI * edge);
            const double gain =
                fadingHz > 0 ? fading.magnitude(static_cast<qint64>(start + n)) : 1.0;
            sound[start + n] = static_cast<float>(
                kKeyedAmplitude * gain * shape *
                std::sin(2 * M_PI * settings.pitchHz * double(start + n) / rate));
        }
    }
    sound.resize(sound.size() + samplesOf(1000), 0.0f);
    if (std::isfinite(snrDb)) {
        const double noisePower = kKeyedAmplitude * kKeyedAmplitude / 2 / std::pow(10, snrDb / 10) /
                                  (2500.0 / (rate / 2.0));
        std::mt19937 random(settings.seed);
        std::normal_distribution<double> noise(0, std::sqrt(noisePower));
        for (float& sample : sound) {
            sample += static_cast<float>(noise(random));
        }
    }
    return sound;
}
