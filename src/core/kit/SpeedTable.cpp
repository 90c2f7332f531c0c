#include "core/kit/SpeedTable.h"

const Speed* SpeedForPerMinute(int perMinute) {
    for (const Speed& speed : kSpeeds) {
        if (speed.perMinute == perMinute) {
            return &speed;
        }
    }
    return nullptr;
}

const Speed* SpeedForWireCode(QStringView code) {
    for (const Speed& speed : kSpeeds) {
        if (speed.wireCode == code) {
            return &speed;
        }
    }
    return nullptr;
}
