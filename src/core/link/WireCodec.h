#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The message format of the peer link: one type digit, then the payload in code page 932,
// with no length and no terminator. One send carries one message.
namespace WireCodec {

// The most one receive may hold; a peer that sends more is cut off.
inline constexpr qsizetype kReceiveCap = 64 * 1024;

struct Message {
    QChar type;  // '0' ... '9' for a valid message; anything else is ignored by the receiver
    QString payload;
};

// Characters without a code in the code page go out as "?", as a Windows peer sends them.
QByteArray Encode(QChar type, const QString& payload);

// One receive as the messages it holds. TCP may join two sends; where a type that carries
// exactly one payload character (2, 3, 4, 6, 7, 8) is followed by another type digit, the
// join is certain and the data parts there. Everything else stays one message.
QList<QByteArray> Split(const QByteArray& received);

// Bytes that form no character become U+FFFD.
Message Decode(const QByteArray& message);

}  // namespace WireCodec
