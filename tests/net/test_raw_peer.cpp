// One main window against a peer made of raw sockets in the test: the exact bytes on the
// wire, coalesced and undecodable receives, floods, and who may ping.
#include <QCheckBox>
#include <QLabel>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>
#include <optional>

#include "core/kit/ClockTimer.h"
#include "core/link/BandRequest.h"
#include "core/link/QuillNetModule.h"
#include "core/morse/PracticeSettings.h"
#include "core/partner/PartnerLink.h"
#include "core/partner/QuestionSource.h"
#include "support/NetTestSupport.h"
#include "ui/app/KeyedChat.h"
#include "ui/morse/KeyingPad.h"

using namespace Qt::StringLiterals;

class RawPeerTest : public QObject {
    Q_OBJECT

    // The window listens as JA1AAA; the raw peer connects to it.
    struct Rig {
        TestContext context;
        LinkWatch watch{context.clock};
        MainForm form{context.context()};
        QTcpSocket peer;
        QByteArray received;
        explicit Rig(const QString& from = u"127.0.0.1"_s, bool onlyPeer = false) {
            watch.add(&form);
            watch.add(&peer);
            SetIdentity(form, u"JA1AAA"_s);
            QObject::connect(&peer, &QTcpSocket::readyRead, [this] { received += peer.readAll(); });
            form.ui().AcceptOnlyPeerCheck->setChecked(onlyPeer);
            form.ui().ListenButton->click();
            peer.bind(QHostAddress(from));
            peer.connectToHost(QHostAddress::LocalHost, context.ports.tcp);
            wait(100);
        }
        void wait(int ms) { Delay(context.clock, ms); }
        void send(const QByteArray& bytes, int ms = 100) {
            peer.write(bytes);
            peer.flush();
            wait(ms);
        }
        QString lastLogLine() {
            return form.peerLink().module().log().text().split(u"\r\n"_s).constLast();
        }
    };

    // The practice partner listening in the window's place; the raw peer connects to it.
    struct PartnerRig {
        TestContext context;
        LinkWatch watch{context.clock};
        QuestionSource questions{QuestionSource::Settings{}};
        PartnerSession session{u"JA9PRT"_s, questions, 1500, context.clock};
        PartnerLink partner{context.clock, session, context.ports};
        QTcpSocket peer;
        PartnerRig() {
            watch.add(&peer);
            context.clock.addBusyCheck([this] {
                for (qintptr descriptor : partner.descriptors()) {
                    pollfd watched{static_cast<int>(descriptor), POLLIN, 0};
                    if (descriptor != -1 && ::poll(&watched, 1, 0) > 0) {
                        return true;
                    }
                }
                return partner.hasPendingWork();
            });
            partner.listen(QHostAddress::LocalHost);
            peer.connectToHost(QHostAddress::LocalHost, context.ports.tcp);
            Delay(context.clock, 100);
        }
    };

  private slots:
    void greetingAndChatLineBytes() {
        Rig r;
        QCOMPARE(r.received, QByteArray("0JA1AAA30"));
        r.received.clear();
        // ありがとう～ in code page 932, the wave dash as Windows writes it
        r.form.ui().SendMessageText->setText(u"ありがとう～"_s);
        r.wait(100);
        r.form.ui().SendMessageButton->click();
        r.wait(100);
        QCOMPARE(r.received,
                 QByteArray("80") + "1\x82\xA0\x82\xE8\x82\xAA\x82\xC6\x82\xA4\x81\x60" + "85");
    }

    void receivedMessagesAsTheyShow_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("callsign") << QByteArray("0JA9ZZZ") << QString();
        QTest::newRow("japanese line")
            << QByteArray("1\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD") << u"JA9ZZZ > こんにちは"_s;
        QTest::newRow("undecodable bytes")
            << QByteArray("1A\x81\x20Z\xFF") << u"JA9ZZZ > A\uFFFD Z\uFFFD"_s;
        QTest::newRow("empty line") << QByteArray("1") << u"JA9ZZZ > "_s;
        QTest::newRow("rich text stays text") << QByteArray("1<b>x</b>") << u"JA9ZZZ > <b>x</b>"_s;
        // A line break inside a payload would forge log lines; a NUL would end the text early.
        QTest::newRow("CR LF cannot forge a line")
            << QByteArray("1hi\r\nJA1AAA > fake") << u"JA9ZZZ > hi\u240D\u240AJA1AAA > fake"_s;
        QTest::newRow("NUL shows") << QByteArray("1a\0b", 4) << u"JA9ZZZ > a\u2400b"_s;
        QTest::newRow("tab and DEL show") << QByteArray("1\t\x7fx") << u"JA9ZZZ > \u2409\u2421x"_s;
    }
    void receivedMessagesAsTheyShow() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, logLine);
        Rig r;
        r.send("0JA9ZZZ");
        r.send(bytes);
        QCOMPARE(r.form.link().peerCallsign, u"JA9ZZZ"_s);
        QCOMPARE(r.lastLogLine(), logLine);
    }

    void longCallsignIsCappedAndCleaned() {
        Rig r;
        r.send("0" + QByteArray(60000, 'W') + "\r\n", 300);
        const QString shown = QString(20, u'W') + u'…';
        QCOMPARE(r.form.link().peerCallsign, shown);
        QCOMPARE(r.form.peerLink().module().log().text().count(u"\n"_s), 2);
        QVERIFY(r.form.ui().ChatText->toPlainText().contains(shown + u"さんが入室しました。"_s));
    }

    // A peer repeating "71" while its box is open gets that one box; the link is still read
    // behind it (a chat line shows, the peer's close is seen).
    void repeatedReadyMessageKeepsTheLinkRead() {
        Rig r;
        r.send("0JA9ZZZ");
        r.context.desktop.whileShown = [&r] { Delay(r.context.clock, 20000); };
        VirtualClock& clock = r.context.clock;
        for (int i = 0; i < 60; ++i) {
            clock.scheduleAt(clock.now() + 100 + i * 50, [&r] {
                r.peer.write("71");
                r.peer.flush();
            });
        }
        QString chatShown;
        clock.scheduleAt(clock.now() + 4000, [&r] {
            r.peer.write("1still reading");
            r.peer.flush();
        });
        clock.scheduleAt(clock.now() + 4500, [&] { chatShown = r.lastLogLine(); });
        clock.scheduleAt(clock.now() + 5000, [&r] { r.peer.disconnectFromHost(); });
        QString statusAfterClose;
        clock.scheduleAt(clock.now() + 5500,
                         [&] { statusAfterClose = r.form.ui().StatusLabel->text(); });
        r.wait(30000);
        QCOMPARE(r.context.desktop.messages.size(), 1);
        QCOMPARE(r.context.desktop.mostOpenAtOnce, 1);
        QCOMPARE(chatShown, u"JA9ZZZ > still reading"_s);
        QCOMPARE(statusAfterClose, u"JA9ZZZさんから切断されました。"_s);
    }

    void unlistedPayloadsChangeNothing() {
        Rig r;
        r.send("0JA9ZZZ");
        const QString label = r.form.ui().StudentLabel->text();
        r.send("49");
        r.send("2X");
        r.send("\xFF\xFEgarbage");
        r.send("4WPM1 c=99 e=0 w=0");
        r.send("4WPM2 c=20 e=0 w=0");
        r.send("4WPM1 c=20 e=0 w=0 ");
        r.send("4WPM1 c=34 e=0 w=0\n");
        QVERIFY(r.form.link().peerExactSpeed.isEmpty());
        QVERIFY(r.form.link().peerSpeed == 0);
        QVERIFY(r.form.ui().Speed25_Option->isChecked());
        QCOMPARE(r.form.ui().StudentLabel->text(), label);
        QVERIFY(r.received.endsWith("30"));  // nothing was answered
    }

    // "72" and "63" joined by TCP: both act. The test's end ("74") ends the blink loop.
    void coalescedSingleCharacterMessagesAreSplit() {
        Rig r;
        r.send("0JA9ZZZ");
        VirtualClock& clock = r.context.clock;
        clock.scheduleAt(clock.now() + 4000, [&r] {
            QCOMPARE(r.form.ui().StudentLabel->text(), u"解答者:JA9ZZZ[受験中]"_s);
            r.peer.write("74");
        });
        r.send("7263", 5000);
        QCOMPARE(Text(r.form.link().teacherStatus), u"出題中止"_s);
        QCOMPARE(Text(r.form.link().studentStatus), u"受験中止"_s);
        QCOMPARE(r.form.ui().StudentLabel->text(), u"解答者:JA9ZZZ[受験中止]"_s);
        QCOMPARE(r.form.ui().TeacherLabel->text(), u"出題者:JA1AAA"_s);
    }

    // A peer repeating "72" must not stack one blink loop inside the other.
    void repeatedTestStartsShareOneBlinkLoop() {
        Rig r;
        r.send("0JA9ZZZ");
        VirtualClock& clock = r.context.clock;
        clock.scheduleAt(clock.now() + 3000, [&r] { r.peer.write("74"); });
        r.send(QByteArray("72").repeated(5000), 4000);
        QCOMPARE(Text(r.form.link().studentStatus), u"受験中止"_s);
        QCOMPARE(r.form.peerLink().winsock1().state(), LinkSocket::State::Connected);
    }

    // The answerer tells its speed: the three options as ever; a speed of its own as the nearest
    // code, then its figures in a second message an original peer ignores.
    void speedBytes_data() {
        QTest::addColumn<int>("option");  // 0: a speed of its own
        QTest::addColumn<QString>("figures");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("25") << 25 << QString() << QByteArray("2T41");
        QTest::newRow("45") << 45 << QString() << QByteArray("2T42");
        QTest::newRow("60") << 60 << QString() << QByteArray("2T43");
        QTest::newRow("20 WPM") << 0 << u"c=20 e=0 w=0"_s << QByteArray("2T434WPM1 c=20 e=0 w=0");
        QTest::newRow("8 WPM") << 0 << u"c=8 e=0 w=0"_s << QByteArray("2T424WPM1 c=8 e=0 w=0");
        QTest::newRow("25/4") << 0 << u"c=25 e=4 w=1.5"_s << QByteArray("2T434WPM1 c=25 e=4 w=1.5");
    }
    void speedBytes() {
        QFETCH(int, option);
        QFETCH(QString, figures);
        QFETCH(QByteArray, bytes);
        Rig r;
        r.send("0JA9ZZZ");
        r.received.clear();
        if (option != 0) {
            r.form.findChild<QRadioButton*>(u"Speed%1_Option"_s.arg(option))->click();
        } else {
            r.form.practiceSettings().setFreeFigures(*ParseFreeSpeedFigures(figures));
            r.form.ui().SpeedFree_Option->click();
        }
        r.wait(100);
        if (option == 0) {  // told once, the code first
            QCOMPARE(r.received, bytes.mid(2));
        }
        r.received.clear();
        r.send("2S");
        QCOMPARE(r.received, bytes);
        if (option == 0) {  // new figures while it stays selected are told too
            r.received.clear();
            r.form.practiceSettings().setFreeFigures(FreeSpeed{33, 0, 0});
            r.wait(100);
            QCOMPARE(r.received, QByteArray("434WPM1 c=33 e=0 w=0"));
        }
    }

    // From a peer of this program, joined by TCP or not: the figures are taken and shown.
    void exactSpeedFromThePeer_data() {
        QTest::addColumn<QByteArrayList>("sends");
        QTest::newRow("apart") << QByteArrayList{"43", "4WPM1 c=18 e=10 w=0"};
        QTest::newRow("joined") << QByteArrayList{"434WPM1 c=18 e=10 w=0"};
    }
    void exactSpeedFromThePeer() {
        QFETCH(QByteArrayList, sends);
        Rig r;
        r.send("0JA9ZZZ");
        r.send("33");
        for (const QByteArray& bytes : sends) {
            r.send(bytes);
        }
        QCOMPARE(r.form.link().peerSpeed, 60);
        QCOMPARE(r.form.link().peerExactSpeed, u"18/10WPM"_s);
        QVERIFY(r.form.ui().StudentLabel->text().contains(u"18/10WPM"_s));
        QVERIFY(r.form.ui().SpeedFree_Option->isChecked());
        QCOMPARE(r.form.practiceSettings().freeFigures(), (FreeSpeed{18, 10, 0}));
        r.send("41");  // back to a code alone: the code is the speed again
        QVERIFY(r.form.link().peerExactSpeed.isEmpty());
        QVERIFY(r.form.ui().Speed25_Option->isChecked());
    }

    // Band conditions asked by a peer of this program, joined by TCP or not; anything not exactly
    // a request changes nothing. Every preset goes through the wire unchanged.
    void bandRequestFromThePeer_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("summary");  // null: not taken
        const QByteArray good =
            "4BAND1 s=7 n=1,15 f=0,0.5 q=3,600,15,30,-6 c=0,1,0 h=0,30 k=0,10,0";
        QTest::newRow("good") << good << u"SNR 15dB QRM 3 ±600Hz 15-30WPM -6dB"_s;
        QTest::newRow("after a code") << "43" + good << u"SNR 15dB QRM 3 ±600Hz 15-30WPM -6dB"_s;
        QTest::newRow("later form") << QByteArray(good).replace("BAND1", "BAND2") << QString();
        QTest::newRow("trailing space") << good + ' ' << QString();
        QTest::newRow("field missing") << QByteArray(good).replace(" h=0,30", "") << QString();
        QTest::newRow("out of range") << QByteArray(good).replace("n=1,15", "n=1,99") << QString();
        QTest::newRow("flag not 0 or 1") << QByteArray(good).replace("n=1", "n=2") << QString();
        QTest::newRow("not a number") << QByteArray(good).replace("15,30", "15,nan") << QString();
        QTest::newRow("negative seed") << QByteArray(good).replace("s=7", "s=-7") << QString();
        QTest::newRow("seed and a tab") << QByteArray(good).replace("s=7", "s=7\t") << QString();
        QTest::newRow("a station too many") << QByteArray(good).replace("q=3", "q=5") << QString();
    }
    void bandRequestFromThePeer() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, summary);
        for (const BandPreset& preset : BandPresets()) {
            QCOMPARE(ParseBandRequestPayload(BandRequestPayload(preset.conditions)),
                     preset.conditions);
        }
        const QString sent = u"BAND1 s=7 n=1,15 f=0,0.5 q=3,600,15,30,-6 c=0,1,0 h=0,30 k=0,10,0"_s;
        QCOMPARE(BandRequestPayload(*ParseBandRequestPayload(sent)), sent);  // byte for byte
        Rig r;
        r.send("0JA9ZZZ");
        r.send(bytes);
        QCOMPARE(r.context.sound.bandConditionsOn(), !summary.isNull());
        if (!summary.isNull()) {
            QCOMPARE(
                r.lastLogLine(),
                u"相手の出題はバンドコンディション（%1、シード 7）で再生されます。"_s.arg(summary));
        }
        QCOMPARE(r.form.link().peerSpeed, bytes.startsWith("43") ? 60 : 0);
    }

    // The partner without --band greets with exactly the bytes it always did; with it, the request
    // follows the role, as a type 4 that the original program ignores.
    void partnerAsksForBandConditionsOnlyWhenTold_data() {
        QTest::addColumn<QString>("request");
        QTest::newRow("not told") << QString();
        QTest::newRow("told") << BandRequestPayload(BandPresets()[2].conditions);
    }
    void partnerAsksForBandConditionsOnlyWhenTold() {
        QFETCH(QString, request);
        PartnerRig r;
        r.session.setBandRequest(request);
        QByteArray received;
        QObject::connect(&r.peer, &QTcpSocket::readyRead, [&] { received += r.peer.readAll(); });
        r.peer.write("0JA1AAA");
        Delay(r.context.clock, 3000);
        const QByteArray today = "0JA9PRT2S";
        QCOMPARE(received, request.isEmpty() ? today : today + '4' + request.toLatin1());
    }

    void roleRequestIsAnsweredOnce() {
        Rig r;
        r.send("0JA9ZZZ");
        r.received.clear();
        r.send("2S");
        QVERIFY(r.form.ui().StudentOption->isChecked());
        QCOMPARE(r.received, QByteArray("2T41"));
        r.received.clear();
        r.send("2S");  // already the answerer: no echo
        QVERIFY(r.received.isEmpty());
    }

    void floodClosesTheLink() {
        Rig r;
        QByteArray flood("1");
        flood.append(4 * 1024 * 1024, 'x');
        r.send(flood, 500);
        QCOMPARE(r.form.ui().StatusLabel->text(),
                 u"相手から受信したデータが多すぎるため切断しました。"_s);
        QVERIFY(r.form.ui().ListenButton->isEnabled());
        QCOMPARE(r.form.peerLink().winsock1().state(), LinkSocket::State::Closed);
        // The window still works: it can listen again.
        r.form.ui().ListenButton->click();
        QCOMPARE(r.form.peerLink().winsock1().state(), LinkSocket::State::Listening);
    }

    // Only the peer's host is answered, 100 ms on and one answer at a time; 65,000 bytes go unread.
    // The practice partner answers as the window does.
    void pingsAreAnsweredOnlyForThePeer_data() {
        QTest::addColumn<bool>("partner");
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("pings");  // one every 2 ms
        QTest::addColumn<int>("answers");
        QTest::newRow("peer") << false << u"127.0.0.1"_s << 1 << 1;
        QTest::newRow("stranger") << false << u"127.0.0.2"_s << 1 << 0;
        QTest::newRow("peer, 1500 pings") << false << u"127.0.0.1"_s << 1500 << 30;
        QTest::newRow("partner: stranger") << true << u"127.0.0.2"_s << 1 << 0;
        QTest::newRow("partner: peer, 1500 pings") << true << u"127.0.0.1"_s << 1500 << 30;
    }
    void pingsAreAnsweredOnlyForThePeer() {
        QFETCH(bool, partner);
        QFETCH(QString, from);
        QFETCH(int, pings);
        QFETCH(int, answers);
        std::optional<Rig> window;
        std::optional<PartnerRig> partnerRig;
        TestContext& context = partner ? partnerRig.emplace().context : window.emplace().context;
        if (window) {
            window->form.RetryPingTimer->setEnabled(false);
        }
        QUdpSocket pinger;
        QVERIFY(pinger.bind(QHostAddress(from), context.ports.connectorUdp));
        VirtualClock& clock = context.clock;
        bool early = false;
        clock.scheduleAt(clock.now() + 50, [&] { early = pinger.hasPendingDatagrams(); });
        const quint16 port = context.ports.listenerUdp;
        pinger.writeDatagram(QByteArray(65000, 'q'), QHostAddress::LocalHost, port);
        const auto ping = [&] { pinger.writeDatagram("quill", QHostAddress::LocalHost, port); };
        for (int i = 0; i < pings; ++i) {
            clock.scheduleAt(clock.now() + 2 * i, ping);
        }
        Delay(clock, 2 * pings + 150);
        QVERIFY(!early);
        int answered = 0;
        while (pinger.hasPendingDatagrams()) {
            answered += pinger.receiveDatagram().data() == "1";
        }
        QCOMPARE(answered, answers);
    }

    // Keyed by hand in CW chat, each decoded character goes out as an answer button's does, and
    // nothing else does.
    void handKeyedCwChatBytes() {
        Rig r;
        r.send("0JA9ZZZ");
        r.form.ui().ChatMode_Option->click();
        r.form.ui().optionCw->click();
        r.form.sendingMenu().keyedChat().toggle()->click();
        KeyingPad& pad = r.form.sendingMenu().keyedChat().pad();
        KeyInputSettings straight;
        straight.mode = KeyerMode::Straight;
        pad.setSettings(straight);
        r.wait(500);
        r.received.clear();
        r.context.sound.clear();
        VirtualClock& clock = r.context.clock;
        qint64 at = clock.now();
        for (const QString& sign : u".--. .- .-. .. ..."_s.split(u' ')) {
            for (const QChar element : sign) {
                for (const bool down : {true, false}) {
                    clock.scheduleAt(at, [&pad, down] {
                        QKeyEvent key(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space,
                                      Qt::NoModifier);
                        QApplication::sendEvent(&pad, &key);
                    });
                    at += down ? (element == u'-' ? 180 : 60) : 60;
                }
            }
            at += 120;
        }
        r.wait(int(at - clock.now()) + 1000);
        QCOMPARE(r.received, QByteArray("9P9A9R9I9S"));
        // Heard once, as the sidetone, and not played again.
        QCOMPARE(r.context.sound.keying(), u"["_s + u"+-"_s.repeated(14));
        QVERIFY(r.context.sound.events().isEmpty());
        r.received.clear();
        r.form.ui().answerButton(u'P')->setEnabled(true);
        r.form.ui().answerButton(u'P')->click();
        r.wait(100);
        QVERIFY(r.received.startsWith("9P"));
    }

    // With the option on, a stranger is turned away unanswered; the peer may link, and shows.
    void onlyThePeerAddressMayLink() {
        Rig r(u"127.0.0.2"_s, true);
        QVERIFY(r.received.isEmpty() && r.form.ui().PeerIpLabel->text().isEmpty());
        QVERIFY(r.form.ui().StatusLabel->text().startsWith(u"127.0.0.2からの接続を断りました。"_s));
        r.peer.abort();  // the same socket, now from the peer address
        r.peer.connectToHost(QHostAddress::LocalHost, r.context.ports.tcp);
        r.wait(100);
        QCOMPARE(r.form.ui().PeerIpLabel->text(), u"127.0.0.1"_s);
    }
};

QTEST_MAIN(RawPeerTest)
#include "test_raw_peer.moc"
