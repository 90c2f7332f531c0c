#include "ui/lesson/SoundDecodeWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

#include "core/morse/WaterfallSpectrum.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/WindowOpening.h"
#include "ui/lesson/CopyCheckPanel.h"
#include "ui/lesson/DecodedSignalRows.h"
#include "ui/lesson/FistReportWindow.h"
#include "ui/lesson/SoundDecodeTexts.h"
#include "ui/lesson/SoundInputPanel.h"
#include "ui/lesson/WaterfallView.h"

using namespace Qt::StringLiterals;

namespace {

// A plain widget is presented as a filler, which screen readers do not announce as a window: this
// one is presented as the frame it is.
QAccessibleInterface* AsFrame(const QString& key, QObject* object) {
    if (key == u"SoundDecodeWindow"_s) {
        return new QAccessibleWidget(qobject_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

QGroupBox* Framed(const QString& title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

}  // namespace

SoundDecodeWindow::SoundDecodeWindow(SoundDecodingSession& session, Clock& clock,
                                     DesktopServices& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_session(session),
      m_announcer(new Announcer(this, clock)),
      m_input(new SoundInputPanel(session, desktop, *m_announcer, this)),
      m_waterfall(new WaterfallView(this)),
      m_follow(new QCheckBox(u"最も強い信号を自動で追う(&A)"_s, this)),
      m_clear(new QPushButton(u"解読文を消去(&E)"_s, this)),
      m_rows(new DecodedSignalRows(this)),
      m_copyCheck(new CopyCheckPanel(session, *m_announcer, this)) {
    static const bool installed = [] {
        QAccessible::installFactory(AsFrame);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(u"SoundDecodeWindow"_s);
    setWindowTitle(u"音声から解読"_s);
    setAccessibleName(u"音声から解読"_s);
    m_waterfall->setObjectName(u"decodeWaterfall"_s);
    m_follow->setObjectName(u"decodeFollowStrongest"_s);
    m_follow->setAccessibleName(u"最も強い信号を自動で追う"_s);
    m_follow->setChecked(m_session.followsStrongest());
    m_clear->setObjectName(u"decodeClear"_s);
    m_clear->setAccessibleName(u"解読文を消去"_s);
    m_clear->setAutoDefault(false);

    auto* waterfallArea = new QWidget(this);
    auto* waterfallLayout = new QVBoxLayout(waterfallArea);
    waterfallLayout->setContentsMargins(0, 0, 0, 0);
    auto* caption =
        new QLabel(u"ウォーターフォール(&F): クリックか矢印と Enter で信号を選ぶ"_s, this);
    caption->setBuddy(m_waterfall);
    waterfallLayout->addWidget(caption);
    waterfallLayout->addWidget(m_waterfall, 1);
    auto* followRow = new QHBoxLayout;
    followRow->addWidget(m_follow);
    followRow->addStretch();
    followRow->addWidget(m_clear);
    waterfallLayout->addLayout(followRow);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Framed(u"入力"_s, m_input, this));
    layout->addWidget(waterfallArea, 1);
    layout->addWidget(Framed(u"解読"_s, m_rows, this));
    layout->addWidget(Framed(u"写しの照合"_s, m_copyCheck, this));
    chainTabOrder();
    resize(760, 720);

    connect(m_follow, &QCheckBox::toggled, &m_session, &SoundDecodingSession::setFollowStrongest);
    connect(m_clear, &QPushButton::clicked, &m_session, &SoundDecodingSession::clear);
    connect(m_waterfall, &WaterfallView::pitchPicked, &m_session, &SoundDecodingSession::pickPitch);
    connect(m_waterfall, &WaterfallView::cursorMoved, this, [this](double hz) {
        m_announcer->announce(SoundDecodeTexts::Pitch(hz), u"ウォーターフォール"_s);
    });
    connect(&m_session, &SoundDecodingSession::waterfallRow, this, &SoundDecodeWindow::showRow);
    connect(&m_session, &SoundDecodingSession::signalsChanged, this,
            &SoundDecodeWindow::showSignals);
    connect(m_rows, &DecodedSignalRows::reportAsked, this, &SoundDecodeWindow::openReport);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &QWidget::close);
    showSignals();
}

// A session the window's children outlive (its parent, say) tells this window nothing more.
SoundDecodeWindow::~SoundDecodeWindow() {
    m_session.disconnect(this);
}

void SoundDecodeWindow::chainTabOrder() {
    QList<QWidget*> chain = {m_input->sources(),
                             m_input->refreshButton(),
                             m_input->startButton(),
                             m_input->stopButton(),
                             m_input->fileButton(),
                             m_input->level(),
                             m_input->status(),
                             m_waterfall,
                             m_follow,
                             m_clear};
    for (int i = 0; i < SoundDecodingSession::kMostSignals; ++i) {
        chain << m_rows->copyBox(i) << m_rows->reportButton(i);
    }
    chain << m_copyCheck->copy() << m_copyCheck->signalChoice() << m_copyCheck->checkButton()
          << m_copyCheck->comparison() << m_copyCheck->score();
    m_copyCheck->score()->setFocusPolicy(Qt::StrongFocus);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void SoundDecodeWindow::showRow(const std::vector<float>& levelsDb) {
    if (const WaterfallSpectrum* spectrum = m_session.waterfall()) {
        m_waterfall->addRow(levelsDb, spectrum->frequencyOf(0), spectrum->binSpacingHz());
    }
}

void SoundDecodeWindow::showSignals() {
    const QList<SoundDecodingSession::Signal>& signalList = m_session.signalList();
    m_rows->showSignals(signalList);
    m_copyCheck->showSignals(signalList);
    QList<double> pitches;
    for (const SoundDecodingSession::Signal& signal : signalList) {
        pitches << std::round(signal.pitchHz);  // a pitch refined by a hair redraws nothing
    }
    m_waterfall->setMarkers(pitches);
}

void SoundDecodeWindow::openReport(int signal) {
    if (signal < 0 || signal >= m_session.signalList().size()) {
        return;
    }
    const QString about = u"信号%1（%2）の送信"_s.arg(signal + 1)
                              .arg(SoundDecodeTexts::Pitch(m_session.signalList()[signal].pitchHz));
    auto* report = new FistReportWindow(m_session.fistReport(signal), about, this);
    report->setAttribute(Qt::WA_DeleteOnClose);
    ShowModeless(report, this, {600, 600});
}

void SoundDecodeWindow::closeEvent(QCloseEvent* event) {
    // Nothing records on behind a closed window.
    m_session.stop();
    QWidget::closeEvent(event);
}
