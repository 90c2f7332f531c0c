#include "SyntheticFist.h"

#include <QHash>
#include <algorithm>
#include <random>

namespace {

QHash<QChar, QString> PatternsByCharacter() {
    QHash<QChar, QString> patterns;
    const SignTable table = DefaultSignTable();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (it.value().size() == 1) {
            patterns.insert(it.value()[0], it.key());
        }
    }
    return patterns;
}

}  // namespace

std::vector<KeyedDuration> KeyText(const QString& text, const FistModel& model) {
    static const QHash<QChar, QString> patterns = PatternsByCharacter();
    std::mt19937 random(model.seed);
    std::uniform_real_distribution<double> uniform(-model.uniformJitter, model.uniformJitter);
    std::normal_distribution<double> gaussian(0, model.gaussianJitter);
    const double direction = (random() & 1) ? 1 : -1;
    const QString words = text.simplified();
    std::vector<KeyedDuration> out;
    auto add = [&](double units, ElementKind kind, double position) {
        const double speed = 1 + model.drift * direction * (1 - 2 * position);
        const double unitMs = 1200 / (model.wpm * speed);
        double error = 1 + uniform(random);
        if (model.gaussianJitter > 0) {
            error += gaussian(random);
        }
        const bool mark = kind == ElementKind::Dot || kind == ElementKind::Dash;
        out.push_back({units * unitMs * std::max(error, 0.2), mark, kind});
    };
    for (int i = 0; i < words.size(); ++i) {
        const double position = words.size() > 1 ? double(i) / (words.size() - 1) : 0;
        if (words[i] == u' ') {
            continue;
        }
        const QString pattern = patterns.value(words[i].toUpper());
        for (int e = 0; e < pattern.size(); ++e) {
            const bool dash = pattern[e] == u'-';
            add(dash ? model.dashUnits : 1, dash ? ElementKind::Dash : ElementKind::Dot, position);
            if (e + 1 < pattern.size()) {
                add(model.elementGapUnits, ElementKind::ElementGap, position);
            }
        }
        if (i + 1 < words.size()) {
            const bool word = words[i + 1] == u' ';
            add((word ? model.wordGapUnits : model.characterGapUnits) * model.gapStretch,
                word ? ElementKind::WordGap : ElementKind::CharacterGap, position);
        }
    }
    return out;
}

QStringList PracticeTexts(int count, int length, unsigned seed) {
    static const QString signs = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/?=.");
    static const QStringList words = QStringLiteral(
                                         "THE QUICK BROWN FOX JUMPS OVER LAZY DOG CQ DE RST NAME "
                                         "QTH RIG ANT WX HR ES TNX FER CALL UR 73 GM GA GE OP TEST "
                                         "PSE AGN QSL QRZ SIGNAL HOME WORK MORSE KEY PADDLE")
                                         .split(u' ');
    std::mt19937 random(seed);
    auto pick = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
    QStringList texts;
    for (int t = 0; t < count; ++t) {
        QString text;
        while (text.size() < length) {
            switch (t % 3) {
                case 0:
                    for (int c = 0; c < 5; ++c) {
                        text += signs[pick(signs.size())];
                    }
                    break;
                case 1:
                    text += signs[pick(26)];
                    text += pick(2) ? signs[pick(26)] : QChar();
                    text += signs[26 + pick(10)];
                    for (int c = pick(3) + 1; c > 0; --c) {
                        text += signs[pick(26)];
                    }
                    break;
                default:
                    text += words[pick(words.size())];
            }
            text.remove(QChar());
            text += u' ';
        }
        texts.append(text.trimmed());
    }
    return texts;
}

double CharacterErrorRate(const QString& reference, const QString& decoded, int skip) {
    // Edit distance with its path; each error is charged to the reference position it falls at.
    const int n = reference.size();
    const int m = decoded.size();
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1));
    for (int i = 0; i <= n; ++i) {
        cost[i][0] = i;
    }
    for (int j = 0; j <= m; ++j) {
        cost[0][j] = j;
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            const int same = reference[i - 1] == decoded[j - 1] ? 0 : 1;
            cost[i][j] =
                std::min({cost[i - 1][j - 1] + same, cost[i - 1][j] + 1, cost[i][j - 1] + 1});
        }
    }
    int errors = 0;
    for (int i = n, j = m; i > 0 || j > 0;) {
        const bool counted = i > skip;
        if (i > 0 && j > 0 &&
            cost[i][j] == cost[i - 1][j - 1] + (reference[i - 1] == decoded[j - 1] ? 0 : 1)) {
            errors += counted && reference[i - 1] != decoded[j - 1];
            --i;
            --j;
        } else if (i > 0 && cost[i][j] == cost[i - 1][j] + 1) {
            errors += counted;
            --i;
        } else {
            errors += counted;
            --j;
        }
    }
    return n > skip ? double(errors) / (n - skip) : 0;
}
