#include "MainFormControls.h"

#include <QLineEdit>
#include <QScrollBar>

#include "MainFormUi.h"

QString MainFormControls::toneText() const {
    return m_ui.ToneText->text();
}

int MainFormControls::fineAdjustValue() const {
    return m_ui.Speed_HScroll->value();
}
