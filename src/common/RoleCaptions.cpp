#include "common/RoleCaptions.h"

namespace RoleCaption {

namespace {

const QString kAnswererChoosing = QStringLiteral("解答者：");

QString Bracketed(const QString& head, const QString& inside) {
    return head + u'[' + inside + u']';
}

}  // namespace

QString SetterPeer(const LinkState& s) {
    // The composing blink may paint once more after this side's lesson has cleared the status:
    // no status shows no brackets.
    if (s.teacherStatus.isEmpty()) {
        return SetterPeerIdle(s);
    }
    return Bracketed(kSetterIdle + s.peerCallsign, s.teacherStatus);
}

QString SetterPeerIdle(const LinkState& s) {
    return kSetterIdle + s.peerCallsign;
}

QString SetterSelf(const LinkState& s) {
    return kSetterIdle + s.myCallsign;
}

QString SetterSelfStatus(const LinkState& s) {
    return Bracketed(kSetterIdle + s.myCallsign, s.teacherStatus);
}

QString AnswererMode(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, s.peerMode + s.peerSpeed);
}

QString AnswererStatus(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, s.studentStatus);
}

QString AnswererSelf(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.myCallsign, s.myMode + s.mySpeed);
}

QString AnswererPeerChoosing(const LinkState& s) {
    return Bracketed(kAnswererChoosing + s.peerCallsign, s.peerMode + u'/' + s.peerSpeed);
}

QString AnswererSelfChoosing(const LinkState& s) {
    return Bracketed(kAnswererChoosing + s.myCallsign, s.myMode + s.mySpeed);
}

QString ChatSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, s.myMode + s.mySpeed);
}

QString ChatPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, s.peerMode + s.peerSpeed);
}

QString ChatTextSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, s.myMode);
}

QString ChatTextPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, s.peerMode);
}

QString ChatStatusSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, s.myMode + s.teacherStatus);
}

QString ChatStatusPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, s.peerMode + s.studentStatus);
}

}  // namespace RoleCaption
