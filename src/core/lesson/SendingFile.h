#pragma once

#include <QString>
#include <QStringList>

// The words of a text file the learner picks to key, read as the question editor reads a
// question file (its size limit, UTF-8 or Shift_JIS). A word with a character no Morse sign
// stands for is left out, and the notice names those characters; a file that cannot be read,
// or keeps no word, gives a Japanese reason instead.
struct SendingFile {
    QStringList words;  // upper case, in the file's order
    QString notice;     // what was left out, empty when nothing was
    QString error;      // why there are no words, empty when there are

    bool ok() const { return error.isEmpty(); }
};

SendingFile ReadSendingFile(const QString& path);
// The same for text already read (name is how the messages call the file).
SendingFile SendingWords(const QString& text, const QString& name);
