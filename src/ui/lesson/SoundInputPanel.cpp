#include "ui/lesson/SoundInputPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/lesson/SoundDecodeTexts.h"

using namespace Qt::StringLiterals;

namespace {

// The meter's floor: quieter than this is no sound worth decoding.
constexpr int kLowestLevelDb = -60;

// What the list keeps of a source beside its caption, to record it again.
enum SourceRole { NameRole = Qt::UserRole, RateRole, ChannelsRole, MonitorRole };

}  // namespace

SoundInputPanel::SoundInputPanel(SoundDecodingSession& session, DesktopServices& desktop,
                                 Announcer& announcer, QWidget* parent)
    : QWidget(parent),
      m_session(session),
      m_desktop(desktop),
      m_sources(new NamedComboBox(u"入力"_s, this)),
      m_refresh(new QPushButton(u"更新(&U)"_s, this)),
      m_start(new QPushButton(u"開始(&S)"_s, this)),
      m_stop(new QPushButton(u"停止(&T)"_s, this)),
      m_file(new QPushButton(u"WAVファイルを開く(&W)..."_s, this)),
      m_level(new QProgressBar(this)),
      m_status(new AccessibleValueLabel(u"状態"_s, this)) {
    NameControls({{m_sources, u"decodeSources"_s, {}},
                  {m_refresh, u"decodeRefresh"_s, u"更新"_s},
                  {m_start, u"decodeStart"_s, u"開始"_s},
                  {m_stop, u"decodeStop"_s, u"停止"_s},
                  {m_file, u"decodeOpenFile"_s, u"WAVファイルを開く"_s},
                  {m_level, u"decodeLevel"_s, u"入力レベル"_s},
                  {m_status, u"decodeStatus"_s, {}}});
    m_level->setRange(kLowestLevelDb, 0);
    showLevel(kLowestLevelDb);
    m_status->setTextFormat(Qt::PlainText);  // a file's name and the system's reasons
    m_status->setWordWrap(true);
    m_status->setFocusPolicy(Qt::StrongFocus);
    for (QPushButton* button : {m_refresh, m_start, m_stop, m_file}) {
        button->setAutoDefault(false);
    }
    m_sources->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_sources->setMinimumContentsLength(24);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(u"入力(&I)"_s, this);
    caption->setBuddy(m_sources);
    grid->addWidget(caption, 0, 0);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_sources, 1);
    for (QPushButton* button : {m_refresh, m_start, m_stop, m_file}) {
        sourceRow->addWidget(button);
    }
    grid->addLayout(sourceRow, 0, 1);
    auto* levelCaption = new QLabel(u"入力レベル(&L)"_s, this);
    levelCaption->setBuddy(m_level);
    m_level->setFocusPolicy(Qt::StrongFocus);
    grid->addWidget(levelCaption, 1, 0);
    grid->addWidget(m_level, 1, 1);
    grid->addWidget(m_status, 2, 0, 1, 2);
    announcer.announceShownText(m_status, [](const QString& text) { return text; });

    connect(m_refresh, &QPushButton::clicked, &m_session, &SoundDecodingSession::listSources);
    connect(m_start, &QPushButton::clicked, this, &SoundInputPanel::startChosen);
    connect(m_stop, &QPushButton::clicked, &m_session, &SoundDecodingSession::stop);
    connect(m_file, &QPushButton::clicked, this, &SoundInputPanel::chooseFile);
    connect(&m_session, &SoundDecodingSession::sourcesListed, this, &SoundInputPanel::listed);
    connect(&m_session, &SoundDecodingSession::inputChanged, this, &SoundInputPanel::showState);
    connect(&m_session, &SoundDecodingSession::levelChanged, this,
            [this](double peakDb, double) { showLevel(peakDb); });
    connect(&m_session, &SoundDecodingSession::fileFinished, this,
            [this] { m_status->setText(SoundDecodeTexts::FileHeard(m_session.fileTruncated())); });
    showState();
    m_session.listSources();
}

void SoundInputPanel::listed(const QList<CaptureSource>& sources, CaptureFault fault) {
    const QString chosen = m_sources->currentData(NameRole).toString();
    m_sources->clear();
    for (const CaptureSource& source : sources) {
        m_sources->addItem(SoundDecodeTexts::SourceCaption(source), source.name);
        const int item = m_sources->count() - 1;
        m_sources->setItemData(item, source.sampleRate, RateRole);
        m_sources->setItemData(item, source.channels, ChannelsRole);
        m_sources->setItemData(item, source.monitorOfOutput, MonitorRole);
    }
    m_sources->setCurrentIndex(std::max(0, m_sources->findData(chosen, NameRole)));
    showState();
    if (fault != CaptureFault::None) {
        m_status->setText(SoundDecodeTexts::ListingFault(fault));
    } else if (sources.isEmpty()) {
        m_status->setText(u"録音できる入力が見つかりません。"_s);
    }
}

void SoundInputPanel::startChosen() {
    const int item = m_sources->currentIndex();
    if (item < 0) {
        return;
    }
    CaptureSource source;
    source.name = m_sources->itemData(item, NameRole).toString();
    source.description = m_sources->itemText(item);
    source.sampleRate = m_sources->itemData(item, RateRole).toInt();
    source.channels = m_sources->itemData(item, ChannelsRole).toInt();
    source.monitorOfOutput = m_sources->itemData(item, MonitorRole).toBool();
    m_session.startCapture(source);
    showState();
}

void SoundInputPanel::chooseFile() {
    const QString path = m_desktop.openFileName(
        this, u"解読するWAVファイル"_s, u"WAVファイル (*.wav *.WAV);;すべてのファイル (*)"_s);
    if (!path.isEmpty()) {
        openFile(path);
    }
}

void SoundInputPanel::openFile(const QString& path) {
    QString reason;
    const WaveInput::Result::Status status = m_session.openFile(path, &reason);
    if (status != WaveInput::Result::Status::Read) {
        m_status->setText(SoundDecodeTexts::FileRefused(status, reason));
        return;
    }
    showState();
}

void SoundInputPanel::showLevel(double peakDb) {
    const int shown = std::clamp(int(std::lround(peakDb)), kLowestLevelDb, 0);
    m_level->setValue(shown);
    m_level->setFormat(u"%1 dBFS"_s.arg(shown));
}

void SoundInputPanel::showState() {
    const bool hearing = m_session.input() != SoundDecodingSession::Input::None;
    m_start->setEnabled(m_sources->count() > 0);
    m_stop->setEnabled(hearing);
    if (!hearing) {
        showLevel(kLowestLevelDb);
    }
    m_status->setText(SoundDecodeTexts::Status(m_session));
}
