#include "ui/morse/BandConditionsDialog.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/sound/BandRandom.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/kit/WindowOpening.h"

using namespace Qt::StringLiterals;

namespace {

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
    connect(presetCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_showing) {
            presetChosen(index);
        }
    });
    connect(newSeedButton, &QPushButton::clicked, this, &BandConditionsDialog::newSeed);
    connect(okButton, &QPushButton::clicked, this, [this] {
        m_accepted = true;
        hide();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QWidget::hide);
}

template <typename Spin, typename Figure>
Spin* BandConditionsDialog::edit(Figure BandConditions::*member, const QString& accessibleName,
                                 const QString& suffix, double step) {
    const BandConditionField& field = BandConditionFieldOf(member);
    auto* spin = new Spin;
    spin->setRange(static_cast<Figure>(field.low), static_cast<Figure>(field.high));
    if constexpr (std::is_same_v<Spin, QDoubleSpinBox>) {
        spin->setSingleStep(step);
        spin->setDecimals(step < 1 ? 2 : 0);
    }
    spin->setSuffix(suffix);
    spin->setAccessibleName(accessibleName);
    connect(spin, &Spin::valueChanged, this, &BandConditionsDialog::showPreset);
    m_editors.append({member, spin});
    return spin;
}

QCheckBox* BandConditionsDialog::edit(bool BandConditions::*member, const QString& caption) {
    auto* check = new QCheckBox(caption);
    connect(check, &QCheckBox::toggled, this, &BandConditionsDialog::showPreset);
    m_editors.append({member, check});
    return check;
}

void BandConditionsDialog::build() {
    using C = BandConditions;
    auto* form = new QFormLayout;
    presetCombo = new NamedComboBox(u"プリセット"_s);
    for (const BandPreset& preset : BandPresets()) {
        presetCombo->addItem(preset.name);
    }
    presetCombo->setPlaceholderText(u"個別の設定"_s);
    form->addRow(u"プリセット(&P)"_s, presetCombo);
    seedText = new QLineEdit;
    seedText->setAccessibleName(u"シード"_s);
    seedText->setValidator(
        new QRegularExpressionValidator(QRegularExpression(u"[0-9]{1,19}"_s), seedText));
    newSeedButton = new QPushButton(u"新しいシード(&N)"_s);
    form->addRow(u"シード(&D)"_s, Row({seedText, newSeedButton}));

    noiseCheck = edit(&C::noiseOn, u"雑音(&Z)"_s);
    snrSpin = edit<QDoubleSpinBox>(&C::snrDb, u"雑音に対する信号の強さ"_s, u" dB (500 Hz)"_s);
    form->addRow(noiseCheck, snrSpin);
    fadingCheck = edit(&C::fadingOn, u"フェージング(&F)"_s);
    fadingSpin = edit<QDoubleSpinBox>(&C::fadingHz, u"フェージングの速さ"_s, u" Hz"_s, 0.05);
    form->addRow(fadingCheck, fadingSpin);
    stationsSpin = edit<QSpinBox>(&C::stationCount, u"混信局の数"_s, u" 局"_s);
    spreadSpin = edit<QSpinBox>(&C::stationSpreadHz, u"混信局の周波数の広がり"_s, u" Hz"_s);
    form->addRow(u"混信局(&Q)"_s, Row({stationsSpin, spreadSpin}));
    wpmLowSpin = edit<QSpinBox>(&C::stationWpmLow, u"混信局の最低速度"_s, u" WPM"_s);
    wpmHighSpin = edit<QSpinBox>(&C::stationWpmHigh, u"混信局の最高速度"_s, u" WPM"_s);
    stationLevelSpin = edit<QDoubleSpinBox>(&C::stationLevelDb, u"混信局の強さ"_s, u" dB"_s);
    form->addRow(u"混信局の速度・強さ"_s, Row({wpmLowSpin, wpmHighSpin, stationLevelSpin}));
    crashesCheck = edit(&C::crashesOn, u"空電(&R)"_s);
    crashRateSpin = edit<QDoubleSpinBox>(&C::crashesPerSecond, u"空電の回数"_s, u" 回/秒"_s, 0.1);
    crashLevelSpin = edit<QDoubleSpinBox>(&C::crashDb, u"空電の強さ"_s, u" dB"_s);
    form->addRow(crashesCheck, Row({crashRateSpin, crashLevelSpin}));
    chirpCheck = edit(&C::chirpOn, u"チャープ(&I)"_s);
    chirpSpin = edit<QDoubleSpinBox>(&C::chirpHz, u"チャープの幅"_s, u" Hz"_s);
    form->addRow(chirpCheck, chirpSpin);
    fistCheck = edit(&C::fistOn, u"手送りの癖(&H)"_s);
    jitterSpin = edit<QDoubleSpinBox>(&C::jitterPercent, u"手送りのゆらぎ"_s, u" % ゆらぎ"_s);
    weightSpin = edit<QDoubleSpinBox>(&C::weightPercent, u"手送りの重み"_s, u" % 重み"_s);
    form->addRow(fistCheck, Row({jitterSpin, weightSpin}));

    okButton = new QPushButton(u"OK(&O)"_s);
    okButton->setDefault(true);
    cancelButton = new QPushButton(u"キャンセル(&C)"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void BandConditionsDialog::showConditions(const BandConditions& c) {
    m_showing = true;
    seedText->setText(QString::number(c.seed));
    for (const Editor& editor : m_editors) {
        const double figure = BandConditionFieldOf(editor.member).get(c);
        if (auto* check = qobject_cast<QCheckBox*>(editor.widget)) {
            check->setChecked(figure == 1);
        } else if (auto* spin = qobject_cast<QSpinBox*>(editor.widget)) {
            spin->setValue(static_cast<int>(figure));
        } else {
            static_cast<QDoubleSpinBox*>(editor.widget)->setValue(figure);
        }
    }
    m_showing = false;
    showPreset();
}

BandConditions BandConditionsDialog::conditions() const {
    BandConditions c;
    bool ok = false;
    const qulonglong seed = seedText->text().toULongLong(&ok);
    c.seed = ok ? seed : 1;
    for (const Editor& editor : m_editors) {
        double figure = 0;
        if (auto* check = qobject_cast<QCheckBox*>(editor.widget)) {
            figure = check->isChecked() ? 1 : 0;
        } else if (auto* spin = qobject_cast<QSpinBox*>(editor.widget)) {
            figure = spin->value();
        } else {
            figure = static_cast<QDoubleSpinBox*>(editor.widget)->value();
        }
        BandConditionFieldOf(editor.member).set(c, figure);
    }
    return c;
}

void BandConditionsDialog::showPreset() {
    if (m_showing) {
        return;
    }
    m_showing = true;
    presetCombo->setCurrentIndex(static_cast<int>(BandPresetIndexOf(conditions())));
    m_showing = false;
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
