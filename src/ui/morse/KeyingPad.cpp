#include "ui/morse/KeyingPad.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

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
      m_clocked(clock, m_keyer),
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
    m_keyer.setOutput([this](const KeyEdge& edge) { keyed(edge); });
    newDecoder();
    setSettings(KeyInputSettings{});
}

KeyingPad::~KeyingPad() {
    m_serial.reset();
    m_keyer.setOutput({});
    cancelSilenceCheck();
}

void KeyingPad::setSettings(const KeyInputSettings& settings) {
    releaseAll();
    m_serial.reset();
    m_settings = settings;
    m_keyer.setMode(settings.mode);
    m_keyer.setSpeed(settings.wpm, settings.weight);
    m_picture->setPaddles(settings.paddles());
    m_hint->setText(Hint(settings) + QStringLiteral("（この枠にフォーカスがある間だけ）"));
    setAccessibleDescription(m_hint->text());
    setToolTip(m_hint->text());
    showProblem({});
    if (isVisible()) {
        openSerial();
    }
}

QString KeyingPad::decodedText() const {
    return m_decoder->text();
}

const std::vector<DecodedElement>& KeyingPad::timings() const {
    return m_decoder->elements();
}

const std::vector<DecodedCharacter>& KeyingPad::characters() const {
    return m_decoder->characters();
}

void KeyingPad::reset() {
    releaseAll();
    cancelSilenceCheck();
    m_lastEdge = -1;
    newDecoder();
}

void KeyingPad::setCompact(bool compact) {
    m_hint->setVisible(!compact);
}

void KeyingPad::finish() {
    releaseAll();
    cancelSilenceCheck();
    m_decoder->finish();
}

void KeyingPad::newDecoder() {
    m_decoder = std::make_unique<MorseDecoder>();
    m_decoder->setOutput([this](const QString& text) { emit characterDecoded(text); });
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
    m_clocked.contact(paddle, down, at);
}

qint64 KeyingPad::eventTime(const QInputEvent& event) {
    return m_inputTime.at(event.timestamp(), m_clock.now());
}

void KeyingPad::releaseAll() {
    m_picture->releaseAll();
    m_clocked.releaseAll();
}

void KeyingPad::cancelSilenceCheck() {
    if (m_silenceCheck != 0) {
        m_clock.cancel(m_silenceCheck);
        m_silenceCheck = 0;
    }
}

void KeyingPad::keyed(const KeyEdge& edge) {
    if (m_sidetone) {
        m_sidetone(edge.down);
    }
    emit keyStateChanged(edge.down);
    if (m_lastEdge >= 0) {
        const auto ms = static_cast<double>(edge.at - m_lastEdge);
        edge.down ? m_decoder->addGap(ms) : m_decoder->addMark(ms);
    }
    m_lastEdge = edge.at;
    cancelSilenceCheck();
    if (!edge.down) {
        // Shows the character once the silence after it is a character gap.
        const double boundary = std::sqrt(m_decoder->elementGapMs() * m_decoder->characterGapMs());
        checkSilenceAt(edge.at + static_cast<qint64>(std::ceil(boundary)) + 1,
                       &KeyingPad::showAfterSilence);
    }
}

// A check of the silence decides only after the events that came before it: one that runs late
// (the window thread was held up) lets the waiting events run first, since a key pressed
// meanwhile, stamped with its own time, ended the silence before the check was due.
void KeyingPad::checkSilenceAt(qint64 due, void (KeyingPad::*check)(), bool lateOnce) {
    m_silenceCheck = m_clock.scheduleAt(due, [this, due, check, lateOnce] {
        m_silenceCheck = 0;
        if (!lateOnce && m_clock.now() > due) {
            checkSilenceAt(m_clock.now(), check, true);
        } else {
            (this->*check)();
        }
    });
}

void KeyingPad::showAfterSilence() {
    tellSilence();
    // Then the space once the silence is a word gap: what waits for the end of a word (an echo
    // group's verdict) must not wait for the next key.
    const qint64 word =
        m_lastEdge + static_cast<qint64>(std::ceil(m_decoder->wordBoundaryMs())) + 1;
    if (m_clock.now() < word) {
        checkSilenceAt(word, &KeyingPad::tellSilence);
    }
}

void KeyingPad::tellSilence() {
    m_decoder->silence(static_cast<double>(m_clock.now() - m_lastEdge));
}
