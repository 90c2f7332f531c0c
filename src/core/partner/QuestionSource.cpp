#include "core/partner/QuestionSource.h"

#include "core/lesson/SendingTexts.h"

QuestionSource::QuestionSource(Settings settings)
    : m_settings(std::move(settings)), m_random(m_settings.seed) {}

int QuestionSource::below(int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(m_random);
}

QString QuestionSource::kochGroup(QStringView taught, const QList<double>& weights) {
    if (weights.isEmpty()) {
        return RandomGroup(m_random, taught, m_settings.groupSize);
    }
    QString group;
    std::discrete_distribution<int> draw(weights.begin(), weights.end());
    for (int i = 0; i < m_settings.groupSize; ++i) {
        group += taught[draw(m_random)];
    }
    return group;
}

namespace {

// Weights the draw can use: one a character, none negative or undefined, some positive.
bool Usable(const QList<double>& weights, qsizetype characters) {
    if (weights.size() != characters) {
        return false;
    }
    double sum = 0;
    for (const double weight : weights) {
        if (!(weight >= 0) || weight > 1e6) {
            return false;
        }
        sum += weight;
    }
    return sum > 0;
}

}  // namespace

QString QuestionSource::callsign() {
    return RandomCallsign(m_random);
}

QString QuestionSource::next() {
    return draw(m_settings.groups);
}

QString QuestionSource::nextGroup() {
    return draw(1);
}

QString QuestionSource::draw(int count) {
    if (m_settings.kind == Kind::Lines) {
        if (m_settings.words.isEmpty()) {
            return {};
        }
        const QString line = m_settings.words.at(m_nextLine % m_settings.words.size());
        ++m_nextLine;
        return line;
    }
    QString taughtText = kKochOrder.left(m_settings.kochCharacters).toString();
    if (m_settings.kind == Kind::Koch && m_taughtSource) {
        if (QString course = m_taughtSource(); course.size() >= 2) {
            taughtText = std::move(course);
        }
    }
    const QStringView taught = taughtText;
    QList<double> weights;
    if (m_settings.kind == Kind::Koch && m_weightSource) {
        weights = m_weightSource(taught);
        if (!Usable(weights, taught.size())) {
            weights.clear();
        }
    }
    QStringList groups;
    for (int i = 0; i < count; ++i) {
        switch (m_settings.kind) {
            case Kind::Koch:
                groups << kochGroup(taught, weights);
                break;
            case Kind::Callsigns:
                groups << callsign();
                break;
            case Kind::Words:
                if (!m_settings.words.isEmpty()) {
                    groups << m_settings.words.at(below(int(m_settings.words.size())));
                }
                break;
            case Kind::Lines:
                break;
        }
    }
    return groups.join(u' ');
}
