#include "ui/lesson/CopyCheckPanel.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/lesson/CopyScoring.h"
#include "ui/lesson/SoundDecodeTexts.h"

using namespace Qt::StringLiterals;

QString CopyCheckScoreText(const CopyAlignment& alignment) {
    const int percent = alignment.sentCharacters > 0
                            ? qRound(100.0 * alignment.rightCharacters / alignment.sentCharacters)
                            : 0;
    return CopyScoreText(alignment) + u" 正解率 %1%"_s.arg(percent);
}

CopyCheckPanel::CopyCheckPanel(SoundDecodingSession& session, Announcer& announcer, QWidget* parent)
    : QWidget(parent),
      m_session(session),
      m_announcer(announcer),
      m_copy(new QPlainTextEdit(this)),
      m_signal(new NamedComboBox(u"照合する信号"_s, this)),
      m_check(new QPushButton(u"照合(&K)"_s, this)),
      m_comparison(new QPlainTextEdit(this)),
      m_score(new AccessibleValueLabel(u"照合の結果"_s, this)) {
    NameControls({{m_copy, u"decodeOwnCopy"_s, u"自分の写し"_s},
                  {m_signal, u"decodeCheckSignal"_s, {}},
                  {m_check, u"decodeCheck"_s, u"照合"_s},
                  {m_comparison, u"decodeComparison"_s, u"照合した比較"_s},
                  {m_score, u"decodeScore"_s, {}}});
    m_copy->setTabChangesFocus(true);
    m_copy->setFixedHeight(m_copy->fontMetrics().lineSpacing() * 3 + 12);
    m_check->setAutoDefault(false);
    m_comparison->setReadOnly(true);
    m_comparison->setTabChangesFocus(true);
    m_comparison->setFixedHeight(m_comparison->fontMetrics().lineSpacing() * 2 + 16);
    m_comparison->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_score->setTextFormat(Qt::PlainText);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* copyCaption = new QLabel(u"自分の写し(&C)"_s, this);
    copyCaption->setBuddy(m_copy);
    grid->addWidget(copyCaption, 0, 0);
    grid->addWidget(m_copy, 0, 1);
    auto* signalCaption = new QLabel(u"照合する信号(&G)"_s, this);
    signalCaption->setBuddy(m_signal);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(m_signal);
    checkRow->addWidget(m_check);
    checkRow->addStretch();
    grid->addWidget(signalCaption, 1, 0);
    grid->addLayout(checkRow, 1, 1);
    grid->addWidget(m_comparison, 2, 1);
    grid->addWidget(m_score, 3, 1);

    connect(m_check, &QPushButton::clicked, this, &CopyCheckPanel::check);
    showSignals({});
}

void CopyCheckPanel::showSignals(const QList<SoundDecodingSession::Signal>& signalList) {
    while (m_signal->count() > signalList.size()) {
        m_signal->removeItem(m_signal->count() - 1);
    }
    for (int i = 0; i < signalList.size(); ++i) {
        const QString caption =
            u"信号%1（%2）"_s.arg(i + 1).arg(SoundDecodeTexts::Pitch(signalList[i].pitchHz));
        if (i < m_signal->count()) {
            m_signal->setItemText(i, caption);
        } else {
            m_signal->addItem(caption);
        }
    }
    m_check->setEnabled(!signalList.isEmpty());
}

void CopyCheckPanel::check() {
    const int signal = m_signal->currentIndex();
    if (signal < 0 || signal >= m_session.signalList().size()) {
        return;
    }
    const CopyAlignment alignment = m_session.checkCopy(signal, m_copy->toPlainText());
    ShowCopyComparison(m_comparison, alignment);
    m_score->setText(CopyCheckScoreText(alignment));
    m_announcer.announce(CopySpokenText(alignment));
}
