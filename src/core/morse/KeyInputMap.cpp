#include "core/morse/KeyInputMap.h"

namespace {

bool Matches(const QString& id, int qtKey, quint32 keySymbol) {
    const std::optional<KeyboardKey> key = KeyboardKeyById(id);
    return key && key->qtKey == qtKey && (key->keySymbol == 0 || key->keySymbol == keySymbol);
}

}  // namespace

Paddle KeyInputMap::paddle(Paddle contact) const {
    if (!m_settings.swapPaddles) {
        return contact;
    }
    return contact == Paddle::Dot ? Paddle::Dash : Paddle::Dot;
}

std::optional<Paddle> KeyInputMap::key(int qtKey, quint32 keySymbol) const {
    if (m_settings.source != KeySource::Keyboard) {
        return std::nullopt;
    }
    if (!m_settings.paddles()) {
        return Matches(m_settings.straightKey, qtKey, keySymbol) ? std::optional(Paddle::Dot)
                                                                 : std::nullopt;
    }
    if (Matches(m_settings.dotKey, qtKey, keySymbol)) {
        return paddle(Paddle::Dot);
    }
    if (Matches(m_settings.dashKey, qtKey, keySymbol)) {
        return paddle(Paddle::Dash);
    }
    return std::nullopt;
}

std::optional<Paddle> KeyInputMap::mouse(Qt::MouseButton button) const {
    if (m_settings.source != KeySource::Mouse) {
        return std::nullopt;
    }
    if (button == Qt::LeftButton) {
        return m_settings.paddles() ? paddle(Paddle::Dot) : Paddle::Dot;
    }
    if (button == Qt::RightButton && m_settings.paddles()) {
        return paddle(Paddle::Dash);
    }
    return std::nullopt;
}

QList<std::pair<SerialLine, Paddle>> KeyInputMap::serialLines() const {
    if (m_settings.source != KeySource::Serial) {
        return {};
    }
    if (!m_settings.paddles()) {
        return {{m_settings.straightLine, Paddle::Dot}};
    }
    return {{m_settings.dotLine, paddle(Paddle::Dot)}, {m_settings.dashLine, paddle(Paddle::Dash)}};
}
