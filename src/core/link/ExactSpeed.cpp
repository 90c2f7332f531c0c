#include "core/link/ExactSpeed.h"

namespace {

const QString kSpeedPrefix = QStringLiteral("WPM1 ");

}  // namespace

QString ExactSpeedPayload(const FreeSpeed& speed) {
    return kSpeedPrefix + FreeSpeedFigures(speed);
}

std::optional<FreeSpeed> ParseExactSpeedPayload(const QString& payload) {
    if (!payload.startsWith(kSpeedPrefix)) {
        return std::nullopt;
    }
    return ParseFreeSpeedFigures(QStringView(payload).mid(kSpeedPrefix.size()));
}

QString ExactSpeedCaption(const FreeSpeed& speed) {
    QString caption = QString::number(speed.characterWpm);
    if (speed.stretched()) {
        caption += u'/' + QString::number(speed.effectiveWpm);
    }
    caption += QStringLiteral("WPM");
    if (speed.extraWordUnits > 0) {
        caption += u'+' + QString::number(speed.extraWordUnits);
    }
    return caption;
}
