#pragma once

#include <QString>
#include <QStringList>

// The characters of a question that its playback skips (neither letter, digit, "." nor space),
// each named once in the order they first appear: a visible one in 「」, a line break as 改行,
// a tab as タブ, an ideographic space as 全角スペース, any other invisible one by its code.
// They sound nothing, yet the answerer's count takes them as played.
QStringList SilentCharacters(const QString& question);
