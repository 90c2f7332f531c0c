#include "KeyPad.h"

#include <QKeyEvent>

#include "sound/PlannedStream.h"
#include "sound/RealSoundOutput.h"

KeyPad::KeyPad(RealSoundOutput& sound, int toneHz) : m_sound(sound), m_toneHz(toneHz) {
    setObjectName(QStringLiteral("KeyPad"));
    setWindowTitle(QStringLiteral("keying"));
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 100);
}

void KeyPad::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_downs << MonotonicMs();
    m_sound.keyDown(m_toneHz);
}

void KeyPad::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    m_ups << MonotonicMs();
    m_sound.keyUp();
}
