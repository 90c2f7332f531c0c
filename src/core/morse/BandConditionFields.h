#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <variant>

#include "core/morse/BandConditions.h"

// One figure of the band conditions (every member but the seed): its key in the settings file,
// the member it sets, and the values it may take. The settings file, a peer's request and the
// dialog all check a figure by the same entry, so their ranges cannot drift apart.
struct BandConditionField {
    using Member =
        std::variant<bool BandConditions::*, int BandConditions::*, double BandConditions::*>;

    QString key;
    Member member;
    double low;
    double high;

    // Finite, within the range, and whole for a switch (0 or 1) or a count. NaN compares false
    // with both ends, so it is refused here too.
    bool admits(double figure) const;
    // The figure as the member holds it; set() takes only what admits() took.
    double get(const BandConditions& conditions) const;
    void set(BandConditions& conditions, double figure) const;
    bool isSwitch() const { return std::holds_alternative<bool BandConditions::*>(member); }
    bool isWhole() const { return !std::holds_alternative<double BandConditions::*>(member); }
    // Whether the field switches an effect on (a switch, or the count of other stations): the
    // fields after it, up to the next such, are that effect's figures.
    bool headsEffect() const {
        return isSwitch() || member == Member(&BandConditions::stationCount);
    }
};

// Every field, in the order a peer's request sends them: each effect's head, then its figures.
const QList<BandConditionField>& BandConditionFields();

// The entry of one member.
const BandConditionField& BandConditionFieldOf(const BandConditionField::Member& member);
