#include "core/link/WireCodec.h"

#include "core/kit/Cp932Codec.h"

namespace WireCodec {

namespace {

bool IsTypeDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

bool CarriesOneCharacter(char type) {
    switch (type) {
        case '2':
        case '3':
        case '4':
        case '6':
        case '7':
        case '8':
            return true;
        default:
            return false;
    }
}

QByteArray EncodeText(const QString& text) {
    if (const auto whole = Cp932::Encode(text)) {
        return *whole;
    }
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const auto part = Cp932::Encode(text.mid(i, length));
        out += part ? *part : QByteArray("?");
        i += length;
    }
    return out;
}

}  // namespace

QByteArray Encode(QChar type, const QString& payload) {
    return QByteArray(1, static_cast<char>(type.toLatin1())) + EncodeText(payload);
}

QList<QByteArray> Split(const QByteArray& received) {
    QList<QByteArray> messages;
    qsizetype start = 0;
    while (received.size() - start > 2 && CarriesOneCharacter(received[start]) &&
           IsTypeDigit(received[start + 2])) {
        messages.append(received.mid(start, 2));
        start += 2;
    }
    if (start < received.size()) {
        messages.append(received.mid(start));
    }
    return messages;
}

Message Decode(const QByteArray& message) {
    if (message.isEmpty()) {
        return {};
    }
    return {QChar::fromLatin1(message[0]), Cp932::Decode(message.mid(1))};
}

}  // namespace WireCodec
