#pragma once

#include <QString>
#include <QtGlobal>

// Single-precision duration factor for a fine-adjustment value: the nine steps of
// -20 ... 20 map to 0.8 ... 1.2, any other value to 1.0.
float FineAdjustFactor(qint16 adjustValue);

// Whole milliseconds of length x factor, computed in single precision and rounded
// to the nearest, ties to even.
int ScaledDuration(int lengthMs, float factor);

// Whether the fine-adjustment value is one of the nine steps.
bool IsFineAdjustStep(int adjustValue);

// The caption of the fine-adjustment label for a step value, or an empty string
// for any other value (the label then keeps its caption).
QString FineAdjustCaption(int adjustValue);

// Dot length in ms for 25, 45 or 60 characters per minute; 0 for anything else.
int UnitForSpeed(int charactersPerMinute);
