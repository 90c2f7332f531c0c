#include "core/link/ExactSpeed.h"

namespace {

const QString kPrefix = QStringLiteral("WPM1 ");

}  // namespace

QString ExactSpeedPayload(const FreeSpeed& speed) {
    return kPrefix + FreeSpeedFigures(speed);
}

std::optional<FreeSpeed> ParseExactSpeedPayload(const QString& payload) {
    if (!payload.startsWith(kPrefix)) {
        return std::nullopt;
    }
    return ParseFreeSpeedFigures(QStringView(payload).mid(kPrefix.size()));
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
