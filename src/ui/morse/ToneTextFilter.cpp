#include "ui/morse/ToneTextFilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "core/morse/ToneFrequency.h"

ToneTextFilter::ToneTextFilter(QLineEdit* toneText, QObject* parent)
    : QObject(parent), m_toneText(toneText) {
    toneText->installEventFilter(this);
    // Pasting from the context menu bypasses the keys; the validator refuses
    // anything but digits there too.
    toneText->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), toneText));
}

void ToneTextFilter::MainForm_ToneText_LostFocus() {
    const QString checked = ToneRangeChecked(m_toneText->text());
    if (checked != m_toneText->text()) {
        m_toneText->setText(checked);
    }
}

bool ToneTextFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_toneText) {
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        MainForm_ToneText_LostFocus();
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    // Only keys that type a character are filtered; moving the cursor and
    // Delete keep working, and Tab, Enter and Escape go on to move the focus or reach the
    // window as they do from any box. Ctrl+V types a control character and is discarded.
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return false;
        default:
            break;
    }
    const QString typed = key->text();
    if (typed.isEmpty()) {
        return false;
    }
    return !(typed.size() == 1 && IsAllowedToneCharacter(typed.front()));
}
