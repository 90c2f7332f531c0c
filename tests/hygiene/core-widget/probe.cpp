// Part of the layer check's own test: a core file that reaches for a widget, which the build of
// the core must refuse.
#include <QPushButton>

int probe() {
    return sizeof(QPushButton);
}
