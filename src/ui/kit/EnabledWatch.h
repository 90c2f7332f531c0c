#pragma once

#include <functional>

class QWidget;

// Tells `changed` of the widget's enabled state at once and whenever it changes, by whatever
// changed it (its own setEnabled, or its window's), so that a model can keep it.
void WatchEnabled(QWidget* widget, std::function<void(bool enabled)> changed);
