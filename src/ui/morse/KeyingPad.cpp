#include "ui/morse/KeyingPad.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "core/kit/Clock.h"
#include "core/morse/KeyInputMap.h"
#include "core/morse/KeyInputSerial.h"
#include "core/morse/KeyInputSerialWatch.h"
#include "ui/morse/KeyInputPicture.h"

namespace {

QString KeyCaption(const QString& id) {
    const std::optional<KeyboardKey> key = KeyboardKeyById(id);
    return key ? key->caption : id;
}

QString Hint(const KeyInputSettings& s) {
    switch (s.source) {
        case KeySource::Keyboard:
            return s.paddles()
                       ? QStringLiteral("%1 キーが短点、%2 キーが長点のパドルです。")
                             .arg(KeyCaption(s.swapPaddles ? s.dashKey : s.dotKey),
                                  KeyCaption(s.swapPaddles ? s.dotKey : s.dashKey))
                       : QStringLiteral("%1 キーが電鍵です。").arg(KeyCaption(s.straightKey));
        case KeySource::Mouse:
            return s.paddles() ? QStringLiteral("ここでの左右のクリックがパドルです。")
                               : QStringLiteral("ここでの左クリックが電鍵です。");
        case KeySource::Serial:
            return QStringLiteral("シリアルポート %1 のキーで送信します。").arg(s.serialPort);
    }
    return {};
}

}  // namespace

KeyingPad::KeyingPad(Clock& clock, QWidget* parent)
    : QWidget(parent),
      m_clock(clock),
      m_session(clock),
      m_picture(new KeyInputPicture(this)),
      m_hint(new QLabel(this)),
      m_problem(new QLabel(this)) {
    setObjectName(QStringLiteral("keyingPad"));
    setAccessibleName(QStringLiteral("送信パッド"));
    setFocusPolicy(Qt::StrongFocus);
    m_hint->setWordWrap(true);
    m_problem->setWordWrap(true);
    m_problem->setTextFormat(Qt::PlainText);  // may name a port the system gave
    m_problem->setStyleSheet(QStringLiteral("color: #c00000"));
    m_problem->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_picture);
    layout->addWidget(m_hint);
    layout->addWidget(m_problem);
    connect(&m_session, &KeyingSession::characterDecoded, this, &KeyingPad::characterDecoded);
    connect(&m_session, &KeyingSession::keyStateChanged, this, &KeyingPad::keyStateChanged);
    setSettings(KeyInputSettings{});
}

KeyingPad::~KeyingPad() {
    m_serial.reset();
}

void KeyingPad::setSettings(const KeyInputSettings& settings) {
    releaseAll();
    m_serial.reset();
    m_settings = settings;
    m_session.setSettings(settings);
    m_picture->setPaddles(settings.paddles());
    m_hint->setText(Hint(settings) + QStringLiteral("（この枠にフォーカスがある間だけ）"));
    setAccessibleDescription(m_hint->text());
    setToolTip(m_hint->text());
    showProblem({});
    if (isVisible()) {
        openSerial();
    }
}

void KeyingPad::reset() {
    m_picture->releaseAll();
    m_session.reset();
}

void KeyingPad::setCompact(bool compact) {
    m_hint->setVisible(!compact);
}

void KeyingPad::finish() {
    m_picture->releaseAll();
    m_session.finish();
}

void KeyingPad::keyPressEvent(QKeyEvent* event) {
    if (!keyEvent(event, true)) {
        QWidget::keyPressEvent(event);
    }
}

void KeyingPad::keyReleaseEvent(QKeyEvent* event) {
    if (!keyEvent(event, false)) {
        QWidget::keyReleaseEvent(event);
    }
}

bool KeyingPad::keyEvent(QKeyEvent* event, bool down) {
    const std::optional<Paddle> paddle =
        KeyInputMap(m_settings).key(event->key(), event->nativeVirtualKey());
    if (!paddle) {
        return false;
    }
    if (!event->isAutoRepeat()) {
        contact(*paddle, down, eventTime(*event));
    }
    return true;
}

void KeyingPad::mousePressEvent(QMouseEvent* event) {
    if (const std::optional<Paddle> paddle = KeyInputMap(m_settings).mouse(event->button())) {
        contact(*paddle, true, eventTime(*event));
    }
}

void KeyingPad::mouseReleaseEvent(QMouseEvent* event) {
    if (const std::optional<Paddle> paddle = KeyInputMap(m_settings).mouse(event->button())) {
        contact(*paddle, false, eventTime(*event));
    }
}

void KeyingPad::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void KeyingPad::focusOutEvent(QFocusEvent* event) {
    releaseAll();
    update();
    QWidget::focusOutEvent(event);
}

void KeyingPad::paintEvent(QPaintEvent* /*event*/) {
    // The keys count only while the pad has the focus: it shows when it has.
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void KeyingPad::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        releaseAll();
    }
    QWidget::changeEvent(event);
}

void KeyingPad::showEvent(QShowEvent* event) {
    openSerial();
    QWidget::showEvent(event);
}

void KeyingPad::hideEvent(QHideEvent* event) {
    m_serial.reset();
    releaseAll();
    QWidget::hideEvent(event);
}

void KeyingPad::openSerial() {
    const auto lines = KeyInputMap(m_settings).serialLines();
    if (lines.isEmpty() || m_serial) {
        return;
    }
    QString error;
    std::unique_ptr<SerialPinReader> reader = OpenSerialPins(m_settings.serialPort, error);
    if (!reader) {
        showProblem(error);
        return;
    }
    // The clock reads a monotonic counter, which the watching thread may read too.
    m_serial = std::make_unique<SerialKeyPoller>(
        m_clock,
        std::make_unique<SerialLineWatch>(std::move(reader), [this] { return m_clock.now(); }),
        lines,
        [this](Paddle paddle, bool down, qint64 at) {
            // A key held while another window has the focus does nothing here either.
            if (!down || hasFocus()) {
                contact(paddle, down, at);
            }
        },
        [this](const QString& message) { showProblem(message); });
}

void KeyingPad::showProblem(const QString& message) {
    m_problem->setText(message);
    m_problem->setVisible(!message.isEmpty());
}

void KeyingPad::contact(Paddle paddle, bool down, qint64 at) {
    m_picture->setContact(paddle, down);
    m_session.contact(paddle, down, at);
}

qint64 KeyingPad::eventTime(const QInputEvent& event) {
    return m_inputTime.at(event.timestamp(), m_clock.now());
}

void KeyingPad::releaseAll() {
    m_picture->releaseAll();
    m_session.releaseAll();
}
