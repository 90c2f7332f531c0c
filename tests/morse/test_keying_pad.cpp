#include <QtTest>

#include "core/kit/ProgramSettings.h"
#include "core/morse/KeyInputMap.h"
#include "core/morse/KeyInputSerial.h"
#include "core/morse/KeyInputSerialWatch.h"
#include "support/VirtualClock.h"
#include "ui/morse/KeyingPad.h"

namespace {

constexpr quint32 kLeftControl = 0xffe3;
constexpr quint32 kRightControl = 0xffe4;

// Sends a key to a widget at a time on the virtual clock, with the window system's stamp (or 0).
void KeyAt(VirtualClock& clock, QWidget& widget, qint64 at, bool down, int key,
           quint32 keySymbol = 0, quint64 stamp = 0) {
    clock.scheduleAt(at, [&widget, down, key, keySymbol, stamp] {
        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, 0,
                        keySymbol, 0);
        event.setTimestamp(stamp);
        QApplication::sendEvent(&widget, &event);
    });
}

KeyInputSettings Straight() {
    KeyInputSettings settings;
    settings.mode = KeyerMode::Straight;
    return settings;
}

class FakePins : public SerialPinReader {
  public:
    explicit FakePins(std::function<std::optional<Lines>()> lines) : m_lines(std::move(lines)) {}
    std::optional<Lines> read() override { return m_lines(); }

  private:
    std::function<std::optional<Lines>()> m_lines;
};

}  // namespace

class TestKeyingPad : public QObject {
    Q_OBJECT
  private slots:
    void decodesAStraightKeyAsItIsKeyed_data();
    void decodesAStraightKeyAsItIsKeyed();
    void paddlesKeyTheIambicKeyer();
    void onlyItsOwnFocusedKeysCount();
    void inputsMapToContacts_data();
    void inputsMapToContacts();
    void serialLinesArePolled();
    void settingsAreKeptAndCheckedOnLoad();
};

// Each edge is timed by the event's own stamp, however late the window thread gets to it.
void TestKeyingPad::decodesAStraightKeyAsItIsKeyed_data() {
    QTest::addColumn<quint64>("stamps");       // the window system's time at the clock's 0
    QTest::addColumn<QList<qint64>>("stall");  // from, until: the window thread held up
    QTest::newRow("events without a time of their own") << quint64{0} << QList<qint64>{0, 0};
    QTest::newRow("held up across character gaps") << quint64{9000} << QList<qint64>{250, 1700};
    QTest::newRow("the window system's 32-bit time wrapping")
        << (quint64{1} << 32) - 1500 << QList<qint64>{0, 0};
}

void TestKeyingPad::decodesAStraightKeyAsItIsKeyed() {
    QFETCH(quint64, stamps);
    QFETCH(QList<qint64>, stall);
    VirtualClock clock;
    clock.scheduleAt(stall[0], [&clock, &stall] { clock.block(int(stall[1] - stall[0])); });
    KeyingPad pad(clock);
    pad.setSettings(Straight());
    int edges = 0;
    pad.setSidetone([&edges](bool) { ++edges; });
    QString signalled;
    connect(&pad, &KeyingPad::characterDecoded, [&](const QString& text) { signalled += text; });
    qint64 at = 0;
    for (const QString& sign :
         QStringLiteral(".--. .- .-. .. ... / .--. .- .-. .. ...").split(u' ')) {
        for (QChar element : sign) {
            if (element == u'/') {
                at += 240;  // with the character gap before it, a word gap of 7 units
                continue;
            }
            for (const bool down : {true, false}) {  // held up, the events wait
                KeyAt(clock, pad, at >= stall[0] && at < stall[1] ? stall[1] : at, down,
                      Qt::Key_Space, 0,
                      stamps == 0 ? 0 : (stamps + quint64(at)) % (quint64{1} << 32));
                at += down ? (element == u'-' ? 180 : 60) : 60;
            }
        }
        at += 120;
    }
    clock.waitUntil(at + 1000);
    QCOMPARE(pad.decodedText(), QStringLiteral("PARIS PARIS "));  // a word gap of silence
    QCOMPARE(signalled, pad.decodedText());
    QCOMPARE(edges, 2 * 2 * 14);
    QCOMPARE(pad.timings().size(), size_t(2 * 2 * 14 - 1));
    for (const DecodedElement& element : pad.timings()) {
        QCOMPARE(std::fmod(element.ms, 60), 0.0);
    }
    pad.reset();
    QVERIFY(pad.timings().empty() && pad.decodedText().isEmpty());
}

void TestKeyingPad::paddlesKeyTheIambicKeyer() {
    VirtualClock clock;
    KeyingPad pad(clock);
    KeyInputSettings paddles;  // the two Ctrl keys
    paddles.mode = KeyerMode::IambicB;
    paddles.wpm = 18;
    pad.setSettings(paddles);
    QString keyed;
    pad.setSidetone([&keyed](bool down) { keyed += down ? u'+' : u'-'; });
    KeyAt(clock, pad, 0, true, Qt::Key_Control, kLeftControl);
    KeyAt(clock, pad, 30, true, Qt::Key_Control, kRightControl);
    KeyAt(clock, pad, 200, false, Qt::Key_Control, kLeftControl);
    KeyAt(clock, pad, 200, false, Qt::Key_Control, kRightControl);
    clock.waitUntil(2000);
    QCOMPARE(keyed, QStringLiteral("+-+-+-"));  // dot, dash and mode B's extra dot
}

void TestKeyingPad::onlyItsOwnFocusedKeysCount() {
    VirtualClock clock;
    QWidget window;
    auto* other = new QWidget(&window);
    auto* pad = new KeyingPad(clock, &window);
    pad->setSettings(Straight());
    QString keyed;
    pad->setSidetone([&keyed](bool down) { keyed += down ? u'+' : u'-'; });
    KeyAt(clock, *other, 0, true, Qt::Key_Space);
    KeyAt(clock, *pad, 10, true, Qt::Key_Space);
    clock.waitUntil(50);
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(pad, &focusOut);
    QCOMPARE(keyed, QStringLiteral("+-"));
    clock.waitUntil(2000);
    QCOMPARE(keyed, QStringLiteral("+-"));
}

void TestKeyingPad::inputsMapToContacts_data() {
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("paddles");
    QTest::addColumn<bool>("swap");
    QTest::addColumn<int>("key");  // a Qt key, or a mouse button with source Mouse
    QTest::addColumn<quint32>("symbol");
    QTest::addColumn<int>("contact");  // -1: none
    const int keyboard = int(KeySource::Keyboard);
    const int mouse = int(KeySource::Mouse);
    const int dot = int(Paddle::Dot), dash = int(Paddle::Dash);
    QTest::newRow("space keys") << keyboard << false << false << int(Qt::Key_Space) << 0u << dot;
    QTest::newRow("ctrl no key") << keyboard << false << false << int(Qt::Key_Control)
                                 << kLeftControl << -1;
    QTest::newRow("left ctrl") << keyboard << true << false << int(Qt::Key_Control) << kLeftControl
                               << dot;
    QTest::newRow("right ctrl") << keyboard << true << false << int(Qt::Key_Control)
                                << kRightControl << dash;
    QTest::newRow("ctrl unknown side")
        << keyboard << true << false << int(Qt::Key_Control) << 0u << -1;
    QTest::newRow("swapped") << keyboard << true << true << int(Qt::Key_Control) << kLeftControl
                             << dash;
    QTest::newRow("space no paddle") << keyboard << true << false << int(Qt::Key_Space) << 0u << -1;
    QTest::newRow("mouse off") << keyboard << false << false << int(Qt::LeftButton) << 0u << -1;
    QTest::newRow("left click") << mouse << false << false << int(Qt::LeftButton) << 0u << dot;
    QTest::newRow("right no key") << mouse << false << false << int(Qt::RightButton) << 0u << -1;
    QTest::newRow("right paddle") << mouse << true << false << int(Qt::RightButton) << 0u << dash;
    QTest::newRow("left swapped") << mouse << true << true << int(Qt::LeftButton) << 0u << dash;
    QTest::newRow("keys off") << mouse << false << false << int(Qt::Key_Space) << 0u << -1;
}

void TestKeyingPad::inputsMapToContacts() {
    QFETCH(int, source);
    QFETCH(bool, paddles);
    QFETCH(bool, swap);
    QFETCH(int, key);
    QFETCH(quint32, symbol);
    QFETCH(int, contact);
    KeyInputSettings settings;
    settings.source = static_cast<KeySource>(source);
    settings.mode = paddles ? KeyerMode::IambicA : KeyerMode::Straight;
    settings.swapPaddles = swap;
    const KeyInputMap map(settings);
    const std::optional<Paddle> mapped =
        key >= int(Qt::Key_Space) ? map.key(key, symbol) : map.mouse(Qt::MouseButton(key));
    QCOMPARE(mapped ? int(*mapped) : -1, contact);
}

void TestKeyingPad::serialLinesArePolled() {
    VirtualClock clock;
    std::optional<SerialPinReader::Lines> lines = SerialPinReader::Lines{};
    QString contacts;
    QString failure;
    SerialKeyPoller poller(
        clock, std::make_unique<FakePins>([&lines] { return lines; }),
        {{SerialLine::Dsr, Paddle::Dot}, {SerialLine::Dcd, Paddle::Dash}},
        [&](Paddle paddle, bool down, qint64) {
            contacts += QString(paddle == Paddle::Dot ? u'.' : u'-') + (down ? u'+' : u'-');
        },
        [&](const QString& message) { failure = message; });
    clock.waitUntil(10);
    lines->dsr = true;
    lines->cts = true;  // not watched
    clock.waitUntil(10 + SerialKeyPoller::kPollMs);
    lines->dcd = true;
    clock.waitUntil(20);
    lines->dsr = false;
    clock.waitUntil(30);
    lines.reset();  // unplugged: what was closed opens
    clock.waitUntil(40);
    QCOMPARE(contacts, QStringLiteral(".+-+.---"));
    QVERIFY(!failure.isEmpty());
    // A real port is read on a thread of its own: each change with the time it was seen there.
    std::atomic<int> pins{0};  // CTS closed: 1; unplugged: -1
    std::atomic<qint64> seenAt{100};
    SerialLineWatch watch(
        std::make_unique<FakePins>([&pins] {
            return pins < 0 ? std::nullopt
                            : std::optional(SerialPinReader::Lines{pins == 1, false, false});
        }),
        [&seenAt] { return seenAt.load(); });
    const auto next = [&watch] {
        std::vector<SerialLineWatch::Seen> seen;
        for (int i = 0; i < 5000 && seen.empty(); ++i) {  // the thread reads every millisecond
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            seen = watch.take();
        }
        return seen.at(0);
    };
    QCOMPARE(next().at, qint64{100});  // the lines as first read
    seenAt = 250;
    pins = 1;
    const SerialLineWatch::Seen closed = next();
    QVERIFY(closed.lines && closed.lines->cts && closed.at == 250);
    QString error;  // a port that is not there is refused with a message
    QVERIFY(!OpenSerialPins(QStringLiteral("quill-no-such-port"), error));
    QVERIFY(error.contains(QStringLiteral("quill-no-such-port")));
}

void TestKeyingPad::settingsAreKeptAndCheckedOnLoad() {
    QTemporaryDir dir;
    ProgramSettings store(dir.filePath(QStringLiteral("quillstart.ini")));
    QCOMPARE(LoadKeyInputSettings(store), KeyInputSettings{});
    KeyInputSettings settings;
    settings.source = KeySource::Serial;
    settings.mode = KeyerMode::IambicA;
    settings.wpm = 25;
    settings.dashKey = QStringLiteral("x");
    settings.serialPort = QStringLiteral("ttyUSB0");
    settings.dashLine = SerialLine::Dcd;
    QVERIFY(SaveKeyInputSettings(store, settings));
    QCOMPARE(LoadKeyInputSettings(store), settings);
    store.setValue(QStringLiteral("keying/mode"), 7);
    store.setValue(QStringLiteral("keying/wpm"), 900);
    store.setValue(QStringLiteral("keying/dotKey"), QStringLiteral("tab"));
    const KeyInputSettings loaded = LoadKeyInputSettings(store);
    QVERIFY(loaded.mode == KeyInputSettings{}.mode && loaded.wpm == kHighestKeyerWpm);
    QCOMPARE(loaded.dotKey, KeyInputSettings{}.dotKey);
}

QTEST_MAIN(TestKeyingPad)
#include "test_keying_pad.moc"
