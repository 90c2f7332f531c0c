// Fuzz target: one receive of the peer link as the receiver takes it apart. Splitting, decoding
// (code page 932), the text as it is shown, and the lookups the dispatcher makes of a payload.
#include <cstddef>
#include <cstdint>

#include "core/kit/SpeedTable.h"
#include "core/link/BandRequest.h"
#include "core/link/ExactSpeed.h"
#include "core/link/PeerText.h"
#include "core/link/WireCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& message : WireCodec::Split(received)) {
        const WireCodec::Message decoded = WireCodec::Decode(message);
        const QString shown = ShownPeerText(decoded.payload);
        const QString callsign = ShownPeerCallsign(decoded.payload);
        // What is shown never breaks a line or ends the text early.
        for (const QChar character : shown) {
            if (character.unicode() < 0x20 || character == QChar(0x2028)) {
                __builtin_trap();
            }
        }
        if (callsign.size() > kShownCallsignLength + 1) {
            __builtin_trap();
        }
        SpeedForWireCode(decoded.payload);
        // Figures taken from the peer are always in range, and read back the same.
        if (const std::optional<FreeSpeed> exact = ParseExactSpeedPayload(decoded.payload)) {
            if (!exact->isValid() || ParseExactSpeedPayload(ExactSpeedPayload(*exact)) != exact) {
                __builtin_trap();
            }
        }
        // Band conditions taken from the peer read back the same.
        if (const std::optional<BandConditions> band = ParseBandRequestPayload(decoded.payload)) {
            if (ParseBandRequestPayload(BandRequestPayload(*band)) != band) {
                __builtin_trap();
            }
        }
        // Encoding what was decoded never fails.
        WireCodec::Encode(decoded.type, decoded.payload);
    }
    return 0;
}
