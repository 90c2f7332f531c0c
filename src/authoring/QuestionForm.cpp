#include "authoring/QuestionForm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "authoring/Notices.h"
#include "authoring/QuestionFile.h"
#include "common/ControlHelpers.h"
#include "common/DesktopServices.h"
#include "common/LinkState.h"
#include "common/SharedTexts.h"
#include "common/WindowOpening.h"
#include "net/MessageCodes.h"
#include "net/QuillNetModule.h"

using namespace Qt::StringLiterals;

namespace {

// The key buttons in their rows of six: A–F, G–L, M–R, S–X, Y Z 1–4, 5–9 0; then the space.
constexpr QStringView kKeys = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 ";
constexpr int kKeyColumns = 6;
constexpr int kLetters = 26;

const QString kKeyboardHint =
    u"テキストボックスに問題を直接入力するか、下のキーボタンで問題を作成して下さい。"
    u"HR HR [BT],[AR]は記入不要（自動付加）です。"_s;
const QString kErrorTitle = u"問題ファイル読み込みエラー"_s;

QString KeyName(int index, QChar character) {
    if (character == u' ') {
        return u"SpaceButton"_s;
    }
    return index < kLetters ? u"Letter"_s + character + u"_Button"_s
                            : u"Num"_s + character + u"_Button"_s;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

QuestionForm::QuestionForm(const FormContext& form, QuillNetModule& module)
    : QDialog(nullptr), m_form(form), m_module(module) {
    setObjectName(u"QuestionForm"_s);
    setWindowTitle(u"問題作成ウィンドウ"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    buildControls();

    connect(KeyboardOption, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            KeyboardOption_Click();
        }
    });
    // A click, not a selection: choosing a file again from file mode opens the dialog again.
    connect(TextFileOption, &QRadioButton::clicked, this, &QuestionForm::TextFileOption_Click);
    for (QPushButton* button : keyButtons) {
        const QChar character = button == keyButtons.back() ? QChar(u' ') : button->text().front();
        connect(button, &QPushButton::clicked, this,
                [this, character] { KeyButton_Click(character); });
    }
    connect(QuestionText, &QPlainTextEdit::textChanged, this, &QuestionForm::QuestionText_Change);
    connect(QuestionCompleteButton, &QPushButton::clicked, this,
            &QuestionForm::QuestionCompleteButton_Click);
    connect(QuestionResumeButton, &QPushButton::clicked, this,
            &QuestionForm::QuestionResumeButton_Click);
    connect(SendQuestionButton, &QPushButton::clicked, this,
            &QuestionForm::SendQuestionButton_Click);
}

void QuestionForm::buildControls() {
    Frame1 = new QGroupBox(u"出題方法を選択して下さい。"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    KeyboardOption = new QRadioButton(u"文字入力"_s, Frame1);
    KeyboardOption->setObjectName(u"KeyboardOption"_s);
    TextFileOption = new QRadioButton(u"ファイル読み込み"_s, Frame1);
    TextFileOption->setObjectName(u"TextFileOption"_s);
    m_methods = new QButtonGroup(this);
    m_methods->addButton(KeyboardOption);
    m_methods->addButton(TextFileOption);
    auto* methods = new QHBoxLayout(Frame1);
    methods->addWidget(KeyboardOption);
    methods->addWidget(TextFileOption);
    methods->addStretch();

    TextBoxLabel = new QLabel(this);
    TextBoxLabel->setObjectName(u"TextBoxLabel"_s);
    TextBoxLabel->setTextFormat(Qt::PlainText);
    TextBoxLabel->setWordWrap(true);
    TextBoxLabel->setAccessibleName(u"入力の案内"_s);

    QuestionText = new QPlainTextEdit(this);
    QuestionText->setObjectName(u"QuestionText"_s);
    QuestionText->setAccessibleName(u"問題"_s);
    QuestionText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QuestionText->setMinimumHeight(QuestionText->fontMetrics().height() * 6);

    auto* grid = new QGridLayout;
    for (int index = 0; index < kKeys.size() - 1; ++index) {
        const QChar character = kKeys[index];
        QPushButton* key = MakeButton(this, KeyName(index, character), QString(character));
        keyButtons[static_cast<std::size_t>(index)] = key;
        grid->addWidget(key, index / kKeyColumns, index % kKeyColumns);
    }
    QPushButton* space = MakeButton(this, u"SpaceButton"_s, u"スペース"_s);
    keyButtons.back() = space;
    grid->addWidget(space, kLetters / kKeyColumns + 2, 0, 1, kKeyColumns);

    QuestionCompleteButton = MakeButton(this, u"QuestionCompleteButton"_s, u"作成完了"_s);
    SendQuestionButton = MakeButton(this, u"SendQuestionButton"_s, u"問題送信"_s);
    QuestionResumeButton = MakeButton(this, u"QuestionResumeButton"_s, u"作成続行"_s);
    auto* actions = new QVBoxLayout;
    for (QPushButton* button : {QuestionCompleteButton, SendQuestionButton, QuestionResumeButton}) {
        actions->addWidget(button);
    }
    actions->addStretch();

    auto* keysAndActions = new QHBoxLayout;
    keysAndActions->addLayout(grid, 1);
    keysAndActions->addLayout(actions);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(TextBoxLabel);
    layout->addWidget(QuestionText, 1);
    layout->addLayout(keysAndActions);
}

void QuestionForm::setKeyButtonsEnabled(bool enabled) {
    for (QPushButton* key : keyButtons) {
        key->setEnabled(enabled);
    }
}

void QuestionForm::Form_Load() {
    // Each opening begins as designed; only the file last chosen is remembered.
    m_methods->setExclusive(false);
    KeyboardOption->setChecked(false);
    TextFileOption->setChecked(false);
    m_methods->setExclusive(true);
    setKeyButtonsEnabled(true);
    TextBoxLabel->clear();
    QuestionText->clear();
    SetEnabled({QuestionCompleteButton, SendQuestionButton, QuestionResumeButton}, false);
}

void QuestionForm::Form_Unload() {
    m_questionBuf.clear();
    m_questionResumeBuf.clear();
}

void QuestionForm::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QDialog::closeEvent(event);
}

void QuestionForm::KeyboardOption_Click() {
    setKeyButtonsEnabled(true);
    TextBoxLabel->setText(kKeyboardHint);
    QuestionText->setFocus();
}

void QuestionForm::KeyButton_Click(QChar character) {
    m_questionBuf += character;
    QuestionText->setPlainText(m_questionBuf);
}

void QuestionForm::QuestionText_Change() {
    // The box shows a line break as LF; in the question every one is CR LF, as typed in a text
    // box on Windows and as read from a file.
    QString text = QuestionText->toPlainText();
    text.replace(u'\n', u"\r\n"_s);
    QuestionCompleteButton->setEnabled(!text.isEmpty());
    if (QuestionCompleteButton->isEnabled()) {
        m_questionBuf = text;
    }
}

void QuestionForm::TextFileOption_Click() {
    setKeyButtonsEnabled(false);
    TextBoxLabel->clear();
    const QString chosen = m_form.desktop.openFileName(this, u"問題ファイルを開く"_s,
                                                       u"テキスト (*.txt);;全てのファイル (*.*)"_s);
    if (chosen.isEmpty()) {
        Deselect(TextFileOption);
        KeyboardOption->setChecked(true);
        return;
    }
    m_questionFilePath = chosen;
    if (ReadQuestionFile()) {
        TextBoxLabel->setText(u"読み込んだファイル："_s + QFileInfo(chosen).fileName());
    }
}

void QuestionForm::refuse(const QString& text) {
    m_form.desktop.showMessage(this, DesktopServices::Icon::Warning, kErrorTitle, text);
}

bool QuestionForm::ReadQuestionFile() {
    const QuestionFile::Result file = QuestionFile::Read(m_questionFilePath);
    const QString name = QFileInfo(m_questionFilePath).fileName();
    switch (file.status) {
        case QuestionFile::Result::Status::Read:
            QuestionText->clear();
            QuestionText->setPlainText(file.text);
            return true;
        case QuestionFile::Result::Status::CannotOpen:
            refuse(u"ファイル「%1」を読み込めませんでした。\n%2"_s.arg(name, file.reason));
            break;
        case QuestionFile::Result::Status::NotRegularFile:
            refuse(
                u"「%1」は通常のファイルではない（フォルダー、名前付きパイプ、装置など）ため、"
                u"読み込めませんでした。"_s.arg(name));
            break;
        case QuestionFile::Result::Status::NotText:
            refuse(u"ファイル「%1」はテキストファイルではないため、読み込めません。"_s.arg(name));
            break;
        case QuestionFile::Result::Status::TooLong:
            refuse(
                u"ファイル「%1」は問題として長すぎるため、読み込めません。"
                u"問題は%2文字以内にして下さい。"_s.arg(name)
                    .arg(kLongestQuestion));
            break;
    }
    return false;
}

void QuestionForm::QuestionCompleteButton_Click() {
    m_questionResumeBuf = m_questionBuf;
    QuestionText->setPlainText(u"HR HR [BT]"_s + m_questionBuf + u"[AR]"_s);
    TextBoxLabel->setText(u"作成した問題を解答者に送信して下さい。"_s);
    QuestionCompleteButton->setEnabled(false);
    SetEnabled({SendQuestionButton, QuestionResumeButton}, true);
}

void QuestionForm::QuestionResumeButton_Click() {
    QuestionCompleteButton->setEnabled(true);
    QuestionText->setPlainText(m_questionResumeBuf);
    TextBoxLabel->setText(u"問題作成が終わりましたら、「作成完了」ボタンを押して下さい。"_s);
    SetEnabled({SendQuestionButton, QuestionResumeButton}, false);
}

void QuestionForm::SendQuestionButton_Click() {
    SetEnabled({QuestionCompleteButton, SendQuestionButton, QuestionResumeButton}, false);
    m_form.link.teacherStatus = StatusWord::kQuestionSent;
    m_module.SendNetMessage(MessageType::Question, m_questionResumeBuf);
    SendQuestionCompleteForm notice(m_form, m_module, this);
    ShowModal(m_form.clock, &notice, this, {2200, 2900});
}
