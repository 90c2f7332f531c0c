#include "core/morse/KeyInputSettings.h"

#include <algorithm>

#include "core/kit/ProgramSettings.h"

namespace {

const QString kPrefix = QStringLiteral("keying/");

// Indexes of the enums as kept; new values go at the end.
template <typename Enum>
Enum FromIndex(const QVariant& value, Enum fallback, int count) {
    bool ok = false;
    const int index = value.toInt(&ok);
    return ok && index >= 0 && index < count ? static_cast<Enum>(index) : fallback;
}

QString KeyOr(const QVariant& value, const QString& fallback) {
    return KeyboardKeyById(value.toString()) ? value.toString() : fallback;
}

int IntIn(const QVariant& value, int low, int high, int fallback) {
    bool ok = false;
    const int figure = value.toInt(&ok);
    return ok ? std::clamp(figure, low, high) : fallback;
}

}  // namespace

const QList<KeyboardKey>& KeyboardKeys() {
    // Key symbols of X11 for the keys that come in pairs.
    static const QList<KeyboardKey> keys = {
        {QStringLiteral("space"), QStringLiteral("スペース"), Qt::Key_Space, 0},
        {QStringLiteral("leftCtrl"), QStringLiteral("左 Ctrl"), Qt::Key_Control, 0xffe3},
        {QStringLiteral("rightCtrl"), QStringLiteral("右 Ctrl"), Qt::Key_Control, 0xffe4},
        {QStringLiteral("leftShift"), QStringLiteral("左 Shift"), Qt::Key_Shift, 0xffe1},
        {QStringLiteral("rightShift"), QStringLiteral("右 Shift"), Qt::Key_Shift, 0xffe2},
        {QStringLiteral("enter"), QStringLiteral("Enter"), Qt::Key_Return, 0},
        {QStringLiteral("z"), QStringLiteral("Z"), Qt::Key_Z, 0},
        {QStringLiteral("x"), QStringLiteral("X"), Qt::Key_X, 0},
        {QStringLiteral("period"), QStringLiteral("."), Qt::Key_Period, 0},
        {QStringLiteral("slash"), QStringLiteral("/"), Qt::Key_Slash, 0},
        {QStringLiteral("leftBracket"), QStringLiteral("["), Qt::Key_BracketLeft, 0},
        {QStringLiteral("rightBracket"), QStringLiteral("]"), Qt::Key_BracketRight, 0},
    };
    return keys;
}

std::optional<KeyboardKey> KeyboardKeyById(const QString& id) {
    for (const KeyboardKey& key : KeyboardKeys()) {
        if (key.id == id) {
            return key;
        }
    }
    return std::nullopt;
}

KeyInputSettings LoadKeyInputSettings(const ProgramSettings& store) {
    const KeyInputSettings fallback;
    const auto value = [&store](const char* name) {
        return store.value(kPrefix + QLatin1String(name));
    };
    KeyInputSettings s;
    s.source = FromIndex(value("source"), fallback.source, 3);
    s.mode = FromIndex(value("mode"), fallback.mode, 3);
    s.wpm = IntIn(value("wpm"), kLowestKeyerWpm, kHighestKeyerWpm, fallback.wpm);
    s.weight = IntIn(value("weight"), kLowestWeight, kHighestWeight, fallback.weight);
    s.swapPaddles = value("swapPaddles").toString() == u"true";
    s.straightKey = KeyOr(value("straightKey"), fallback.straightKey);
    s.dotKey = KeyOr(value("dotKey"), fallback.dotKey);
    s.dashKey = KeyOr(value("dashKey"), fallback.dashKey);
    s.serialPort = value("serialPort").toString().left(200);
    s.straightLine = FromIndex(value("straightLine"), fallback.straightLine, 3);
    s.dotLine = FromIndex(value("dotLine"), fallback.dotLine, 3);
    s.dashLine = FromIndex(value("dashLine"), fallback.dashLine, 3);
    return s;
}

bool SaveKeyInputSettings(ProgramSettings& store, const KeyInputSettings& s) {
    const auto set = [&store](const char* name, const QVariant& value) {
        return store.setValue(kPrefix + QLatin1String(name), value);
    };
    return set("source", static_cast<int>(s.source)) && set("mode", static_cast<int>(s.mode)) &&
           set("wpm", s.wpm) && set("weight", s.weight) && set("swapPaddles", s.swapPaddles) &&
           set("straightKey", s.straightKey) && set("dotKey", s.dotKey) &&
           set("dashKey", s.dashKey) && set("serialPort", s.serialPort) &&
           set("straightLine", static_cast<int>(s.straightLine)) &&
           set("dotLine", static_cast<int>(s.dotLine)) &&
           set("dashLine", static_cast<int>(s.dashLine));
}
