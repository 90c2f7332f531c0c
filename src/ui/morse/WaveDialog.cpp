#include "ui/morse/WaveDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWindow>

#include "core/kit/Clock.h"
#include "core/kit/RecordFile.h"
#include "core/kit/SaveMessages.h"
#include "core/kit/SettingsRecords.h"
#include "core/morse/SoundControls.h"
#include "core/morse/ToneFrequency.h"
#include "core/morse/WaveGenerator.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/LabelledValueBar.h"
#include "ui/kit/WindowOpening.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLowestLevel = 1;
constexpr int kHighestLevel = 5;
// Before any level is saved: the middle of both scales, soft enough edges not to click and
// room left for louder. Bars and labels agree from the start.
constexpr int kDesignLevel = 3;

bool IsLevel(int value) {
    return value >= kLowestLevel && value <= kHighestLevel;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* MakeValueLabel(QWidget* parent, const QString& name, const QString& accessibleName,
                       const QString& text) {
    auto* label = new AccessibleValueLabel(accessibleName, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

// Read out as the figure its label shows (the volume label shows twice the level).
QScrollBar* MakeLevelBar(QWidget* parent, const QString& name, const QString& accessibleName,
                         int shownScale, QLabel* valueLabel) {
    auto* bar = new LabelledValueBar(shownScale, parent);
    bar->setValueLabel(valueLabel);
    bar->setObjectName(name);
    bar->setAccessibleName(accessibleName);
    bar->setRange(kLowestLevel, kHighestLevel);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(kDesignLevel);
    bar->setMinimumWidth(160);
    // Set from the keyboard too: the arrow keys move a bar that has the focus, Left towards its
    // left end (a scroll bar's keys run the other way unless told).
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setInvertedControls(false);
    return bar;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

QString QualityCaption(int level) {
    return QStringLiteral("[音質%1]").arg(level);
}

QString VolumeCaption(int level) {
    return QStringLiteral("[音量%1]").arg(level * 2);
}

WaveDialog::WaveDialog(WaveGenerator& wave, const SoundControls& controls, QString settingsPath,
                       Clock& clock, DesktopServices& desktop, QWidget* parent)
    : QDialog(parent),
      m_wave(wave),
      m_controls(controls),
      m_settingsPath(std::move(settingsPath)),
      m_clock(clock),
      m_desktop(desktop) {
    setObjectName(QStringLiteral("WaveDialog"));
    setWindowTitle(QStringLiteral("Wave音質設定"));
    buildControls();

    connect(WavQuarityHScroll, &QScrollBar::valueChanged, this,
            &WaveDialog::WaveDialog_WavQuarityHScroll_Change);
    connect(WavVolumeHScroll, &QScrollBar::valueChanged, this,
            &WaveDialog::WaveDialog_WavVolumeHScroll_Change);
    connect(TestButton, &QPushButton::clicked, this, &WaveDialog::WaveDialog_TestButton_Click);
    connect(SaveButton, &QPushButton::clicked, this, &WaveDialog::WaveDialog_SaveButton_Click);
    connect(CloseButton, &QPushButton::clicked, this, &WaveDialog::WaveDialog_CloseButton_Click);
}

void WaveDialog::buildControls() {
    QuarityLabel = MakeValueLabel(this, QStringLiteral("QuarityLabel"), u"音質の値"_s,
                                  QualityCaption(kDesignLevel));
    VolumeLabel = MakeValueLabel(this, QStringLiteral("VolumeLabel"), u"音量の値"_s,
                                 VolumeCaption(kDesignLevel));
    WavQuarityHScroll =
        MakeLevelBar(this, QStringLiteral("WavQuarityHScroll"), u"音質"_s, 1, QuarityLabel);
    WavVolumeHScroll =
        MakeLevelBar(this, QStringLiteral("WavVolumeHScroll"), u"音量"_s, 2, VolumeLabel);
    TestButton = MakeButton(this, QStringLiteral("TestButton"), u"テスト"_s);
    SaveButton = MakeButton(this, QStringLiteral("SaveButton"), u"設定保存"_s);
    CloseButton = MakeButton(this, QStringLiteral("CloseButton"), u"閉じる"_s);
    GiveAccessKey(TestButton, 'T');
    GiveAccessKey(SaveButton, 'V');
    GiveAccessKey(CloseButton, 'C');

    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, QStringLiteral("Label1"), u"柔らかい音質1　"_s), 0, 0);
    grid->addWidget(WavQuarityHScroll, 0, 1);
    grid->addWidget(MakeLabel(this, QStringLiteral("Label2"), u"硬い音質5"_s), 0, 2);
    grid->addWidget(QuarityLabel, 0, 3);
    grid->addWidget(MakeLabel(this, QStringLiteral("Label3"), u"小さい"_s), 1, 0, Qt::AlignRight);
    grid->addWidget(WavVolumeHScroll, 1, 1);
    grid->addWidget(MakeLabel(this, QStringLiteral("Label4"), u"大きい"_s), 1, 2);
    grid->addWidget(VolumeLabel, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {TestButton, SaveButton, CloseButton}) {
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void WaveDialog::ApplySavedLevels(const RecordFile& file) {
    const int quality = file.readInt(SettingsRecord::WaveQuality);
    if (IsLevel(quality)) {
        QuarityLabel->setText(QualityCaption(quality));
        WavQuarityHScroll->setValue(quality);
    }
    const int volume = file.readInt(SettingsRecord::WaveVolume);
    if (IsLevel(volume)) {
        VolumeLabel->setText(VolumeCaption(volume));
        WavVolumeHScroll->setValue(volume);
    }
}

void WaveDialog::OpenModal(QWidget* anchor) {
    QWidget* mainWindow = anchor->window();
    setFont(mainWindow->font());
    SaveButton->setEnabled(false);
    ShowModal(m_clock, this, mainWindow, {3500, 1900});
    // A level tried with the test button but not saved lasts only while the dialog is open.
    ApplySavedLevels(RecordFile(m_settingsPath));
}

void WaveDialog::WaveDialog_WavQuarityHScroll_Change(int level) {
    QuarityLabel->setText(QualityCaption(level));
    SaveButton->setEnabled(true);
}

void WaveDialog::WaveDialog_WavVolumeHScroll_Change(int level) {
    VolumeLabel->setText(VolumeCaption(level));
    SaveButton->setEnabled(true);
}

void WaveDialog::WaveDialog_TestButton_Click() {
    TestButton->setEnabled(false);
    m_wave.PlayTestWord(kTestWordUnitMs, m_controls.toneHz(), this,
                        [this] { TestButton->setEnabled(true); });
}

void WaveDialog::WaveDialog_SaveButton_Click() {
    RecordFile file(m_settingsPath);
    const RecordFile::Access access = file.writeAccess();
    QString why;
    if (access.refusal != RecordFile::Refusal::None) {
        why = SaveMessages::Refused(access, file.path(), u"音質と音量の設定"_s);
    } else {
        QStringList failed;
        if (!file.writeInt(SettingsRecord::WaveQuality,
                           static_cast<qint16>(WavQuarityHScroll->value()))) {
            failed << u"音質"_s;
        }
        if (!file.writeInt(SettingsRecord::WaveVolume,
                           static_cast<qint16>(WavVolumeHScroll->value()))) {
            failed << u"音量"_s;
        }
        if (!failed.isEmpty()) {
            why = SaveMessages::WritesFailed(file.path(), failed);
        }
    }
    // Not saved: the button stays enabled for another try, and the user is told why.
    SaveButton->setEnabled(!why.isEmpty());
    if (!why.isEmpty()) {
        const bool refused = access.refusal != RecordFile::Refusal::None;
        m_desktop.showMessage(
            this, refused ? DesktopServices::Icon::Critical : DesktopServices::Icon::Warning,
            u"設定保存"_s, why);
    }
}

void WaveDialog::WaveDialog_CloseButton_Click() {
    hide();
}
