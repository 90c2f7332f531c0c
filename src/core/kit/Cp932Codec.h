#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Code page 932 with Microsoft's mapping, as a Japanese Windows PC writes it.
namespace Cp932 {

// Nothing when a character has no code in the code page.
std::optional<QByteArray> Encode(const QString& text);

// Bytes that form no character become U+FFFD; decoding never fails.
QString Decode(const QByteArray& bytes);

}  // namespace Cp932
