// Fuzz target: the link session's whole reaction to what a peer sends. Each input is one receive;
// its messages are dispatched to the session, which changes the link state and the log and asks a
// window (here one that renders into strings and selects as a window would) to show it.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

#include "core/link/WireCodec.h"
#include "support/LinkSessionRig.h"

namespace {

// The session with a window that writes down what it is asked.
LinkSessionRig* g_session = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Never destroyed: libFuzzer leaves through exit(), after Qt's own globals may be gone.
    new QCoreApplication(*argc, *argv);
    g_session = new LinkSessionRig;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& message : WireCodec::Split(received)) {
        g_session->module.DispatchNetMessage(message);
    }
    g_session->window.calls.clear();  // kept for one input only
    return 0;
}
