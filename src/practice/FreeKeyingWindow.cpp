#include "practice/FreeKeyingWindow.h"

#include <QComboBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

#include "common/Clock.h"

namespace {

// X11 key symbols of the two Ctrl keys, which is how paddle adapters send the paddles.
constexpr quint32 kLeftControl = 0xffe3;
constexpr quint32 kRightControl = 0xffe4;

}  // namespace

FreeKeyingWindow::FreeKeyingWindow(Clock& clock, QWidget* parent)
    : QWidget(parent),
      m_clock(clock),
      m_clocked(clock, m_keyer),
      m_decoder(std::make_unique<MorseDecoder>()),
      m_mode(new QComboBox(this)),
      m_speed(new QSpinBox(this)),
      m_keyState(new QLabel(this)),
      m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("送信練習（自由送信）"));
    setFocusPolicy(Qt::StrongFocus);
    m_mode->addItems({QStringLiteral("縦振れ電鍵（ストレートキー）"),
                      QStringLiteral("パドル（エレキー モード A）"),
                      QStringLiteral("パドル（エレキー モード B）")});
    m_mode->setCurrentIndex(2);
    m_speed->setRange(5, 40);
    m_speed->setValue(18);
    m_speed->setSuffix(QStringLiteral(" WPM"));
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("解読した文字"));
    for (QWidget* control : {static_cast<QWidget*>(m_mode), static_cast<QWidget*>(m_speed),
                             static_cast<QWidget*>(m_text)}) {
        control->setFocusPolicy(Qt::ClickFocus);  // keys go to the window, not the controls
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("キーの種類"), m_mode);
    form->addRow(QStringLiteral("エレキーの速度"), m_speed);
    form->addRow(QStringLiteral("キーの状態"), m_keyState);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "スペースキーか左クリックが電鍵、左右の Ctrl キーか左右のクリックがパドルです。"),
        this));
    layout->addWidget(m_text);
    connect(m_mode, &QComboBox::currentIndexChanged, this, &FreeKeyingWindow::applySettings);
    connect(m_speed, &QSpinBox::valueChanged, this, &FreeKeyingWindow::applySettings);
    m_keyer.setOutput([this](const KeyEdge& edge) { keyed(edge); });
    applySettings();
}

FreeKeyingWindow::~FreeKeyingWindow() {
    m_keyer.setOutput({});
    if (m_silenceCheck != 0) {
        m_clock.cancel(m_silenceCheck);
    }
}

QString FreeKeyingWindow::decodedText() const {
    return m_decoder->text();
}

void FreeKeyingWindow::applySettings() {
    m_clocked.releaseAll();
    const KeyerMode modes[] = {KeyerMode::Straight, KeyerMode::IambicA, KeyerMode::IambicB};
    m_keyer.setMode(modes[std::clamp(m_mode->currentIndex(), 0, 2)]);
    m_keyer.setSpeed(m_speed->value());
    m_keyState->setText(QStringLiteral("離す"));
}

void FreeKeyingWindow::keyPressEvent(QKeyEvent* event) {
    if (!keyEvent(event, true)) {
        QWidget::keyPressEvent(event);
    }
}

void FreeKeyingWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!keyEvent(event, false)) {
        QWidget::keyReleaseEvent(event);
    }
}

bool FreeKeyingWindow::keyEvent(QKeyEvent* event, bool down) {
    Paddle paddle = Paddle::Dot;
    if (event->key() == Qt::Key_Space) {
        paddle = Paddle::Dot;
    } else if (event->key() == Qt::Key_Control) {
        paddle = event->nativeVirtualKey() == kRightControl ? Paddle::Dash : Paddle::Dot;
        if (event->nativeVirtualKey() != kLeftControl &&
            event->nativeVirtualKey() != kRightControl) {
            return false;
        }
    } else {
        return false;
    }
    if (!event->isAutoRepeat()) {
        contact(paddle, down);
    }
    return true;
}

void FreeKeyingWindow::mousePressEvent(QMouseEvent* event) {
    contact(event->button() == Qt::RightButton ? Paddle::Dash : Paddle::Dot, true);
}

void FreeKeyingWindow::mouseReleaseEvent(QMouseEvent* event) {
    contact(event->button() == Qt::RightButton ? Paddle::Dash : Paddle::Dot, false);
}

void FreeKeyingWindow::focusOutEvent(QFocusEvent* event) {
    m_clocked.releaseAll();
    QWidget::focusOutEvent(event);
}

void FreeKeyingWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        m_clocked.releaseAll();
    }
    QWidget::changeEvent(event);
}

void FreeKeyingWindow::contact(Paddle paddle, bool down) {
    m_clocked.contact(paddle, down);
}

void FreeKeyingWindow::keyed(const KeyEdge& edge) {
    if (m_sidetone) {
        m_sidetone(edge.down);
    }
    m_keyState->setText(edge.down ? QStringLiteral("押す") : QStringLiteral("離す"));
    if (m_lastEdge >= 0) {
        const auto ms = static_cast<double>(edge.at - m_lastEdge);
        edge.down ? m_decoder->addGap(ms) : m_decoder->addMark(ms);
    }
    m_lastEdge = edge.at;
    if (m_silenceCheck != 0) {
        m_clock.cancel(m_silenceCheck);
        m_silenceCheck = 0;
    }
    if (!edge.down) {
        // Shows the character once the silence after it is a character gap.
        const double boundary = std::sqrt(m_decoder->elementGapMs() * m_decoder->characterGapMs());
        m_silenceCheck =
            m_clock.scheduleAt(edge.at + static_cast<qint64>(std::ceil(boundary)) + 1, [this] {
                m_silenceCheck = 0;
                showAfterSilence();
            });
    }
    m_text->setPlainText(m_decoder->text());
}

void FreeKeyingWindow::showAfterSilence() {
    m_decoder->silence(static_cast<double>(m_clock.now() - m_lastEdge));
    m_text->setPlainText(m_decoder->text());
}
