#include "core/kit/RoleCaptions.h"

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
    if (s.teacherStatus == LinkStatus::Empty) {
        return SetterPeerIdle(s);
    }
    return Bracketed(kSetterIdle + s.peerCallsign, Text(s.teacherStatus));
}

QString SetterPeerIdle(const LinkState& s) {
    return kSetterIdle + s.peerCallsign;
}

QString SetterSelf(const LinkState& s) {
    return kSetterIdle + s.myCallsign;
}

QString SetterSelfStatus(const LinkState& s) {
    return Bracketed(kSetterIdle + s.myCallsign, Text(s.teacherStatus));
}

QString AnswererMode(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, Text(s.peerMode) + PeerSpeedText(s));
}

QString AnswererStatus(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.peerCallsign, Text(s.studentStatus));
}

QString AnswererSelf(const LinkState& s) {
    return Bracketed(kAnswererIdle + s.myCallsign, Text(s.myMode) + MySpeedText(s));
}

QString AnswererPeerChoosing(const LinkState& s) {
    return Bracketed(kAnswererChoosing + s.peerCallsign,
                     Text(s.peerMode) + u'/' + PeerSpeedText(s));
}

QString AnswererSelfChoosing(const LinkState& s) {
    return Bracketed(kAnswererChoosing + s.myCallsign, Text(s.myMode) + MySpeedText(s));
}

QString ChatSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, Text(s.myMode) + MySpeedText(s));
}

QString ChatPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, Text(s.peerMode) + PeerSpeedText(s));
}

QString ChatTextSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, Text(s.myMode));
}

QString ChatTextPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, Text(s.peerMode));
}

QString ChatStatusSelf(const LinkState& s) {
    return Bracketed(s.myCallsign, Text(s.myMode) + Text(s.teacherStatus));
}

QString ChatStatusPeer(const LinkState& s) {
    return Bracketed(s.peerCallsign, Text(s.peerMode) + Text(s.studentStatus));
}

}  // namespace RoleCaption
