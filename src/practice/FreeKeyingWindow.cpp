#include "practice/FreeKeyingWindow.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "morse/KeyingPad.h"

FreeKeyingWindow::FreeKeyingWindow(Clock& clock, QWidget* parent)
    : QWidget(parent), m_pad(new KeyingPad(clock, this)), m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("送信練習（自由送信）"));
    m_text->setReadOnly(true);
    m_text->setObjectName(QStringLiteral("decodedText"));
    m_text->setAccessibleName(QStringLiteral("解読した文字"));
    m_text->setFocusPolicy(Qt::ClickFocus);  // the keys go to the pad
    auto* clear = new QPushButton(QStringLiteral("消去(&C)"), this);
    clear->setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pad);
    layout->addWidget(m_text, 1);
    layout->addWidget(clear, 0, Qt::AlignRight);
    setFocusProxy(m_pad);
    connect(m_pad, &KeyingPad::characterDecoded, this,
            [this] { m_text->setPlainText(m_pad->decodedText()); });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_pad->reset();
        m_text->clear();
        m_pad->setFocus();
    });
}

void FreeKeyingWindow::setSettings(const KeyInputSettings& settings) {
    m_pad->setSettings(settings);
}

void FreeKeyingWindow::setSidetone(std::function<void(bool down)> sidetone) {
    m_pad->setSidetone(std::move(sidetone));
}

QString FreeKeyingWindow::decodedText() const {
    return m_pad->decodedText();
}
