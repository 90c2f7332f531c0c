#include "ui/authoring/QuestionForm.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/kit/Clock.h"
#include "core/kit/LinkState.h"
#include "core/kit/SharedTexts.h"
#include "core/lesson/QuestionFile.h"
#include "core/lesson/SilentCharacters.h"
#include "core/link/MessageCodes.h"
#include "core/link/QuillNetModule.h"
#include "ui/authoring/Notices.h"
#include "ui/kit/ControlHelpers.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/OptionGroupKeys.h"
#include "ui/kit/PhraseLabel.h"
#include "ui/kit/WindowOpening.h"

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
// The most characters the warning before sending names one by one.
constexpr int kSilentNamed = 20;

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

QuestionForm::QuestionForm(const FormContext& form, const LinkUi& ui, QuillNetModule& module)
    : QDialog(nullptr), m_form(form), m_ui(ui), m_module(module) {
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
    ChooseWithArrowKeys(m_methods);
    auto* methods = new QHBoxLayout(Frame1);
    methods->addWidget(KeyboardOption);
    methods->addWidget(TextFileOption);
    methods->addStretch();

    // Read by its text, whichever of its instructions it shows.
    TextBoxLabel = new PhraseLabel(QString(), this);
    TextBoxLabel->setObjectName(u"TextBoxLabel"_s);

    QuestionText = new QPlainTextEdit(this);
    QuestionText->setObjectName(u"QuestionText"_s);
    QuestionText->setAccessibleName(u"問題"_s);
    // Tab leaves the box: a tab in a question would sound nothing.
    QuestionText->setTabChangesFocus(true);
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
    GiveAccessKey(QuestionCompleteButton, 'C');
    GiveAccessKey(SendQuestionButton, 'S');
    GiveAccessKey(QuestionResumeButton, 'R');
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

    // From the keyboard: the method, the question, the three actions, then the key buttons.
    QWidget* previous = KeyboardOption;
    for (QWidget* next :
         std::initializer_list<QWidget*>{TextFileOption, QuestionText, QuestionCompleteButton,
                                         SendQuestionButton, QuestionResumeButton}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (QPushButton* key : keyButtons) {
        setTabOrder(previous, key);
        previous = key;
    }
}

void QuestionForm::setInstruction(const QString& text) {
    TextBoxLabel->setText(text);
    // Heard again with the box it is about when the box takes the focus.
    QuestionText->setAccessibleDescription(text);
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
    setInstruction(QString());
    QuestionText->clear();
    SetEnabled({QuestionCompleteButton, SendQuestionButton, QuestionResumeButton}, false);
    m_sent = false;
    KeyboardOption->setFocus();
}

void QuestionForm::Form_Unload() {
    m_questionBuf.clear();
    m_questionResumeBuf.clear();
}

bool QuestionForm::mayClose() {
    if (m_sent || m_form.clock.quitting() || QuestionText->toPlainText().isEmpty()) {
        return true;
    }
    return m_form.desktop.confirm(this, u"問題作成ウィンドウを閉じる"_s,
                                  u"作成中の問題はまだ送信していません。\n"
                                  u"閉じると、この問題は破棄され、出題は中止されます。"_s,
                                  u"破棄して閉じる"_s, u"作成を続ける"_s);
}

void QuestionForm::reject() {
    // Escape, and through closeEvent the close box and every close() from code.
    if (!mayClose()) {
        return;
    }
    Form_Unload();
    QDialog::reject();
}

void QuestionForm::closeEvent(QCloseEvent* event) {
    // Rejects a shown dialog, which asks first; a refusal leaves it shown and the event ignored.
    QDialog::closeEvent(event);
    if (event->isAccepted()) {
        Form_Unload();
    }
}

void QuestionForm::KeyboardOption_Click() {
    setKeyButtonsEnabled(true);
    setInstruction(kKeyboardHint);
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
    // A box emptied by hand empties the question: the key buttons start afresh.
    m_questionBuf = text;
}

void QuestionForm::TextFileOption_Click() {
    setKeyButtonsEnabled(false);
    setInstruction(QString());
    const QString chosen = m_form.desktop.openFileName(this, u"問題ファイルを開く"_s,
                                                       u"テキスト (*.txt);;全てのファイル (*.*)"_s);
    if (chosen.isEmpty()) {
        Deselect(TextFileOption);
        KeyboardOption->setChecked(true);
        return;
    }
    m_questionFilePath = chosen;
    if (ReadQuestionFile()) {
        setInstruction(u"読み込んだファイル："_s + QFileInfo(chosen).fileName());
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
    setInstruction(u"作成した問題を解答者に送信して下さい。"_s);
    QuestionCompleteButton->setEnabled(false);
    SetEnabled({SendQuestionButton, QuestionResumeButton}, true);
}

void QuestionForm::QuestionResumeButton_Click() {
    QuestionCompleteButton->setEnabled(true);
    QuestionText->setPlainText(m_questionResumeBuf);
    setInstruction(u"問題作成が終わりましたら、「作成完了」ボタンを押して下さい。"_s);
    SetEnabled({SendQuestionButton, QuestionResumeButton}, false);
}

bool QuestionForm::silentCharactersAccepted() {
    QStringList silent = SilentCharacters(m_questionResumeBuf);
    if (silent.isEmpty()) {
        return true;
    }
    if (silent.size() > kSilentNamed) {
        silent.resize(kSilentNamed);
        silent.append(u"ほか"_s);
    }
    return m_form.desktop.confirm(this, u"鳴らない文字があります"_s,
                                  u"この問題には、モールス符号で鳴らない文字があります：\n"_s +
                                      silent.join(u'\u3000') +
                                      u"\n解答者には聞こえませんが、出題数には数えられます。\n"
                                      u"このまま送信しますか？"_s,
                                  u"このまま送信"_s, u"戻って直す"_s);
}

void QuestionForm::SendQuestionButton_Click() {
    if (!silentCharactersAccepted()) {
        return;
    }
    m_sent = true;
    SetEnabled({QuestionCompleteButton, SendQuestionButton, QuestionResumeButton}, false);
    m_form.link.teacherStatus = LinkStatus::QuestionSent;
    m_module.SendNetMessage(MessageType::Question, m_questionResumeBuf);
    SendQuestionCompleteForm notice(m_form, m_ui, m_module, this);
    // The notice says the question has gone: it opens once the queue has written it and the
    // status after it, as this window's own modal wait.
    WaitUntil(m_form.clock, [this] { return m_module.sends().idle(); });
    ShowModal(m_form.clock, &notice, this, {2200, 2900});
}
