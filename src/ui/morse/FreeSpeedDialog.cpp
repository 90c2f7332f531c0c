#include "ui/morse/FreeSpeedDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/kit/ProgramSettings.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/NamedComboBox.h"

namespace {

QDoubleSpinBox* MakeSpin(const QString& name, double low, double high, const QString& suffix) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setDecimals(1);
    spin->setSingleStep(0.5);
    spin->setSuffix(suffix);
    return spin;
}

}  // namespace

FreeSpeedDialog::FreeSpeedDialog(ProgramSettings& store, QWidget* parent)
    : QDialog(parent), m_store(store), m_presets(LoadSpeedPresets(store)) {
    setObjectName(QStringLiteral("FreeSpeedDialog"));
    setWindowTitle(QStringLiteral("自由な速度とスペース"));
    buildControls();
    fillPresets();
    setSpeed(FreeSpeed{}, QStringLiteral("800"));
}

void FreeSpeedDialog::buildControls() {
    // Named by its label, not by the preset shown.
    m_presetBox = new NamedComboBox(QStringLiteral("プリセット"));
    m_presetBox->setObjectName(QStringLiteral("presetBox"));
    auto* pickButton = new QPushButton(QStringLiteral("呼び出す"));
    auto* deleteButton = new QPushButton(QStringLiteral("削除"));
    m_nameText = new QLineEdit;
    m_nameText->setObjectName(QStringLiteral("presetNameText"));
    m_nameText->setAccessibleName(QStringLiteral("プリセットの名前"));
    m_nameText->setMaxLength(40);
    auto* saveButton = new QPushButton(QStringLiteral("名前を付けて保存"));
    GiveAccessKey(pickButton, 'L');
    GiveAccessKey(deleteButton, 'D');
    GiveAccessKey(saveButton, 'A');

    m_characterSpin = MakeSpin(QStringLiteral("characterSpin"), FreeSpeed::kLowestWpm,
                               FreeSpeed::kHighestWpm, QStringLiteral(" WPM"));
    m_stretchCheck = new QCheckBox(QStringLiteral("ファーンズワース（実効速度）"));
    m_effectiveSpin = MakeSpin(QStringLiteral("effectiveSpin"), FreeSpeed::kLowestWpm / 5,
                               FreeSpeed::kHighestWpm, QStringLiteral(" WPM"));
    m_effectiveSpin->setAccessibleName(QStringLiteral("実効速度"));
    m_extraSpin = MakeSpin(QStringLiteral("extraSpin"), 0, FreeSpeed::kMostExtraWordUnits,
                           QStringLiteral(" 短点"));
    m_figureLabel = new QLabel;
    m_figureLabel->setTextFormat(Qt::PlainText);
    m_messageLabel = new QLabel;
    m_messageLabel->setTextFormat(Qt::PlainText);

    auto* form = new QFormLayout;
    auto* presetRow = new QHBoxLayout;
    presetRow->addWidget(m_presetBox, 1);
    presetRow->addWidget(pickButton);
    presetRow->addWidget(deleteButton);
    form->addRow(QStringLiteral("プリセット"), presetRow);
    form->addRow(QStringLiteral("文字の速度"), m_characterSpin);
    form->addRow(m_stretchCheck, m_effectiveSpin);
    form->addRow(QStringLiteral("語間の追加"), m_extraSpin);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameText, 1);
    nameRow->addWidget(saveButton);
    form->addRow(QStringLiteral("名前"), nameRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_figureLabel);
    layout->addWidget(m_messageLabel);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A preset chosen in the list is taken at once, so OK applies what the list shows.
    connect(m_presetBox, &QComboBox::activated, this, &FreeSpeedDialog::pickPreset);
    connect(pickButton, &QPushButton::clicked, this,
            [this] { pickPreset(m_presetBox->currentIndex()); });
    connect(deleteButton, &QPushButton::clicked, this,
            [this] { deletePreset(m_presetBox->currentIndex()); });
    connect(saveButton, &QPushButton::clicked, this, [this] { savePreset(m_nameText->text()); });
    for (QDoubleSpinBox* spin : {m_characterSpin, m_effectiveSpin, m_extraSpin}) {
        connect(spin, &QDoubleSpinBox::valueChanged, this, &FreeSpeedDialog::showFigures);
    }
    connect(m_stretchCheck, &QCheckBox::toggled, this, &FreeSpeedDialog::showFigures);
}

void FreeSpeedDialog::fillPresets() {
    m_presetBox->clear();
    for (const SpeedPreset& preset : m_presets) {
        m_presetBox->addItem(preset.name);
    }
}

void FreeSpeedDialog::setSpeed(const FreeSpeed& speed, const QString& toneText) {
    m_toneText = toneText;
    m_characterSpin->setValue(speed.characterWpm);
    m_stretchCheck->setChecked(speed.stretched());
    m_effectiveSpin->setValue(speed.stretched() ? speed.effectiveWpm : speed.characterWpm);
    m_extraSpin->setValue(speed.extraWordUnits);
    showFigures();
}

FreeSpeed FreeSpeedDialog::speed() const {
    FreeSpeed speed;
    speed.characterWpm = m_characterSpin->value();
    speed.effectiveWpm = m_stretchCheck->isChecked() ? m_effectiveSpin->value() : 0;
    speed.extraWordUnits = m_extraSpin->value();
    return speed;
}

void FreeSpeedDialog::showFigures() {
    m_effectiveSpin->setEnabled(m_stretchCheck->isChecked());
    const FreeSpeedTimes times = TimesFor(speed());
    m_figureLabel->setText(QStringLiteral("%1\n短点 %2 ms、字間 %3 ms、語間 %4 ms")
                               .arg(FreeSpeedText(speed()))
                               .arg(times.unitMs, 0, 'f', 1)
                               .arg(times.characterGapMs, 0, 'f', 0)
                               .arg(times.wordGapMs, 0, 'f', 0));
}

void FreeSpeedDialog::pickPreset(int index) {
    if (index < 0 || index >= m_presets.size()) {
        return;
    }
    const SpeedPreset& preset = m_presets.at(index);
    setSpeed(preset.speed, preset.toneText);
    m_nameText->setText(preset.name);
}

bool FreeSpeedDialog::keepPresets() {
    fillPresets();
    if (!SaveSpeedPresets(m_store, m_presets)) {
        m_messageLabel->setText(
            QStringLiteral("プリセットを %1 に保存できませんでした。").arg(m_store.path()));
        return false;
    }
    m_messageLabel->clear();
    return true;
}

bool FreeSpeedDialog::savePreset(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        m_messageLabel->setText(QStringLiteral("プリセットの名前を入力して下さい。"));
        return false;
    }
    const SpeedPreset preset{trimmed, speed(), m_toneText};
    const auto same = std::find_if(m_presets.begin(), m_presets.end(),
                                   [&](const SpeedPreset& p) { return p.name == trimmed; });
    const qsizetype index = same - m_presets.begin();
    if (same != m_presets.end()) {
        *same = preset;
    } else {
        m_presets.append(preset);
    }
    const bool kept = keepPresets();
    m_presetBox->setCurrentIndex(static_cast<int>(index));
    return kept;
}

bool FreeSpeedDialog::deletePreset(int index) {
    if (index < 0 || index >= m_presets.size()) {
        return false;
    }
    m_presets.removeAt(index);
    return keepPresets();
}
