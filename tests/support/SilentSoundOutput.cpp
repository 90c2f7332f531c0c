#include "support/SilentSoundOutput.h"

int SamplesDurationMs(qsizetype sampleCount, int sampleRate) {
    if (sampleRate <= 0 || sampleCount <= 0) {
        return 0;
    }
    return static_cast<int>((static_cast<qint64>(sampleCount) * 1000 + sampleRate - 1) /
                            sampleRate);
}
