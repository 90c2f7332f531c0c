#include <QComboBox>
#include <QtTest>

#include "practice/FreeKeyingWindow.h"
#include "support/VirtualClock.h"

namespace {

constexpr quint32 kLeftControl = 0xffe3;
constexpr quint32 kRightControl = 0xffe4;

// Sends a key of the window at a time on the virtual clock.
void KeyAt(VirtualClock& clock, FreeKeyingWindow& window, qint64 at, bool down, int key,
           quint32 keySymbol = 0) {
    clock.scheduleAt(at, [&window, down, key, keySymbol] {
        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, 0,
                        keySymbol, 0);
        QApplication::sendEvent(&window, &event);
    });
}

}  // namespace

class TestFreeKeying : public QObject {
    Q_OBJECT
  private slots:
    void decodesAStraightKeyAsItIsKeyed();
    void paddlesKeyTheIambicKeyer();
    void losingTheFocusReleasesTheKey();
};

void TestFreeKeying::decodesAStraightKeyAsItIsKeyed() {
    VirtualClock clock;
    FreeKeyingWindow window(clock);
    window.findChild<QComboBox*>()->setCurrentIndex(0);
    int edges = 0;
    window.setSidetone([&edges](bool) { ++edges; });
    qint64 at = 0;
    for (const QString& sign :
         QStringLiteral(".--. .- .-. .. ... / .--. .- .-. .. ...").split(u' ')) {
        for (QChar element : sign) {
            if (element == u'/') {
                at += 240;  // with the character gap before it, a word gap of 7 units
                continue;
            }
            KeyAt(clock, window, at, true, Qt::Key_Space);
            at += element == u'-' ? 180 : 60;
            KeyAt(clock, window, at, false, Qt::Key_Space);
            at += 60;
        }
        at += 120;
    }
    clock.waitUntil(at + 1000);
    QCOMPARE(window.decodedText(), QStringLiteral("PARIS PARIS"));
    QCOMPARE(edges, 2 * 2 * 14);
}

void TestFreeKeying::paddlesKeyTheIambicKeyer() {
    VirtualClock clock;
    FreeKeyingWindow window(clock);  // mode B at 18 WPM
    QString keyed;
    window.setSidetone([&keyed](bool down) { keyed += down ? u'+' : u'-'; });
    KeyAt(clock, window, 0, true, Qt::Key_Control, kLeftControl);
    KeyAt(clock, window, 30, true, Qt::Key_Control, kRightControl);
    KeyAt(clock, window, 200, false, Qt::Key_Control, kLeftControl);
    KeyAt(clock, window, 200, false, Qt::Key_Control, kRightControl);
    clock.waitUntil(2000);
    QCOMPARE(keyed, QStringLiteral("+-+-+-"));  // dot, dash and mode B's extra dot
}

void TestFreeKeying::losingTheFocusReleasesTheKey() {
    VirtualClock clock;
    FreeKeyingWindow window(clock);
    QString keyed;
    window.setSidetone([&keyed](bool down) { keyed += down ? u'+' : u'-'; });
    KeyAt(clock, window, 0, true, Qt::Key_Space);
    clock.waitUntil(50);
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(&window, &focusOut);
    QCOMPARE(keyed, QStringLiteral("+-"));
    clock.waitUntil(2000);
    QCOMPARE(keyed, QStringLiteral("+-"));
}

QTEST_MAIN(TestFreeKeying)
#include "test_free_keying.moc"
