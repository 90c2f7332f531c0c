// The decoder against synthetic fists from a seeded model: the character error rate after the
// first ten characters, from a cold start, per speed and kind of error; and the fist report's
// proportions after 50 elements against the model's and against the sample's own.
//   bench_decoder [texts per condition, default 40]
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "decoder/SyntheticFist.h"
#include "morse/FistReport.h"
#include "morse/MorseDecoder.h"

namespace {

struct Condition {
    const char* name;
    std::function<void(FistModel&)> apply;
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
};

QString Decode(const std::vector<KeyedDuration>& keyed) {
    MorseDecoder decoder;
    for (const KeyedDuration& item : keyed) {
        item.mark ? decoder.addMark(item.ms) : decoder.addGap(item.ms);
    }
    decoder.finish();
    return decoder.text();
}

void ErrorRates(int textsPerCondition) {
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
                const double rate =
                    CharacterErrorRate(texts[t], Decode(KeyText(texts[t], model)), 10);
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

void ReportRatios(int trials) {
    std::printf(
        "== fist report after 50 marks (%d fists per condition, 20 WPM); error of each "
        "figure in units, against the model's figures and against the sample's own "
        "(the same elements measured with their true kinds)\n",
        trials);
    const QStringList texts = PracticeTexts(trials, 60, 99);
    for (const Condition& condition : kConditions) {
        RatioErrors model[4];
        RatioErrors sample[4];
        for (int t = 0; t < trials; ++t) {
            FistModel fist;
            fist.seed = 1000u + unsigned(t);
            condition.apply(fist);
            std::vector<KeyedDuration> keyed = KeyText(texts[t], fist);
            MorseDecoder decoder;
            std::vector<DecodedElement> truth;
            int marks = 0;
            for (const KeyedDuration& item : keyed) {
                if (item.mark && ++marks > 50) {
                    break;
                }
                item.mark ? decoder.addMark(item.ms) : decoder.addGap(item.ms);
                truth.push_back({item.ms, item.kind, -1});
            }
            decoder.finish();
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
        std::printf("%s\n", condition.name);
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
    ErrorRates(texts);
    ReportRatios(200);
    return 0;
}
