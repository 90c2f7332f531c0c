#pragma once

#include <QAbstractButton>
#include <QButtonGroup>
#include <QObject>
#include <QSet>
#include <vector>

#include "ui/kit/ControlHelpers.h"

// One option button and the value of a model's choice it stands for.
template <typename Value>
struct OptionFor {
    QAbstractButton* option;
    Value value;
};

// Keeps a model's choice and its option buttons the same. However an option changes (the user,
// code, a selection with the option's signals blocked), the model takes the checked option's
// value, or none, before the option's other handlers run, as long as this is bound before they
// connect. A choice the model makes itself checks its option, or clears them all for none, as a
// user's selection would.
template <typename Model, typename Value>
void BindOptions(Model& model, void (Model::*changed)(), Value (Model::*get)() const,
                 void (Model::*set)(Value), std::vector<OptionFor<Value>> options, Value none) {
    auto shown = [options, none] {
        for (const OptionFor<Value>& entry : options) {
            if (entry.option->isChecked()) {
                return entry.value;
            }
        }
        return none;
    };
    auto take = [&model, set, shown] { (model.*set)(shown()); };
    QSet<QButtonGroup*> groups;
    for (const OptionFor<Value>& entry : options) {
        QObject::connect(entry.option, &QAbstractButton::toggled, &model, take);
        // A group tells of its options' changes even while an option's own signals are blocked.
        if (QButtonGroup* group = entry.option->group();
            group != nullptr && !groups.contains(group)) {
            groups.insert(group);
            QObject::connect(group, &QButtonGroup::buttonToggled, &model, take);
        }
    }
    QObject::connect(&model, changed, options.front().option, [&model, get, shown, options, none] {
        const Value value = (model.*get)();
        if (value == shown()) {
            return;
        }
        for (const OptionFor<Value>& entry : options) {
            if (value == none && entry.option->isChecked()) {
                Deselect(entry.option);
            } else if (entry.value == value) {
                entry.option->setChecked(true);
            }
        }
    });
    take();
}
