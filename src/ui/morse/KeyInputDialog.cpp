#include "ui/morse/KeyInputDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/morse/KeyInputSerial.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/kit/WindowOpening.h"
#include "ui/morse/KeyingPad.h"

namespace {

QComboBox* Combo(const QString& name, const QStringList& items) {
    auto* box = new NamedComboBox(name);
    box->addItems(items);
    return box;
}

QComboBox* KeyCombo(const QString& name) {
    auto* box = Combo(name, {});
    for (const KeyboardKey& key : KeyboardKeys()) {
        box->addItem(key.caption, key.id);
    }
    return box;
}

QComboBox* LineCombo(const QString& name) {
    return Combo(name, {QStringLiteral("CTS"), QStringLiteral("DSR"), QStringLiteral("DCD")});
}

QSpinBox* Spin(const QString& name, int low, int high, const QString& suffix) {
    auto* spin = new QSpinBox;
    spin->setAccessibleName(name);
    spin->setRange(low, high);
    spin->setSuffix(suffix);
    return spin;
}

void SelectData(QComboBox* box, const QString& data) {
    box->setCurrentIndex(std::max(0, box->findData(data)));
}

}  // namespace

KeyInputDialog::KeyInputDialog(Clock& clock, const KeyInputSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_clock(clock),
      m_source(
          Combo(QStringLiteral("入力"), {QStringLiteral("キーボード"), QStringLiteral("マウス"),
                                         QStringLiteral("シリアルポート")})),
      m_mode(
          Combo(QStringLiteral("キーの種類"), {QStringLiteral("縦振れ電鍵・バグキー（ストレート）"),
                                               QStringLiteral("パドル（エレキー モード A）"),
                                               QStringLiteral("パドル（エレキー モード B）")})),
      m_wpm(Spin(QStringLiteral("エレキーの速度"), kLowestKeyerWpm, kHighestKeyerWpm,
                 QStringLiteral(" WPM"))),
      m_weight(
          Spin(QStringLiteral("ウエイト"), kLowestWeight, kHighestWeight, QStringLiteral(" %"))),
      m_swap(new QCheckBox(QStringLiteral("パドルの左右を入れ替える(&R)"))),
      m_straightKey(KeyCombo(QStringLiteral("電鍵のキー"))),
      m_dotKey(KeyCombo(QStringLiteral("短点パドルのキー"))),
      m_dashKey(KeyCombo(QStringLiteral("長点パドルのキー"))),
      m_port(Combo(QStringLiteral("シリアルポート"), {})),
      m_straightLine(LineCombo(QStringLiteral("電鍵の信号線"))),
      m_dotLine(LineCombo(QStringLiteral("短点パドルの信号線"))),
      m_dashLine(LineCombo(QStringLiteral("長点パドルの信号線"))),
      m_pad(new KeyingPad(clock)),
      m_decoded(new AccessibleValueLabel(QStringLiteral("解読した文字"))) {
    setWindowTitle(QStringLiteral("キー入力の設定"));
    m_port->setEditable(true);  // a port the list does not show can be typed
    m_port->lineEdit()->setAccessibleName(m_port->accessibleName());
    m_refreshPorts = new QPushButton(QStringLiteral("ポート一覧を更新(&U)"));
    QPushButton* refresh = m_refreshPorts;
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("入力(&I):"), m_source);
    form->addRow(QStringLiteral("キーの種類(&K):"), m_mode);
    form->addRow(QStringLiteral("速度(&S):"), m_wpm);
    form->addRow(QStringLiteral("ウエイト(&W):"), m_weight);
    form->addRow(QString(), m_swap);
    form->addRow(QStringLiteral("電鍵のキー(&E):"), m_straightKey);
    form->addRow(QStringLiteral("短点パドルのキー(&D):"), m_dotKey);
    form->addRow(QStringLiteral("長点パドルのキー(&A):"), m_dashKey);
    form->addRow(QStringLiteral("シリアルポート(&P):"), m_port);
    form->addRow(QString(), refresh);
    form->addRow(QStringLiteral("電鍵の信号線(&L):"), m_straightLine);
    form->addRow(QStringLiteral("短点パドルの信号線(&T):"), m_dotLine);
    form->addRow(QStringLiteral("長点パドルの信号線(&H):"), m_dashLine);
    auto* trial = new QGroupBox(QStringLiteral("試し打ち（枠をクリックしてから）"));
    auto* trialLayout = new QVBoxLayout(trial);
    trialLayout->addWidget(m_pad);
    m_decoded->setTextFormat(Qt::PlainText);
    m_decoded->setFocusPolicy(Qt::TabFocus);  // screen readers reach it on the Tab chain
    trialLayout->addWidget(m_decoded);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(trial);
    layout->addWidget(buttons);

    listPorts(settings.serialPort);
    show(settings);
    for (QComboBox* box : {m_source, m_mode, m_straightKey, m_dotKey, m_dashKey, m_straightLine,
                           m_dotLine, m_dashLine}) {
        connect(box, &QComboBox::currentIndexChanged, this, &KeyInputDialog::changed);
    }
    connect(m_port, &QComboBox::currentTextChanged, this, &KeyInputDialog::changed);
    connect(m_wpm, &QSpinBox::valueChanged, this, &KeyInputDialog::changed);
    connect(m_weight, &QSpinBox::valueChanged, this, &KeyInputDialog::changed);
    connect(m_swap, &QCheckBox::toggled, this, &KeyInputDialog::changed);
    connect(refresh, &QPushButton::clicked, this, [this] { listPorts(m_port->currentText()); });
    connect(m_pad, &KeyingPad::characterDecoded, this,
            [this] { m_decoded->setText(m_pad->decodedText().right(40)); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        m_accepted = true;
        close();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    changed();
}

bool KeyInputDialog::OpenModal(QWidget* anchor) {
    m_accepted = false;
    ShowModal(m_clock, this, anchor->window(), {3500, 1900});
    return m_accepted;
}

void KeyInputDialog::listPorts(const QString& current) {
    const QSignalBlocker blocker(m_port);
    m_port->clear();
    m_port->addItems(SerialPortNames());
    m_port->setCurrentText(current);
}

void KeyInputDialog::show(const KeyInputSettings& s) {
    m_source->setCurrentIndex(static_cast<int>(s.source));
    m_mode->setCurrentIndex(static_cast<int>(s.mode));
    m_wpm->setValue(s.wpm);
    m_weight->setValue(s.weight);
    m_swap->setChecked(s.swapPaddles);
    SelectData(m_straightKey, s.straightKey);
    SelectData(m_dotKey, s.dotKey);
    SelectData(m_dashKey, s.dashKey);
    m_straightLine->setCurrentIndex(static_cast<int>(s.straightLine));
    m_dotLine->setCurrentIndex(static_cast<int>(s.dotLine));
    m_dashLine->setCurrentIndex(static_cast<int>(s.dashLine));
}

KeyInputSettings KeyInputDialog::settings() const {
    KeyInputSettings s;
    s.source = static_cast<KeySource>(m_source->currentIndex());
    s.mode = static_cast<KeyerMode>(m_mode->currentIndex());
    s.wpm = m_wpm->value();
    s.weight = m_weight->value();
    s.swapPaddles = m_swap->isChecked();
    s.straightKey = m_straightKey->currentData().toString();
    s.dotKey = m_dotKey->currentData().toString();
    s.dashKey = m_dashKey->currentData().toString();
    s.serialPort = m_port->currentText().trimmed();
    s.straightLine = static_cast<SerialLine>(m_straightLine->currentIndex());
    s.dotLine = static_cast<SerialLine>(m_dotLine->currentIndex());
    s.dashLine = static_cast<SerialLine>(m_dashLine->currentIndex());
    return s;
}

void KeyInputDialog::changed() {
    const KeyInputSettings s = settings();
    const bool keyboard = s.source == KeySource::Keyboard;
    const bool serial = s.source == KeySource::Serial;
    m_wpm->setEnabled(s.paddles());
    m_weight->setEnabled(s.paddles());
    m_swap->setEnabled(s.paddles());
    m_straightKey->setEnabled(keyboard && !s.paddles());
    m_dotKey->setEnabled(keyboard && s.paddles());
    m_dashKey->setEnabled(keyboard && s.paddles());
    m_port->setEnabled(serial);
    m_refreshPorts->setEnabled(serial);
    m_straightLine->setEnabled(serial && !s.paddles());
    m_dotLine->setEnabled(serial && s.paddles());
    m_dashLine->setEnabled(serial && s.paddles());
    m_pad->setSettings(s);
}
