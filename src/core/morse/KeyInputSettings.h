#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/morse/Keyer.h"

class ProgramSettings;

// Where the learner's key or paddles come in.
enum class KeySource { Keyboard, Mouse, Serial };

// The modem status lines a serial key interface closes the contacts on.
enum class SerialLine { Cts, Dsr, Dcd };

// A keyboard key as the key events give it: Qt's key code, and the X11 key symbol that tells the
// left and right of a pair apart (0: either).
struct KeyboardKey {
    QString id;  // kept in the settings file
    QString caption;
    int qtKey;
    quint32 keySymbol;
};

// The keys a key or a paddle may be on. Keys that move the focus or open menus are left out.
const QList<KeyboardKey>& KeyboardKeys();
std::optional<KeyboardKey> KeyboardKeyById(const QString& id);

// How the learner keys: what with, the keyer and its speed.
struct KeyInputSettings {
    KeySource source = KeySource::Keyboard;
    // A straight key on the space bar: what anyone can key with before choosing anything.
    KeyerMode mode = KeyerMode::Straight;
    int wpm = 18;
    int weight = 50;
    // Dots on the right, dashes on the left (a left-handed paddle).
    bool swapPaddles = false;
    // A straight key's one key and the paddles' two, by KeyboardKey id.
    QString straightKey = QStringLiteral("space");
    QString dotKey = QStringLiteral("leftCtrl");
    QString dashKey = QStringLiteral("rightCtrl");
    QString serialPort;
    SerialLine straightLine = SerialLine::Cts;
    SerialLine dotLine = SerialLine::Cts;
    SerialLine dashLine = SerialLine::Dsr;

    bool paddles() const { return mode != KeyerMode::Straight; }
    bool operator==(const KeyInputSettings&) const = default;
};

constexpr int kLowestKeyerWpm = 5;
constexpr int kHighestKeyerWpm = 50;
constexpr int kLowestWeight = 25;
constexpr int kHighestWeight = 75;

// Kept in the program's own settings file; anything unreadable falls back to the default.
KeyInputSettings LoadKeyInputSettings(const ProgramSettings& store);
bool SaveKeyInputSettings(ProgramSettings& store, const KeyInputSettings& settings);
