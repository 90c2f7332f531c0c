#pragma once

class QButtonGroup;

// The arrow keys choose within an exclusive option group, as in every desktop toolkit: the next
// or previous option that can be chosen is selected (as a click would select it) and takes the
// focus, wrapping at the ends. Qt's own handling only moves the focus while no option of the group
// is chosen, and picks the neighbour by its place on the screen rather than by the group's order.
// Covers the buttons the group holds when called.
void ChooseWithArrowKeys(QButtonGroup* group);
