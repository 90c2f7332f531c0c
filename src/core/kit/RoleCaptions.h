#pragma once

#include <QString>

#include "core/kit/LinkState.h"

// The captions of the role labels TeacherLabel and StudentLabel, from the link state.
namespace RoleCaption {

inline const QString kSetterIdle = QStringLiteral("出題者:");
inline const QString kAnswererIdle = QStringLiteral("解答者:");

QString SetterPeer(const LinkState& s);        // 出題者:peer[teacherStatus], or 出題者:peer
QString SetterPeerIdle(const LinkState& s);    // 出題者:peer
QString SetterSelf(const LinkState& s);        // 出題者:me
QString SetterSelfStatus(const LinkState& s);  // 出題者:me[teacherStatus]
QString AnswererMode(const LinkState& s);      // 解答者:peer[peerMode peerSpeed]
QString AnswererStatus(const LinkState& s);    // 解答者:peer[studentStatus]
QString AnswererSelf(const LinkState& s);      // 解答者:me[myMode mySpeed]
// Right after a role was chosen, with a full-width colon (and a "/" on the setter's side).
QString AnswererPeerChoosing(const LinkState& s);  // 解答者：peer[peerMode/peerSpeed]
QString AnswererSelfChoosing(const LinkState& s);  // 解答者：me[myMode mySpeed]
QString ChatSelf(const LinkState& s);              // me[myMode mySpeed]
QString ChatPeer(const LinkState& s);              // peer[peerMode peerSpeed]
QString ChatTextSelf(const LinkState& s);          // me[myMode]
QString ChatTextPeer(const LinkState& s);          // peer[peerMode]
QString ChatStatusSelf(const LinkState& s);        // me[myMode teacherStatus]
QString ChatStatusPeer(const LinkState& s);        // peer[peerMode studentStatus]

}  // namespace RoleCaption
