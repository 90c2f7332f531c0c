#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Every sign a learner meets in contacts, with one text each: the 42 of the sound table and the
// punctuation and procedural signs besides. Procedural signs are written as their letters run
// together in angle brackets ("<SK>", "<BK>", "<AR>", "<KN>", "<BT>"); the others as the
// character they stand for. This is what material of the practice partner and a decoder of hand
// keying work with; the question and chat tables keep to their own signs.
struct ContactSign {
    QString text;
    QString pattern;  // "." and "-"
};

// One entry per pattern, the 42 of the sound table first in its order.
const QList<ContactSign>& ContactSigns();

// The pattern of a sign's text, or of a character that is written for a procedural sign ("=" for
// <BT>, "+" for <AR>, "(" for <KN>, "&" for <AS>); letters in either case. Empty when unknown.
QString PatternForSign(QStringView text);
// The text of a pattern; empty when no sign has it.
QString SignForPattern(QStringView pattern);
