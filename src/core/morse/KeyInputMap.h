#pragma once

#include <qnamespace.h>
#include <QList>
#include <optional>
#include <utility>

#include "core/morse/KeyInputSettings.h"

// Which contact an input closes or opens under the settings: only the chosen source counts; a
// straight key has the one contact Dot, paddles Dot and Dash (swapped for a left hand).
class KeyInputMap {
  public:
    explicit KeyInputMap(const KeyInputSettings& settings) : m_settings(settings) {}

    std::optional<Paddle> key(int qtKey, quint32 keySymbol) const;
    std::optional<Paddle> mouse(Qt::MouseButton button) const;
    // The serial lines to watch and the contact each one is.
    QList<std::pair<SerialLine, Paddle>> serialLines() const;

  private:
    Paddle paddle(Paddle contact) const;

    KeyInputSettings m_settings;
};
