#include "core/link/PeerText.h"

namespace {

constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

QChar Shown(QChar character) {
    const char16_t code = character.unicode();
    if (code < 0x20) {
        return QChar(static_cast<char16_t>(kControlPictures + code));
    }
    if (code == 0x7F) {
        return QChar(kDeletePicture);
    }
    if ((code >= 0x80 && code < 0xA0) || code == 0x2028 || code == 0x2029) {
        return QChar::ReplacementCharacter;
    }
    return character;
}

}  // namespace

QString ShownPeerText(const QString& text) {
    QString shown = text;
    for (QChar& character : shown) {
        character = Shown(character);
    }
    return shown;
}

QString ShownPeerCallsign(const QString& callsign) {
    QString shown = ShownPeerText(callsign.left(kShownCallsignLength + 1));
    if (shown.size() > kShownCallsignLength) {
        shown.truncate(kShownCallsignLength);
        // Never leave half a surrogate pair before the ellipsis.
        if (shown.back().isHighSurrogate()) {
            shown.chop(1);
        }
        shown += u'…';
    }
    return shown;
}
