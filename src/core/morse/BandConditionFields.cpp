#include "core/morse/BandConditionFields.h"

#include <cmath>

#include "core/morse/BandEffect.h"

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
    static const QList<BandConditionField> kFields = [] {
        QList<BandConditionField> fields;
        for (const BandEffect* effect : BandEffects()) {
            fields << effect->fields;
        }
        return fields;
    }();
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
