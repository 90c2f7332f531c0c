#pragma once

class QWidget;

// Converts a length in twips (1/1440 inch) to pixels at the widget's logical DPI.
int TwipsToPixelsX(const QWidget* reference, int twips);
int TwipsToPixelsY(const QWidget* reference, int twips);

// Moves window so that its top-left corner lies the given twips right of and
// below anchor's top-left corner. Call before showing it, modal or not.
void PlaceRelativeTo(QWidget* window, const QWidget* anchor, int leftTwips, int topTwips);
