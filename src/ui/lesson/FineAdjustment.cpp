#include "ui/lesson/FineAdjustment.h"

#include <QLabel>
#include <QScrollBar>
#include <cmath>

#include "core/morse/MorseTiming.h"

FineAdjustment::FineAdjustment(QScrollBar* scroll, QLabel* label, QObject* parent)
    : QObject(parent), m_scroll(scroll), m_label(label) {
    connect(scroll, &QScrollBar::valueChanged, this,
            &FineAdjustment::MainForm_Speed_HScroll_Change);
    connect(scroll, &QScrollBar::sliderMoved, this, &FineAdjustment::MainForm_Speed_HScroll_Scroll);
    connect(scroll, &QScrollBar::sliderReleased, this, &FineAdjustment::snapToStep);
}

void FineAdjustment::MainForm_Speed_HScroll_Change() {
    FineAdjustLabel(m_scroll->value());
}

void FineAdjustment::MainForm_Speed_HScroll_Scroll(int position) {
    FineAdjustLabel(position);
}

void FineAdjustment::FineAdjustLabel(int value) {
    const QString caption = FineAdjustCaption(value);
    if (!caption.isEmpty()) {
        m_label->setText(caption);
    }
}

void FineAdjustment::snapToStep() {
    // A dragged thumb can stop between the steps, where the label and the
    // sound would disagree; it settles on the nearest step instead.
    const int value = m_scroll->value();
    const int snapped = static_cast<int>(std::nearbyint(value / 5.0)) * 5;
    if (snapped != value) {
        m_scroll->setValue(snapped);
    }
}
