#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <random>

// Where the texts a learner keys come from.
enum class SendingSource {
    Koch,       // groups of the characters the Koch course has taught so far
    Callsigns,  // callsign-like groups
    Words,      // common contact words and abbreviations
    File,       // the words of a text file the learner picks
};

// A group of characters drawn at random from the given ones.
QString RandomGroup(std::mt19937& random, QStringView characters, int size);
// A callsign-like group: a prefix of one or two letters (or a digit and a letter), a digit and
// a suffix of one to three letters.
QString RandomCallsign(std::mt19937& random);

// The words of contacts that a learner keys most: Q codes, abbreviations, reports.
const QStringList& ContactWords();

// A group as it is compared: upper case, without white space.
QString FoldedGroup(QStringView group);
// Whether a keyed group is the one given, as a listener takes it: case and white space do not
// count.
bool SameGroup(QStringView given, QStringView keyed);

// Groups and texts for sending practice, repeatable by their seed.
class SendingTexts {
  public:
    struct Settings {
        SendingSource source = SendingSource::Koch;
        QString kochCharacters;  // the ones taught so far (at least two for Koch groups)
        QStringList fileWords;   // the words of the learner's file
        int groupSize = 5;       // characters a Koch group
        quint32 seed = 0;
    };

    explicit SendingTexts(Settings settings);

    // One group (a word for words and files); empty when the source has nothing to give.
    QString nextGroup();
    // A text of that many groups, a space between them.
    QString nextText(int groups);

  private:
    QString pickWord(const QStringList& words);

    Settings m_settings;
    std::mt19937 m_random;
};
