#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <random>

#include "core/history/KochCourse.h"

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
    static constexpr QStringView kKochOrder = KochCourse::kKochOrder;

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
    // One group of the next question's kind (a Koch group, a callsign, a word or a line).
    QString nextGroup();

    // Asked before every Koch question for a weight of each taught character (in the order
    // given); groups then draw each character in proportion to its weight. Unset, or an answer
    // of another length or without a positive weight, draws them all equally often.
    using WeightSource = std::function<QList<double>(QStringView taught)>;
    void setWeightSource(WeightSource source) { m_weightSource = std::move(source); }
    // Asked before every Koch question for the characters taught so far (a course that moves
    // on); unset, or an answer of fewer than two characters, is the first kochCharacters of
    // the Koch order.
    using TaughtSource = std::function<QString()>;
    void setTaughtSource(TaughtSource source) { m_taughtSource = std::move(source); }

    // A callsign-like group: a prefix of one or two letters (or a digit and a letter), a digit,
    // and a suffix of one to three letters.
    QString callsign();

  private:
    QString draw(int groups);
    QString kochGroup(QStringView taught, const QList<double>& weights);
    int below(int count);

    Settings m_settings;
    std::mt19937 m_random;
    int m_nextLine = 0;
    WeightSource m_weightSource;
    TaughtSource m_taughtSource;
};
