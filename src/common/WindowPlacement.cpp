#include "common/WindowPlacement.h"

#include <QWidget>

int TwipsToPixelsX(const QWidget* reference, int twips) {
    return twips * reference->logicalDpiX() / 1440;
}

int TwipsToPixelsY(const QWidget* reference, int twips) {
    return twips * reference->logicalDpiY() / 1440;
}

void PlaceRelativeTo(QWidget* window, const QWidget* anchor, int leftTwips, int topTwips) {
    // pos() of a top-level window is the corner of its frame, as the offsets expect.
    const QPoint corner = anchor->window()->pos();
    window->move(corner.x() + TwipsToPixelsX(anchor, leftTwips),
                 corner.y() + TwipsToPixelsY(anchor, topTwips));
}
