// The message format, the log, the ping count and the role captions, without a window.
#include <QTest>

#include "core/kit/LinkState.h"
#include "core/kit/RoleCaptions.h"
#include "core/link/NetLog.h"
#include "core/link/PeerText.h"
#include "core/link/PingCounter.h"
#include "core/link/PingSocket.h"
#include "core/link/WireCodec.h"

using namespace Qt::StringLiterals;

class WireFormatTest : public QObject {
    Q_OBJECT

  private slots:
    void encode_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("callsign") << 0 << u"JA1"_s << QByteArray("0JA1");
        QTest::newRow("kana and kanji")
            << 1 << u"日本ｶﾅ"_s << QByteArray("1\x93\xFA\x96\x7B\xB6\xC5");
        QTest::newRow("wave dash from an input method")
            << 1 << u"\u301C"_s << QByteArray("1\x81\x60");
        QTest::newRow("no code in the page") << 1 << u"a\u00E9\U0001F600b"_s << QByteArray("1a??b");
    }
    void encode() {
        QFETCH(int, type);
        QFETCH(QString, payload);
        QFETCH(QByteArray, bytes);
        QCOMPARE(WireCodec::Encode(QChar(u'0' + type), payload), bytes);
    }

    void split_data() {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArrayList>("messages");
        QTest::newRow("two status messages") << QByteArray("7263") << QByteArrayList{"72", "63"};
        QTest::newRow("status then chat") << QByteArray("801hi") << QByteArrayList{"80", "1hi"};
        QTest::newRow("chat swallows the rest") << QByteArray("1hi80") << QByteArrayList{"1hi80"};
        QTest::newRow("unlisted payload") << QByteArray("49") << QByteArrayList{"49"};
        QTest::newRow("no digit follows") << QByteArray("2ST") << QByteArrayList{"2ST"};
        QTest::newRow("lone digit") << QByteArray("7") << QByteArrayList{"7"};
    }
    void split() {
        QFETCH(QByteArray, received);
        QFETCH(QByteArrayList, messages);
        QCOMPARE(WireCodec::Split(received), messages);
    }

    void decodeNeverFails() {
        const WireCodec::Message message = WireCodec::Decode("1\x82\xA0\x82");
        QCOMPARE(message.type, QChar(u'1'));
        QCOMPARE(message.payload, u"あ\uFFFD"_s);
        QVERIFY(WireCodec::Decode({}).type.isNull());
    }

    void logKeepsTheLastFourteenLines() {
        NetLog log;
        for (int i = 1; i <= 16; ++i) {
            log.append(QString::number(i));
        }
        QCOMPARE(log.counter(), 15);
        QCOMPARE(log.text(),
                 u"3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12\r\n13\r\n14\r\n15\r\n16"_s);
        log.restart();
        log.append(u"new"_s);
        QCOMPARE(log.text(), u"new"_s);
        QCOMPARE(LogStamp(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5))), u"2026/01/02 03:04:05"_s);
    }

    void sixthUnansweredPingLosesThePeer() {
        using Next = PingCounter::Next;
        PingCounter counter;
        QCOMPARE(counter.pingSent(), Next::Keep);
        counter.answered();
        const QList<Next> expected{Next::Keep, Next::Shorten, Next::Keep,
                                   Next::Keep, Next::Keep,    Next::PeerLost};
        for (Next next : expected) {
            QCOMPARE(counter.pingSent(), next);
        }
        QCOMPARE(counter.countRetry(), qint16(0));
    }

    void mappedAddressIsTheSameHost() {
        QVERIFY(PingSocket::SameHost(QHostAddress(u"::ffff:192.168.1.2"_s),
                                     QHostAddress(u"192.168.1.2"_s)));
        QVERIFY(
            !PingSocket::SameHost(QHostAddress(u"192.168.1.3"_s), QHostAddress(u"192.168.1.2"_s)));
    }

    void roleCaptions() {
        LinkState s;
        s.myCallsign = u"ME"_s;
        s.peerCallsign = u"YOU"_s;
        s.myMode = LinkMode::CwChat;
        s.mySpeed = 45;
        s.peerMode = LinkMode::Step;
        s.peerSpeed = 60;
        s.teacherStatus = LinkStatus::Composing;
        s.studentStatus = LinkStatus::TestRunning;
        QCOMPARE(RoleCaption::SetterPeer(s), u"出題者:YOU[問題作成中]"_s);
        QCOMPARE(RoleCaption::AnswererMode(s), u"解答者:YOU[ステップモード60]"_s);
        QCOMPARE(RoleCaption::AnswererStatus(s), u"解答者:YOU[受験中]"_s);
        QCOMPARE(RoleCaption::ChatSelf(s), u"ME[CWチャットモード45]"_s);
        QCOMPARE(RoleCaption::ChatStatusSelf(s), u"ME[CWチャットモード問題作成中]"_s);
        QCOMPARE(RoleCaption::ChatStatusPeer(s), u"YOU[ステップモード受験中]"_s);
        s.teacherStatus = LinkStatus::Empty;  // no status shows no empty brackets
        QCOMPARE(RoleCaption::SetterPeer(s), u"出題者:YOU"_s);
    }

    void peerTextShowsControlsAsSigns_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain and Japanese") << u"CQ ありがとう～"_s << u"CQ ありがとう～"_s;
        QTest::newRow("C0 controls")
            << QString(u"a\r\nb\x01\x1F"_s) << u"a\u240D\u240Ab\u2401\u241F"_s;
        QTest::newRow("NUL") << QString(QChar(u'\0')) + u"x"_s << u"\u2400x"_s;
        QTest::newRow("DEL") << u"\x7F"_s << u"\u2421"_s;
        QTest::newRow("C1 and Unicode breaks")
            << u"\u0085\u2028\u2029."_s << u"\uFFFD\uFFFD\uFFFD."_s;
    }
    void peerTextShowsControlsAsSigns() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(ShownPeerText(text), shown);
    }

    void peerCallsignIsCapped_data() {
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << u"JA1ABC/2"_s << u"JA1ABC/2"_s;
        QTest::newRow("exactly the cap") << QString(20, u'K') << QString(20, u'K');
        QTest::newRow("one over") << QString(21, u'K') << QString(20, u'K') + u'…';
        // A character outside the basic plane cut in half at the cap is dropped whole.
        QTest::newRow("surrogate at the cap")
            << QString(19, u'K') + u"\U0001F600Z"_s << QString(19, u'K') + u'…';
        QTest::newRow("line break") << u"JA1\nX"_s << u"JA1\u240AX"_s;
    }
    void peerCallsignIsCapped() {
        QFETCH(QString, callsign);
        QFETCH(QString, shown);
        QCOMPARE(ShownPeerCallsign(callsign), shown);
    }
};

QTEST_GUILESS_MAIN(WireFormatTest)
#include "test_wire_format.moc"
