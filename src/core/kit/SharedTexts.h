#pragma once

#include <QString>

// Texts that several subsystems set and compare, spelled here once.

// The application title: the main window's caption and the about box's (U+3000 between).
inline const QString kApplicationTitle = QStringLiteral("Quillstart\u3000<ネット版>");

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
