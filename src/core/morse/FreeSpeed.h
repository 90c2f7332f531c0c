#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>
#include <optional>

// A character speed of its own in words a minute (PARIS: a dot unit of 1200 / WPM ms), with the
// gaps stretched to a lower effective speed (Farnsworth) and extra space between words. Chosen
// instead of the three fixed speeds; it is exact and the fine adjustment does not change it.
struct FreeSpeed {
    static constexpr double kLowestWpm = 5;
    static constexpr double kHighestWpm = 60;
    static constexpr double kMostExtraWordUnits = 30;

    double characterWpm = 20;
    // Below characterWpm: the gaps are stretched to it; 0 (or not below): no stretching.
    double effectiveWpm = 0;
    // Dot units added to every word gap.
    double extraWordUnits = 0;

    bool operator==(const FreeSpeed&) const = default;

    // Whether every figure is in its range (an effective speed of 0 meaning none).
    bool isValid() const;
    bool stretched() const { return effectiveWpm > 0 && effectiveWpm < characterWpm; }
    // Whether it sounds like a plain speed: no stretching, no extra word space.
    bool plain() const { return !stretched() && extraWordUnits == 0; }
};

// The lengths it gives, in ms, exact.
struct FreeSpeedTimes {
    double unitMs;
    double characterGapMs;  // from the end of a character's last element to the next character
    double wordGapMs;       // the same across a word boundary, extra space included
};

// The character and word gaps by the ARRL formula (QEX, April 1990): the spacing of a PARIS word,
// ta = (60c - 37.2s) / (cs) seconds, shared 3/19 to each character gap and 7/19 to the word gap;
// 3 and 7 units when there is no stretching.
FreeSpeedTimes TimesFor(const FreeSpeed& speed);

// The figure the interface shows for speeds, characters a minute, for a character speed in WPM:
// the fixed speeds' relation of about eleven dot units a character (60 a minute at 90 ms).
int CharactersPerMinuteFor(double wpm);

// The speed a listener hears words at: PARIS and its word gap (at the effective speed when the
// gaps are stretched) with the extra word space, in WPM.
double HeardWpm(const FreeSpeed& speed);

// "20 WPM（毎分91文字）", with the effective speed and the extra space when there are; the figure
// a minute is the one heard ("25 WPM 実効6 WPM（毎分27文字）").
QString FreeSpeedText(const FreeSpeed& speed);

// The figures as short ASCII text, "c=20 e=10 w=0", for the settings file and the link; read
// back strictly (that form and nothing else, each figure in its range), nothing otherwise.
QString FreeSpeedFigures(const FreeSpeed& speed);
std::optional<FreeSpeed> ParseFreeSpeedFigures(QStringView text);

// Of 25, 45 and 60 characters a minute, the one nearest to the speed's character speed.
int NearestFixedSpeed(const FreeSpeed& speed);

// Where the exact times stand against the sample timeline: the fraction of a sample by which
// the exact start of what comes next lies after the sample it is planned on. Carried from one
// character to the next while they follow each other with nothing else between, so that the
// rounding of one never adds to the next.
struct ExactPlace {
    qint64 next = -1;  // the sample the carried fraction belongs to
    double fraction = 0;

    // The fraction for what starts at position: the carried one there, none elsewhere.
    double at(qint64 position) const { return position == next ? fraction : 0; }
    // What starts at position with the fraction lasts the exact number of samples; returns how
    // many whole samples it takes, and carries the rest to where it ends.
    qint64 advance(qint64 position, double fraction, double exactSamples);
};

// What closes a character: the character gap, or for the signs a generator closes with a
// word-length gap (BT before the question starts) the word gap.
enum class Closing { CharacterGap, WordGap };

// The sample edges of one character sounded at the speed: each tone's first and end sample
// counted from the character's start, and where the character ends with its closing gap (the
// next character's start). Every edge is round(exact time x rate) from the exact start, which
// lies startFraction of a sample after the first sample.
struct CharacterEdges {
    QVector<qint64> toneStarts;
    QVector<qint64> toneEnds;
    qint64 end = 0;
    double endFraction = 0;  // the same for the next character
};
CharacterEdges EdgesFor(QLatin1StringView pattern, const FreeSpeedTimes& times, Closing closing,
                        int sampleRate, double startFraction = 0);

// What a word boundary adds after a character's closing gap, exactly, in samples.
double WordPauseSamples(const FreeSpeedTimes& times, int sampleRate);
