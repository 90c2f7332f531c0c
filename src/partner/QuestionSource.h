#pragma once

#include <QString>
#include <QStringList>
#include <random>

// The questions the practice partner sets.
class QuestionSource {
  public:
    enum class Kind {
        Koch,       // random groups from the first characters of the Koch order
        Callsigns,  // random callsign-like groups
        Words,      // random words from a text file
        Lines,      // the lines of a text file, in order, one a question
    };

    // The 36 letters and digits in the order the Koch method teaches them.
    static constexpr QStringView kKochOrder = u"KMURESNAPTLWIJZFOYVG5Q92H38B47C1D60X";

    struct Settings {
        Kind kind = Kind::Koch;
        int kochCharacters = 10;  // 2 … 36
        int groups = 5;           // per question (Koch, callsigns, words)
        int groupSize = 5;        // characters a Koch group
        quint32 seed = 0;
        QStringList words;  // the file's words or lines
    };

    explicit QuestionSource(Settings settings);

    // The next question; the same seed gives the same questions.
    QString next();

    // A callsign-like group: a prefix of one or two letters (or a digit and a letter), a digit,
    // and a suffix of one to three letters.
    QString callsign();

  private:
    QString kochGroup();
    QChar pick(QStringView from);
    int below(int count);

    Settings m_settings;
    std::mt19937 m_random;
    int m_nextLine = 0;
};
