#pragma once

#include <QString>
#include <optional>

#include "core/morse/BandConditions.h"

// Band conditions a peer asks for its questions. Like a speed of its own it goes out as a type 4
// message that only this program reads ("BAND1 s=7 n=1,15 f=0,0.5 q=3,600,15,30,-6 c=0,1,0
// h=0,30 k=0,10,0"): the original program acts on type 4 for its three codes only and ignores
// this one. Every field is always there, in this order, its figures within the ranges the
// settings file allows; anything else is not a request.
QString BandRequestPayload(const BandConditions& conditions);
std::optional<BandConditions> ParseBandRequestPayload(const QString& payload);

// A choice of the ready-made conditions as a person writes it: the preset's name or number
// (0 is none), optionally ",seed=N"; without it the seed is seedIfNone. Nothing for anything else.
std::optional<BandConditions> ParseBandChoice(const QString& text, quint64 seedIfNone);
