#include "common/RoleCaptions.h"

namespace RoleCaption {

namespace {

QString Bracketed(const QString& head, const QString& inside) {
    return head + u'[' + inside + u']';
}

}  // namespace

QString SetterPeer(const LinkState& s) {
    return Bracketed(kSetterIdle + s.peerCallsign, s.teacherStatus);
}

QString SetterSelf(const LinkState& s) {
    return kSetterIdle + s.myCallsign;
}

QString AnswererMode(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, s.peerMode + s.peerSpeed);
}

QString AnswererStatus(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, s.studentStatus);
}

QString ChatSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, s.myMode + s.mySpeed);
}

QString ChatPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, s.peerMode + s.peerSpeed);
}

QString ChatStatusSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, s.myMode + s.teacherStatus);
}

QString ChatStatusPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, s.peerMode + s.studentStatus);
}

}  // namespace RoleCaption
