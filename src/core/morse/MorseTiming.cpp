#include "core/morse/MorseTiming.h"

#include <cmath>

#include "core/kit/SpeedTable.h"

float FineAdjustFactor(qint16 adjustValue) {
    switch (adjustValue) {
        case 20:
            return 1.2f;
        case 15:
            return 1.15f;
        case 10:
            return 1.1f;
        case 5:
            return 1.05f;
        case -5:
            return 0.95f;
        case -10:
            return 0.9f;
        case -15:
            return 0.85f;
        case -20:
            return 0.8f;
        default:
            return 1.0f;
    }
}

int ScaledDuration(int lengthMs, float factor) {
    const float product = static_cast<float>(lengthMs) * factor;
    return static_cast<int>(std::nearbyint(product));
}

bool IsFineAdjustStep(int adjustValue) {
    return adjustValue >= -20 && adjustValue <= 20 && adjustValue % 5 == 0;
}

QString FineAdjustCaption(int adjustValue) {
    if (!IsFineAdjustStep(adjustValue)) {
        return {};
    }
    if (adjustValue == 0) {
        return QStringLiteral("微調整 ±0%");
    }
    // The label shows the change of speed, the opposite sign of the value.
    const QChar sign = adjustValue < 0 ? u'+' : u'-';
    const int percent = std::abs(adjustValue);
    const QString digits =
        percent < 10 ? QStringLiteral(" %1").arg(percent) : QString::number(percent);
    return QStringLiteral("微調整 ") + sign + digits + u'%';
}

int UnitForSpeed(int charactersPerMinute) {
    const Speed* speed = SpeedForPerMinute(charactersPerMinute);
    return speed != nullptr ? speed->unitMs : 0;
}
