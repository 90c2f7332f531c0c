#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "ui/kit/FormContext.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QuillNetModule;
struct LinkUi;

// The setter's question editor "問題作成ウィンドウ": a question typed, keyed with the 37 key
// buttons or read from a text file, finished ("作成完了"), resumed and sent. It lasts as long as
// the main window; each opening starts as designed, and closing empties the two buffers.
// Closing asks before a written question is thrown away, and sending names the characters that
// will not sound.
class QuestionForm : public QDialog {
    Q_OBJECT
  public:
    // The link's controls show the setter's state once the question is sent.
    QuestionForm(const FormContext& form, const LinkUi& ui, QuillNetModule& module);

    QPlainTextEdit* QuestionText = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* KeyboardOption = nullptr;
    QRadioButton* TextFileOption = nullptr;
    QLabel* TextBoxLabel = nullptr;
    // LetterA_Button … LetterZ_Button, Num1_Button … Num9_Button, Num0_Button, SpaceButton.
    std::array<QPushButton*, 37> keyButtons{};
    QPushButton* QuestionCompleteButton = nullptr;
    QPushButton* QuestionResumeButton = nullptr;
    QPushButton* SendQuestionButton = nullptr;

    const QString& QuestionBuf() const { return m_questionBuf; }
    const QString& QuestionResumeBuf() const { return m_questionResumeBuf; }
    const QString& QuestionFilePath() const { return m_questionFilePath; }
    // Whether this opening sent its question; a closing without it gives the setting up.
    bool questionSent() const { return m_sent; }

    void Form_Load();
    void Form_Unload();
    void KeyboardOption_Click();
    void TextFileOption_Click();
    // The 37 key buttons share this handler: each appends its character.
    void KeyButton_Click(QChar character);
    void QuestionText_Change();
    void QuestionCompleteButton_Click();
    void QuestionResumeButton_Click();
    void SendQuestionButton_Click();

    // Escape and the close box: a question written but not sent is discarded only when the
    // setter agrees.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void setKeyButtonsEnabled(bool enabled);
    bool ReadQuestionFile();
    void refuse(const QString& text);
    void setInstruction(const QString& text);
    bool mayClose();
    // Characters that will not sound are named before sending; false: the setter goes back.
    bool silentCharactersAccepted();

    FormContext m_form;
    const LinkUi& m_ui;
    QuillNetModule& m_module;
    QButtonGroup* m_methods = nullptr;
    QString m_questionBuf;
    QString m_questionResumeBuf;
    QString m_questionFilePath;
    bool m_sent = false;
};
