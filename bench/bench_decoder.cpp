// The decoder against synthetic fists from a seeded model: the character error rate after the
// first ten characters, from a cold start, per speed and kind of error; and the fist report's
// proportions after 50 elements against the model's and against the sample's own.
//   bench_decoder [texts per condition, default 40] [--show: each text over 5 % as keyed and read]
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "core/morse/FistReport.h"
#include "core/morse/MorseDecoder.h"
#include "decoder/SyntheticFist.h"

namespace {

struct Condition {
    const char* name;
    std::function<void(FistModel&)> apply;
    int bounceEvery = 0;  // every n-th mark begins with a bouncing contact
};

const Condition kConditions[] = {
    {"clean", [](FistModel&) {}},
    {"uniform +-30%", [](FistModel& m) { m.uniformJitter = 0.30; }},
    {"gaussian 15%", [](FistModel& m) { m.gaussianJitter = 0.15; }},
    {"drift +-25%", [](FistModel& m) { m.drift = 0.25; }},
    {"gaps x2", [](FistModel& m) { m.gapStretch = 2; }},
    {"all four",
     [](FistModel& m) {
         m.uniformJitter = 0.30;
         m.gaussianJitter = 0.15;
         m.drift = 0.25;
         m.gapStretch = 2;
     }},
    {"bounce 1 in 8", [](FistModel& m) { m.gaussianJitter = 0.15; }, 8},
};

// The contact closed for 3 ms and open for 3 ms more before the mark proper, out of the gap
// before it; the first mark of the text among them.
std::vector<KeyedDuration> WithBounces(const std::vector<KeyedDuration>& keyed, int every) {
    std::vector<KeyedDuration> out;
    int marks = 0;
    for (const KeyedDuration& item : keyed) {
        if (every > 0 && item.mark && marks++ % every == 0) {
            if (!out.empty()) {
                out.back().ms -= 6;
            }
            out.push_back({3, true, ElementKind::Dot});
            out.push_back({3, false, ElementKind::ElementGap});
        }
        out.push_back(item);
    }
    return out;
}

QString Decode(const std::vector<KeyedDuration>& keyed) {
    MorseDecoder decoder;
    for (const KeyedDuration& item : keyed) {
        item.mark ? decoder.addMark(item.ms) : decoder.addGap(item.ms);
    }
    decoder.finish();
    return decoder.text();
}

void ErrorRates(int textsPerCondition, bool show) {
    std::printf(
        "== character error rate after the first 10 characters, cold start "
        "(%d texts of ~100 characters per cell: groups, callsigns, words)\n",
        textsPerCondition);
    std::printf("%-15s %5s %9s %9s %9s\n", "condition", "wpm", "mean %", "worst %", "texts>5%");
    const int speeds[] = {5, 10, 15, 20, 25, 30, 40};
    unsigned seed = 1;
    for (const Condition& condition : kConditions) {
        double conditionSum = 0;
        double conditionWorst = 0;
        for (int wpm : speeds) {
            const QStringList texts = PracticeTexts(textsPerCondition, 100, seed++);
            double sum = 0;
            double worst = 0;
            int over = 0;
            for (int t = 0; t < texts.size(); ++t) {
                FistModel model;
                model.wpm = wpm;
                model.seed = seed * 7919 + unsigned(t);
                condition.apply(model);
                const QString decoded =
                    Decode(WithBounces(KeyText(texts[t], model), condition.bounceEvery));
                const double rate = CharacterErrorRate(texts[t], decoded, 10);
                if (show && rate > 0.05) {
                    std::printf("  %s at %d WPM, text %d (%.2f %%):\n    keyed %s\n    read  %s\n",
                                condition.name, wpm, t, rate * 100, qPrintable(texts[t]),
                                qPrintable(decoded));
                }
                sum += rate;
                worst = std::max(worst, rate);
                over += rate > 0.05;
            }
            const double mean = sum / texts.size();
            conditionSum += mean;
            conditionWorst = std::max(conditionWorst, worst);
            std::printf("%-15s %5d %9.2f %9.2f %9d\n", condition.name, wpm, mean * 100, worst * 100,
                        over);
        }
        std::printf("%-15s %5s %9.2f %9.2f\n", condition.name, "all",
                    conditionSum / std::size(speeds) * 100, conditionWorst * 100);
    }
}

struct RatioErrors {
    std::vector<double> values;
    void add(double error) { values.push_back(std::abs(error)); }
    void print(const char* against, const char* figure) {
        std::sort(values.begin(), values.end());
        const auto within =
            std::count_if(values.begin(), values.end(), [](double v) { return v <= 0.1; });
        double sum = 0;
        for (double v : values) {
            sum += v;
        }
        std::printf("  %-8s %-14s mean %.3f  p95 %.3f  worst %.3f  within 0.1: %5.1f %%\n", against,
                    figure, sum / values.size(), values[values.size() * 95 / 100], values.back(),
                    100.0 * within / values.size());
    }
};

struct GapCount {
    int wordGaps = 0;
    int misread = 0;  // character and word gaps the decoder took for another kind
};

GapCount CountGaps(const std::vector<DecodedElement>& truth,
                   const std::vector<DecodedElement>& decoded) {
    GapCount count;
    for (std::size_t i = 0; i < truth.size() && i < decoded.size(); ++i) {
        const bool between =
            truth[i].kind == ElementKind::CharacterGap || truth[i].kind == ElementKind::WordGap;
        count.wordGaps += truth[i].kind == ElementKind::WordGap;
        count.misread += between && decoded[i].kind != truth[i].kind;
    }
    return count;
}

void ReportRatios(int trials) {
    std::printf(
        "== fist report after 50 marks and the rest of their character (%d fists per condition, "
        "20 WPM); error of each "
        "figure in units, against the model's figures and against the sample's own "
        "(the same elements measured with their true kinds)\n",
        trials);
    const QStringList texts = PracticeTexts(trials, 60, 99);
    for (const Condition& condition : kConditions) {
        if (condition.bounceEvery > 0) {
            continue;  // the figures are compared element by element with the truth
        }
        RatioErrors model[4];
        RatioErrors sample[4];
        int wordGaps = 0;
        int misread = 0;
        int fistsMisread = 0;
        for (int t = 0; t < trials; ++t) {
            FistModel fist;
            fist.seed = 1000u + unsigned(t);
            condition.apply(fist);
            std::vector<KeyedDuration> keyed = KeyText(texts[t], fist);
            MorseDecoder decoder;
            std::vector<DecodedElement> truth;
            int marks = 0;
            for (const KeyedDuration& item : keyed) {
                marks += item.mark;
                // A practice ends with a whole character: the one of the 50th mark is finished.
                if (marks >= 50 && !item.mark && item.kind != ElementKind::ElementGap) {
                    break;
                }
                item.mark ? decoder.addMark(item.ms) : decoder.addGap(item.ms);
                truth.push_back({item.ms, item.kind, -1});
            }
            decoder.finish();
            const GapCount counted = CountGaps(truth, decoder.elements());
            wordGaps += counted.wordGaps;
            misread += counted.misread;
            fistsMisread += counted.misread > 0;
            const FistReport got = MakeFistReport(decoder.elements(), decoder.characters());
            const FistReport own = MakeFistReport(truth, {});
            const double gotFigures[] = {got.dash.units, got.elementGap.units,
                                         got.characterGap.units, got.wordGap.units};
            const double ownFigures[] = {own.dash.units, own.elementGap.units,
                                         own.characterGap.units, own.wordGap.units};
            const double modelFigures[] = {fist.dashUnits, fist.elementGapUnits,
                                           fist.characterGapUnits * fist.gapStretch,
                                           fist.wordGapUnits * fist.gapStretch};
            for (int f = 0; f < 4; ++f) {
                model[f].add(gotFigures[f] - modelFigures[f]);
                sample[f].add(gotFigures[f] - ownFigures[f]);
            }
        }
        std::printf(
            "%s: %.1f word gaps per sample; character and word gaps read as another kind: "
            "%d in all, in %.1f %% of fists\n",
            condition.name, double(wordGaps) / trials, misread, 100.0 * fistsMisread / trials);
        const char* figures[] = {"dash:dot", "element gap", "character gap", "word gap"};
        for (int f = 0; f < 4; ++f) {
            model[f].print("model", figures[f]);
            sample[f].print("sample", figures[f]);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int texts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    const bool show = argc > 2 && std::strcmp(argv[2], "--show") == 0;
    ErrorRates(texts, show);
    ReportRatios(200);
    return 0;
}
