#include "KeyPad.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/sound/PlannedStream.h"
#include "core/sound/RealSoundOutput.h"
#include "ui/morse/KeyingPad.h"

KeyPad::KeyPad(RealSoundOutput& sound, int toneHz) : m_sound(sound), m_toneHz(toneHz) {
    setObjectName(QStringLiteral("KeyPad"));
    setWindowTitle(QStringLiteral("keying"));
    setFocusPolicy(Qt::StrongFocus);
    resize(200, 100);
}

KeyPad::KeyPad(RealSoundOutput& sound, int toneHz, Clock& clock) : KeyPad(sound, toneHz) {
    m_pad = new KeyingPad(clock, this);
    KeyInputSettings straight;
    straight.mode = KeyerMode::Straight;
    m_pad->setSettings(straight);
    m_pad->setSidetone([this](bool down) { down ? m_sound.keyDown(m_toneHz) : m_sound.keyUp(); });
    m_pad->installEventFilter(this);
    (new QVBoxLayout(this))->addWidget(m_pad);
    setFocusProxy(m_pad);
}

bool KeyPad::note(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        return false;
    }
    (event->type() == QEvent::KeyPress ? m_downs : m_ups) << MonotonicMs();
    return true;
}

bool KeyPad::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pad &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        note(static_cast<QKeyEvent*>(event));
    }
    return false;  // the pad handles it
}

void KeyPad::keyPressEvent(QKeyEvent* event) {
    if (m_pad != nullptr || !note(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_sound.keyDown(m_toneHz);
}

void KeyPad::keyReleaseEvent(QKeyEvent* event) {
    if (m_pad != nullptr || !note(event)) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    m_sound.keyUp();
}
