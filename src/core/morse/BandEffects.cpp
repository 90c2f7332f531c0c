#include "core/morse/BandEffect.h"

bool BandEffect::isOn(const BandConditions& conditions) const {
    return fields.front().get(conditions) > 0;
}

QString BandEffect::summary(const BandConditions& conditions) const {
    return isOn(conditions) ? words(conditions) : QString();
}

const QList<const BandEffect*>& BandEffects() {
    static const QList<const BandEffect*> kEffects = {
        &NoiseEffect(),   &FadingEffect(), &StationsEffect(),
        &CrashesEffect(), &ChirpEffect(),  &FistEffect(),
    };
    return kEffects;
}

QString BandFigure(double value) {
    return QString::number(value, 'g', 4);
}
