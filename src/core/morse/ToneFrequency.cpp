#include "core/morse/ToneFrequency.h"

#include <algorithm>
#include <limits>

namespace {

// The integer value of an optional sign and leading digits, held within
// +-10^12 so that an over-long text compares as out of range.
qint64 LeadingIntegerValue(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < trimmed.size() && (trimmed[pos] == u'-' || trimmed[pos] == u'+')) {
        negative = trimmed[pos] == u'-';
        ++pos;
    }
    constexpr qint64 kCap = 1'000'000'000'000;
    qint64 value = 0;
    for (; pos < trimmed.size() && trimmed[pos].isDigit() && trimmed[pos].unicode() < 128; ++pos) {
        value = qMin(kCap, value * 10 + (trimmed[pos].unicode() - u'0'));
    }
    return negative ? -value : value;
}

}  // namespace

bool IsAllowedToneCharacter(QChar typed) {
    return (typed >= u'0' && typed <= u'9') || typed.unicode() == 8;
}

QString ToneRangeChecked(const QString& text) {
    const qint64 value = LeadingIntegerValue(text);
    if (value < kLowestTone) {
        return QString::number(kLowestTone);
    }
    if (value > kHighestTone) {
        return QString::number(kHighestTone);
    }
    return text;
}

int ToneFrequencyForSound(const QString& text) {
    return static_cast<int>(
        std::clamp<qint64>(LeadingIntegerValue(text), kLowestTone, kHighestTone));
}

std::optional<qint16> ToneTextAsInt16(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() ||
        value > std::numeric_limits<qint16>::max()) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}
