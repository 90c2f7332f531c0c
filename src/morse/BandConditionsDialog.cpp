#include "morse/BandConditionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/WindowOpening.h"
#include "sound/BandRandom.h"

using namespace Qt::StringLiterals;

namespace {

QDoubleSpinBox* Spin(double low, double high, double step, const QString& suffix) {
    auto* spin = new QDoubleSpinBox;
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setDecimals(step < 1 ? 2 : 0);
    spin->setSuffix(suffix);
    return spin;
}

QSpinBox* IntSpin(int low, int high, const QString& suffix) {
    auto* spin = new QSpinBox;
    spin->setRange(low, high);
    spin->setSuffix(suffix);
    return spin;
}

QWidget* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : widgets) {
        layout->addWidget(w);
    }
    return row;
}

}  // namespace

BandConditionsDialog::BandConditionsDialog(Clock& clock, QWidget* parent)
    : QDialog(parent), m_clock(clock) {
    setObjectName(u"BandConditionsDialog"_s);
    setWindowTitle(u"バンドコンディション"_s);
    build();
    connect(presetCombo, &QComboBox::activated, this, &BandConditionsDialog::presetChosen);
    connect(newSeedButton, &QPushButton::clicked, this, &BandConditionsDialog::newSeed);
    connect(okButton, &QPushButton::clicked, this, [this] {
        m_accepted = true;
        hide();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::hide);
}

void BandConditionsDialog::build() {
    auto* form = new QFormLayout;
    presetCombo = new QComboBox;
    for (const BandPreset& preset : BandPresets()) {
        presetCombo->addItem(preset.name);
    }
    form->addRow(u"プリセット(&P)"_s, presetCombo);
    seedText = new QLineEdit;
    seedText->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"[0-9]{1,19}"_s), seedText));
    newSeedButton = new QPushButton(u"新しいシード(&N)"_s);
    form->addRow(u"シード(&D)"_s, Row({seedText, newSeedButton}));

    noiseCheck = new QCheckBox(u"雑音(&Z)"_s);
    snrSpin = Spin(-10, 60, 1, u" dB (500 Hz)"_s);
    form->addRow(noiseCheck, snrSpin);
    fadingCheck = new QCheckBox(u"フェージング(&F)"_s);
    fadingSpin = Spin(0.05, 30, 0.05, u" Hz"_s);
    form->addRow(fadingCheck, fadingSpin);
    stationsSpin = IntSpin(0, BandConditions::kMostStations, u" 局"_s);
    spreadSpin = IntSpin(100, 1500, u" Hz"_s);
    form->addRow(u"混信局(&Q)"_s, Row({stationsSpin, spreadSpin}));
    wpmLowSpin = IntSpin(5, 60, u" WPM"_s);
    wpmHighSpin = IntSpin(5, 60, u" WPM"_s);
    stationLevelSpin = Spin(-40, 20, 1, u" dB"_s);
    form->addRow(u"混信局の速度・強さ"_s, Row({wpmLowSpin, wpmHighSpin, stationLevelSpin}));
    crashesCheck = new QCheckBox(u"空電(&R)"_s);
    crashRateSpin = Spin(0, 10, 0.1, u" 回/秒"_s);
    crashLevelSpin = Spin(-30, 20, 1, u" dB"_s);
    form->addRow(crashesCheck, Row({crashRateSpin, crashLevelSpin}));
    chirpCheck = new QCheckBox(u"チャープ(&C)"_s);
    chirpSpin = Spin(0, 200, 1, u" Hz"_s);
    form->addRow(chirpCheck, chirpSpin);
    fistCheck = new QCheckBox(u"手送りの癖(&H)"_s);
    jitterSpin = Spin(0, 40, 1, u" % ゆらぎ"_s);
    weightSpin = Spin(-40, 40, 1, u" % 重み"_s);
    form->addRow(fistCheck, Row({jitterSpin, weightSpin}));

    okButton = new QPushButton(u"OK"_s);
    okButton->setDefault(true);
    cancelButton = new QPushButton(u"キャンセル"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void BandConditionsDialog::showConditions(const BandConditions& c) {
    seedText->setText(QString::number(c.seed));
    noiseCheck->setChecked(c.noiseOn);
    snrSpin->setValue(c.snrDb);
    fadingCheck->setChecked(c.fadingOn);
    fadingSpin->setValue(c.fadingHz);
    stationsSpin->setValue(c.stationCount);
    spreadSpin->setValue(c.stationSpreadHz);
    wpmLowSpin->setValue(c.stationWpmLow);
    wpmHighSpin->setValue(c.stationWpmHigh);
    stationLevelSpin->setValue(c.stationLevelDb);
    crashesCheck->setChecked(c.crashesOn);
    crashRateSpin->setValue(c.crashesPerSecond);
    crashLevelSpin->setValue(c.crashDb);
    chirpCheck->setChecked(c.chirpOn);
    chirpSpin->setValue(c.chirpHz);
    fistCheck->setChecked(c.fistOn);
    jitterSpin->setValue(c.jitterPercent);
    weightSpin->setValue(c.weightPercent);
}

BandConditions BandConditionsDialog::conditions() const {
    BandConditions c;
    bool ok = false;
    const qulonglong seed = seedText->text().toULongLong(&ok);
    c.seed = ok ? seed : 1;
    c.noiseOn = noiseCheck->isChecked();
    c.snrDb = snrSpin->value();
    c.fadingOn = fadingCheck->isChecked();
    c.fadingHz = fadingSpin->value();
    c.stationCount = stationsSpin->value();
    c.stationSpreadHz = spreadSpin->value();
    c.stationWpmLow = wpmLowSpin->value();
    c.stationWpmHigh = wpmHighSpin->value();
    c.stationLevelDb = stationLevelSpin->value();
    c.crashesOn = crashesCheck->isChecked();
    c.crashesPerSecond = crashRateSpin->value();
    c.crashDb = crashLevelSpin->value();
    c.chirpOn = chirpCheck->isChecked();
    c.chirpHz = chirpSpin->value();
    c.fistOn = fistCheck->isChecked();
    c.jitterPercent = jitterSpin->value();
    c.weightPercent = weightSpin->value();
    return c;
}

void BandConditionsDialog::presetChosen(int index) {
    const QList<BandPreset> presets = BandPresets();
    if (index < 0 || index >= presets.size()) {
        return;
    }
    // The seed stays: a class keeps sharing it while trying presets.
    BandConditions chosen = presets[index].conditions;
    chosen.seed = conditions().seed;
    showConditions(chosen);
}

void BandConditionsDialog::newSeed() {
    const auto now = static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
    // Short enough to read out to a class.
    seedText->setText(QString::number(BandRandom::Mix(now) % 1000000));
}

bool BandConditionsDialog::OpenModal(QWidget* anchor, const BandConditions& current) {
    showConditions(current);
    m_accepted = false;
    ShowModal(m_clock, this, anchor->window(), {3500, 1900});
    return m_accepted;
}
