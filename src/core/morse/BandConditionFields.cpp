#include "core/morse/BandConditionFields.h"

#include <cmath>

using namespace Qt::StringLiterals;

bool BandConditionField::admits(double figure) const {
    return std::isfinite(figure) && figure >= low && figure <= high &&
           (!isWhole() || figure == std::trunc(figure));
}

double BandConditionField::get(const BandConditions& conditions) const {
    return std::visit([&](auto m) { return static_cast<double>(conditions.*m); }, member);
}

void BandConditionField::set(BandConditions& conditions, double figure) const {
    std::visit(
        [&](auto m) {
            using Value = std::remove_reference_t<decltype(conditions.*m)>;
            if constexpr (std::is_same_v<Value, bool>) {
                conditions.*m = figure == 1;
            } else {
                conditions.*m = static_cast<Value>(figure);
            }
        },
        member);
}

const QList<BandConditionField>& BandConditionFields() {
    using C = BandConditions;
    static const QList<BandConditionField> kFields = {
        {u"noise"_s, &C::noiseOn, 0, 1},
        {u"snrDb"_s, &C::snrDb, -10, 60},
        {u"fading"_s, &C::fadingOn, 0, 1},
        {u"fadingHz"_s, &C::fadingHz, 0.05, 30},
        {u"stations"_s, &C::stationCount, 0, C::kMostStations},
        {u"stationSpreadHz"_s, &C::stationSpreadHz, 100, 1500},
        {u"stationWpmLow"_s, &C::stationWpmLow, 5, 60},
        {u"stationWpmHigh"_s, &C::stationWpmHigh, 5, 60},
        {u"stationLevelDb"_s, &C::stationLevelDb, -40, 20},
        {u"crashes"_s, &C::crashesOn, 0, 1},
        {u"crashesPerSecond"_s, &C::crashesPerSecond, 0, 10},
        {u"crashDb"_s, &C::crashDb, -30, 20},
        {u"chirp"_s, &C::chirpOn, 0, 1},
        {u"chirpHz"_s, &C::chirpHz, 0, 200},
        {u"fist"_s, &C::fistOn, 0, 1},
        {u"jitterPercent"_s, &C::jitterPercent, 0, 40},
        {u"weightPercent"_s, &C::weightPercent, -40, 40},
    };
    return kFields;
}

const BandConditionField& BandConditionFieldOf(const BandConditionField::Member& member) {
    for (const BandConditionField& field : BandConditionFields()) {
        if (field.member == member) {
            return field;
        }
    }
    Q_ASSERT_X(false, "BandConditionFieldOf", "a member without its entry");
    return BandConditionFields().front();
}
