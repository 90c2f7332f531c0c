#pragma once

#include <QString>

#include "common/LinkState.h"

// The captions of the role labels TeacherLabel and StudentLabel.
namespace RoleCaption {

inline const QString kSetterIdle = QStringLiteral("出題者:");
inline const QString kAnswererIdle = QStringLiteral("解答者:");

QString SetterPeer(const LinkState& s);      // 出題者:peer[teacherStatus]
QString SetterSelf(const LinkState& s);      // 出題者:me
QString AnswererMode(const LinkState& s);    // 解答者:peer[peerMode peerSpeed]
QString AnswererStatus(const LinkState& s);  // 解答者:peer[studentStatus]
QString ChatSelf(const LinkState& s);        // me[myMode mySpeed]
QString ChatPeer(const LinkState& s);        // peer[peerMode peerSpeed]
QString ChatStatusSelf(const LinkState& s);  // me[myMode teacherStatus]
QString ChatStatusPeer(const LinkState& s);  // peer[peerMode studentStatus]

}  // namespace RoleCaption
