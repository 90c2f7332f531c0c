#include "ui/authoring/NoticeWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/PhraseLabel.h"

NoticeWindow::NoticeWindow(const QString& objectName, const QString& caption, Kind kind,
                           QWidget* parent)
    : QDialog(parent), m_body(new QVBoxLayout), m_buttons(new QHBoxLayout) {
    setObjectName(objectName);
    setWindowTitle(caption);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (kind == Kind::SizableWithMinMax) {
        flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                Qt::WindowMinMaxButtonsHint;
    }
    setWindowFlags(flags);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addLayout(m_body, 1);
    m_buttons->addStretch();
    layout->addLayout(m_buttons);
    if (kind == Kind::FixedDialog) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

QLabel* NoticeWindow::addMessage(const QString& objectName, const QString& text) {
    auto* label = new PhraseLabel(text, this);
    label->setObjectName(objectName);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 44);
    m_body->addWidget(label);
    return label;
}

QPushButton* NoticeWindow::addButton(const QString& objectName, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    m_buttons->addWidget(button);
    if (m_buttons->count() == 2) {
        button->setDefault(true);
    }
    return button;
}
