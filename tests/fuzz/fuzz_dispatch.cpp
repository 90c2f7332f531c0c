// Fuzz target: the receiver's whole reaction to what a peer sends. Each input is one receive;
// its messages are dispatched to a real main window (virtual clock, recorded sound), where they
// change labels and controls, start blinks and CW playback and open notices. A user who closes
// whatever opens is simulated, so that modal notices end.
#include <QAction>
#include <QApplication>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "app/MainForm.h"
#include "common/ClockTimer.h"
#include "net/QuillNetModule.h"
#include "net/WireCodec.h"
#include "support/TestContext.h"

namespace {

struct Window {
    TestContext context;
    MainForm form{context.context()};
    ClockTimer closer{context.clock, 50};

    Window() {
        form.link().myCallsign = QStringLiteral("JA1FUZ");
        // Heard with the beep generator: the same dispatch, without synthesising a WAV file for
        // every character of a CW text.
        form.ui().mnuSoundBeep->trigger();
        form.link().peerCallsign = QStringLiteral("JA9ZZZ");
        QObject::connect(&closer, &ClockTimer::timeout, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window != &form && window->isVisible()) {
                    window->close();
                }
            }
        });
        closer.setEnabled(true);
    }
};

Window* g_window = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.warning=false");
    // Never destroyed: at exit, Qt's own lazily made globals may already be gone before a static
    // window's destructor would run, and libFuzzer leaves through exit().
    new QApplication(*argc, *argv);
    g_window = new Window;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QuillNetModule& module = g_window->form.peerLink().module();
    for (const QByteArray& message : WireCodec::Split(received)) {
        module.DispatchNetMessage(message);
    }
    Delay(g_window->context.clock, 1);
    g_window->context.sound.clear();
    return 0;
}
