#include "ui/morse/KeyInputPicture.h"

#include <QAccessible>
#include <QPainter>

namespace {

QString State(bool down) {
    return down ? QStringLiteral("押す") : QStringLiteral("離す");
}

}  // namespace

KeyInputPicture::KeyInputPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("keyInputPicture"));
    setAccessibleName(QStringLiteral("キーの状態"));
    setMinimumSize(120, 40);
    showState();
}

void KeyInputPicture::setPaddles(bool paddles) {
    m_paddles = paddles;
    releaseAll();
}

void KeyInputPicture::setContact(Paddle paddle, bool down) {
    m_down[static_cast<int>(paddle)] = down;
    showState();
}

void KeyInputPicture::releaseAll() {
    m_down[0] = m_down[1] = false;
    showState();
}

QString KeyInputPicture::stateText() const {
    if (!m_paddles) {
        return QStringLiteral("電鍵: ") + State(m_down[0]);
    }
    return QStringLiteral("短点パドル: ") + State(m_down[0]) + QStringLiteral("、長点パドル: ") +
           State(m_down[1]);
}

void KeyInputPicture::showState() {
    const QString text = stateText();
    if (accessibleDescription() != text) {
        setAccessibleDescription(text);
        setToolTip(text);
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    update();
}

void KeyInputPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    const int count = m_paddles ? 2 : 1;
    const double width = (area.width() - (count - 1) * 8) / count;
    for (int i = 0; i < count; ++i) {
        const QRectF contact(area.left() + i * (width + 8), area.top(), width, area.height());
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.setBrush(m_down[i] ? QColor(255, 170, 0) : palette().color(QPalette::Base));
        painter.drawRoundedRect(contact, 8, 8);
        painter.setPen(palette().color(QPalette::Text));
        const QString caption = !m_paddles ? QStringLiteral("電鍵")
                                : i == 0   ? QStringLiteral("短点")
                                           : QStringLiteral("長点");
        painter.drawText(contact, Qt::AlignCenter, caption);
    }
}
