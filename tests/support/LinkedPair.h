#pragma once

#include <QPushButton>

#include "support/NetTestSupport.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"

// Two main windows in one process, linked over 127.0.0.1 on free ports, on one virtual clock:
// the listening window A (JA1AAA) and the connecting window B (JA2BBB).
struct LinkedPair {
    TestContext aContext;
    TestContext bContext{aContext};
    LinkWatch watch{aContext.clock};
    MainForm a{aContext.context()};
    MainForm b{bContext.context()};

    LinkedPair() {
        watch.add(&a);
        watch.add(&b);
        SetIdentity(a, QStringLiteral("JA1AAA"));
        SetIdentity(b, QStringLiteral("JA2BBB"));
    }
    VirtualClock& clock() { return aContext.clock; }
    void wait(int ms) { Delay(aContext.clock, ms); }
    // Returns after the listening side's 30 s wait has passed.
    void connect() {
        a.ui().ListenButton->click();
        b.ui().ConnectButton->click();
        wait(2100);
    }
    // Connected, A the setter and B the answerer.
    void connectWithRoles() {
        connect();
        a.ui().TeacherOption->click();
        wait(200);
    }
};
