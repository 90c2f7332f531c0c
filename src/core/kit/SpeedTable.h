#pragma once

#include <QStringView>
#include <array>

// The three speeds: how many characters a minute, the dot unit they give, the text the labels and
// the link state show, the payload of message type 4, and the caption of the option button that
// selects it.
struct Speed {
    int perMinute;
    int unitMs;
    QStringView text;
    QStringView wireCode;
    QStringView caption;
};

inline constexpr std::array<Speed, 3> kSpeeds{{
    {25, 220, u"25", u"1", u"毎分２５文字"},
    {45, 120, u"45", u"2", u"毎分４５文字"},
    {60, 90, u"60", u"3", u"毎分６０文字"},
}};

// The entry for 25, 45 or 60 characters a minute, or for a wire code; null for anything else.
const Speed* SpeedForPerMinute(int perMinute);
const Speed* SpeedForWireCode(QStringView code);
