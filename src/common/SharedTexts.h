#pragma once

#include <QString>

// Texts that several subsystems set and compare, spelled here once.

// The application title: the main window's caption and the about box's (U+3000 between).
inline const QString kApplicationTitle = QStringLiteral("Quillstart\u3000<ネット版>");

// What each side is doing, as myMode and peerMode name it.
namespace ModeText {
inline const QString kNone = QStringLiteral("モード未選択");
inline const QString kNormal = QStringLiteral("ノーマルモード");
inline const QString kStep = QStringLiteral("ステップモード");
inline const QString kTextChat = QStringLiteral("文字チャットモード");
inline const QString kCwChat = QStringLiteral("CWチャットモード");
}  // namespace ModeText

// The words in the brackets of the role labels: teacherStatus and studentStatus.
namespace StatusWord {
// The setter's progress with a question.
inline const QString kComposing = QStringLiteral("問題作成中");
inline const QString kQuestionSent = QStringLiteral("問題送信済");
inline const QString kSettingAborted = QStringLiteral("出題中止");
// The answerer's progress with a test.
inline const QString kReady = QStringLiteral("解答準備完了");
inline const QString kTestRunning = QStringLiteral("受験中");
inline const QString kTestFinished = QStringLiteral("受験終了");
inline const QString kTestAborted = QStringLiteral("受験中止");
// Chat: typing, keying CW and hearing it.
inline const QString kTyping = QStringLiteral("(入力中)");
inline const QString kSending = QStringLiteral("送信中");
inline const QString kSendingEnded = QStringLiteral("送信終了");
inline const QString kReceiving = QStringLiteral("受信中");
inline const QString kReceivingEnded = QStringLiteral("受信終了");
}  // namespace StatusWord

// The captions of the main button StartButton_Command: the state of a lesson.
namespace StartCaption {
inline const QString kSet = QStringLiteral("出題");
inline const QString kReady = QStringLiteral("準備OK");
inline const QString kWaiting = QStringLiteral("出題待機");
inline const QString kPreparing = QStringLiteral("出題準備中");
inline const QString kStart = QStringLiteral("スタート");
inline const QString kNext = QStringLiteral("次の問題");
inline const QString kRetry = QStringLiteral("再挑戦");
}  // namespace StartCaption

// The captions of StopButton_Command: during a lesson and after it.
namespace StopCaption {
inline const QString kStop = QStringLiteral("ストップ");
inline const QString kModeSwitch = QStringLiteral("モード切替");
}  // namespace StopCaption

// The first line of the CW chat transcript.
inline const QString kCwChatOpening = QStringLiteral("***CWチャットモード開始***\r\n");
