#pragma once

#include <QString>

// The typed messages of the peer link: the type digits and the payloads that a sender and the
// receiver's dispatcher must spell alike.
namespace MessageType {
inline constexpr int Callsign = 0;
inline constexpr int Chat = 1;
inline constexpr int Role = 2;
inline constexpr int Mode = 3;
inline constexpr int Speed = 4;  // payload: a wire code of the speed table
inline constexpr int Question = 5;
inline constexpr int SetterStatus = 6;
inline constexpr int AnswererStatus = 7;
inline constexpr int ChatStatus = 8;
inline constexpr int CwChat = 9;
}  // namespace MessageType

// Type 2: the role the receiver takes.
namespace RoleCode {
inline const QString kBecomeAnswerer = QStringLiteral("S");
inline const QString kBecomeSetter = QStringLiteral("T");
}  // namespace RoleCode

// Type 3: the sender's mode.
namespace ModeCode {
inline const QString kTextChat = QStringLiteral("0");
inline const QString kCwChat = QStringLiteral("1");
inline const QString kStep = QStringLiteral("2");
inline const QString kNormal = QStringLiteral("3");
}  // namespace ModeCode

// Type 6: the setter's progress.
namespace SetterCode {
inline const QString kComposing = QStringLiteral("1");
inline const QString kQuestionSent = QStringLiteral("2");
inline const QString kAborted = QStringLiteral("3");
}  // namespace SetterCode

// Type 7: the answerer's progress.
namespace AnswererCode {
inline const QString kReady = QStringLiteral("1");
inline const QString kTestRunning = QStringLiteral("2");
inline const QString kTestFinished = QStringLiteral("3");
inline const QString kTestAborted = QStringLiteral("4");
}  // namespace AnswererCode

// Type 8: what the sender does in chat.
namespace ChatCode {
inline const QString kTyping = QStringLiteral("0");
inline const QString kSendingEnded = QStringLiteral("2");
inline const QString kReceiving = QStringLiteral("3");
inline const QString kReceivingEnded = QStringLiteral("4");
inline const QString kInputCleared = QStringLiteral("5");
}  // namespace ChatCode
