#include "ui/lesson/DecodedSignalRows.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/lesson/SoundDecodeTexts.h"

using namespace Qt::StringLiterals;

DecodedSignalRows::DecodedSignalRows(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < SoundDecodingSession::kMostSignals; ++i) {
        const QString number = QString::number(i + 1);
        Row& row = m_rows[size_t(i)];
        row.caption = new QLabel(u"信号"_s + number, this);
        row.pitch = new AccessibleValueLabel(u"信号%1の周波数"_s.arg(number), this);
        row.speed = new AccessibleValueLabel(u"信号%1の速度"_s.arg(number), this);
        row.copy = new QPlainTextEdit(this);
        // "&1" to "&4": each row's report reached by its number.
        row.report = new QPushButton(u"送信の評価(&%1)"_s.arg(number), this);
        NameControls(
            {{row.caption, u"signalCaption"_s + number, {}},
             {row.pitch, u"signalPitch"_s + number, {}},
             {row.speed, u"signalSpeed"_s + number, {}},
             {row.copy, u"signalCopy"_s + number, u"信号%1の解読文"_s.arg(number)},
             {row.report, u"signalReport"_s + number, u"信号%1の送信の評価"_s.arg(number)}});
        for (QLabel* label : {row.pitch, row.speed}) {
            label->setTextFormat(Qt::PlainText);  // figures of the sound heard
            label->setMinimumWidth(80);
        }
        row.copy->setReadOnly(true);
        row.copy->setTabChangesFocus(true);
        row.copy->setMaximumBlockCount(200);
        row.copy->setFixedHeight(row.copy->fontMetrics().lineSpacing() * 3 + 12);
        row.report->setAutoDefault(false);
        row.caption->setBuddy(row.copy);
        grid->addWidget(row.caption, i, 0);
        grid->addWidget(row.pitch, i, 1);
        grid->addWidget(row.speed, i, 2);
        grid->addWidget(row.copy, i, 3);
        grid->addWidget(row.report, i, 4);
        connect(row.report, &QPushButton::clicked, this, [this, i] { emit reportAsked(i); });
    }
    grid->setColumnStretch(3, 1);
    showSignals({});
}

void DecodedSignalRows::showSignals(const QList<SoundDecodingSession::Signal>& signalList) {
    for (int i = 0; i < SoundDecodingSession::kMostSignals; ++i) {
        const Row& row = m_rows[size_t(i)];
        const bool shown = i < signalList.size();
        SetVisible({row.caption, row.pitch, row.speed, row.copy, row.report}, shown);
        if (!shown) {
            row.copy->clear();
            continue;
        }
        const SoundDecodingSession::Signal& signal = signalList[i];
        row.caption->setText(signal.picked ? u"信号%1（選択）"_s.arg(i + 1)
                                           : u"信号%1"_s.arg(i + 1));
        row.pitch->setText(SoundDecodeTexts::Pitch(signal.pitchHz));
        row.speed->setText(SoundDecodeTexts::Speed(signal.wpm));
        showCopy(row.copy, signal);
    }
}

// Rewritten only when it changed, so that a reader's place in it and its scrolling stay.
void DecodedSignalRows::showCopy(QPlainTextEdit* box, const SoundDecodingSession::Signal& signal) {
    if (box->toPlainText() == signal.text + signal.tentative) {
        return;
    }
    box->clear();
    QTextCursor cursor(box->document());
    cursor.insertText(signal.text, QTextCharFormat());
    QTextCharFormat tentative;
    tentative.setForeground(Qt::gray);
    cursor.insertText(signal.tentative, tentative);
    box->moveCursor(QTextCursor::End);
}
