// Two main windows in one process, linked over 127.0.0.1 on free ports, on one virtual clock:
// connecting, callsigns, text chat, roles, closing, ping loss and the address tools.
#include <QAction>
#include <QLabel>
#include <QNetworkInterface>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "core/kit/ClockTimer.h"
#include "core/link/PingSocket.h"
#include "core/link/QuillNetModule.h"
#include "support/LinkedPair.h"
#include "support/WindowScript.h"
#include "ui/link/PresencePing.h"

using namespace Qt::StringLiterals;

namespace {

const QString kStamp = u"(2026/12/07 20:41:59)"_s;

QColor Colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

}  // namespace

class PeerLinkTest : public QObject {
    Q_OBJECT

    using Pair = LinkedPair;

  private slots:
    void listenConnectAndExchangeCallsigns() {
        Pair p;
        p.a.ui().ListenButton->click();
        QCOMPARE(p.a.ui().StatusLabel->text(), u"相手からの接続待ちです。"_s);
        QCOMPARE(p.a.ui().CloseButton->text(), u"停止"_s);
        p.b.ui().ConnectButton->click();
        QCOMPARE(p.b.ui().CloseButton->text(), u"中止"_s);
        p.wait(2100);

        QCOMPARE(p.a.ui().StatusLabel->text(), u"接続を受付けました。"_s);
        QCOMPARE(p.b.ui().StatusLabel->text(), u"127.0.0.1に接続しました。"_s);
        QCOMPARE(p.a.link().peerCallsign, u"JA2BBB"_s);
        QCOMPARE(p.b.link().peerCallsign, u"JA1AAA"_s);
        QCOMPARE(p.a.peerLink().module().log().text(), u"JA1AAAさんが入室しました。"_s + kStamp +
                                                           u"\r\nJA2BBBさんが入室しました。"_s +
                                                           kStamp + u"\r\n"_s);
        for (MainForm* form : {&p.a, &p.b}) {
            QVERIFY(form->ui().ChatMode_Option->isChecked());
            QVERIFY(form->ui().optionMoji->isChecked());
            QVERIFY(form->ui().TeacherOption->isEnabled());
            QVERIFY(form->ui().SendMessageButton->isEnabled());
            QCOMPARE(form->ui().CloseButton->text(), u"切断"_s);
        }
        QCOMPARE(p.a.ui().TeacherLabel->text(), u"JA1AAA[文字チャットモード]"_s);
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[文字チャットモード]"_s);
        // The connecting side pings at once; the listening side 30 s after the link stood.
        QVERIFY(p.b.RetryPingTimer->isEnabled());
        QVERIFY(!p.a.RetryPingTimer->isEnabled());
        p.wait(30000);
        QVERIFY(p.a.RetryPingTimer->isEnabled());
    }

    void textChatWithTypingNotice() {
        Pair p;
        p.connect();
        p.b.ui().SendMessageText->setText(u"こんにちは～"_s);
        p.wait(100);
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[文字チャットモード(入力中)]"_s);
        QCOMPARE(Colour(p.a.ui().StudentLabel), QColor(255, 0, 0));

        QTest::keyClick(p.b.ui().SendMessageText, Qt::Key_Return);  // sends as the button does
        p.wait(100);
        QVERIFY(p.a.ui().ChatText->toPlainText().endsWith(u"\nJA2BBB > こんにちは～"_s));
        QVERIFY(p.b.ui().ChatText->toPlainText().endsWith(u"\nJA2BBB > こんにちは～"_s));
        QVERIFY(p.b.ui().SendMessageText->text().isEmpty());
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[文字チャットモード]"_s);
        QCOMPARE(Colour(p.a.ui().StudentLabel), QColor(0, 0, 0));
    }

    void rolesHandOverBothWays() {
        Pair p;
        p.connect();
        p.a.ui().TeacherOption->click();
        p.wait(200);
        QVERIFY(p.b.ui().StudentOption->isChecked());
        QCOMPARE(p.b.ui().StartButton_Command->text(), u"準備OK"_s);
        QCOMPARE(p.a.ui().StartButton_Command->text(), u"出題"_s);
        QCOMPARE(p.b.ui().TeacherLabel->text(), u"出題者:JA1AAA"_s);
        QCOMPARE(p.a.ui().StudentLabel->text(), u"解答者:JA2BBB[モード未選択25]"_s);
        QVERIFY(!p.a.ui().ChatMode_Option->isChecked());

        p.b.ui().TeacherOption->click();
        p.wait(200);
        QVERIFY(p.a.ui().StudentOption->isChecked());
        QCOMPARE(p.a.ui().StartButton_Command->text(), u"準備OK"_s);
        QCOMPARE(p.b.ui().StartButton_Command->text(), u"出題"_s);
        QCOMPARE(p.a.ui().TeacherLabel->text(), u"出題者:JA2BBB"_s);
    }

    void closeByEitherSide_data() {
        QTest::addColumn<bool>("listenerCloses");
        QTest::newRow("listener closes") << true;
        QTest::newRow("connector closes") << false;
    }
    void closeByEitherSide() {
        QFETCH(bool, listenerCloses);
        Pair p;
        p.connect();
        MainForm& closer = listenerCloses ? p.a : p.b;
        MainForm& other = listenerCloses ? p.b : p.a;
        closer.ui().CloseButton->click();
        p.wait(100);
        const QString closerCall = closer.link().myCallsign;
        const QString otherCall = other.link().myCallsign;
        QCOMPARE(closer.ui().StatusLabel->text(), otherCall + u"さんから切断しました。"_s);
        QCOMPARE(other.ui().StatusLabel->text(), closerCall + u"さんから切断されました。"_s);
        QVERIFY(other.peerLink().module().log().text().endsWith(
            u"\r\n\r\n"_s + otherCall + u"さんが退室しました。"_s + kStamp + u"\r\n"_s +
            closerCall + u"さんが退室しました。"_s + kStamp));
        for (MainForm* form : {&p.a, &p.b}) {
            QVERIFY(form->ui().ConnectButton->isEnabled());
            QVERIFY(!form->ui().CloseButton->isEnabled());
            QVERIFY(!form->ui().SendMessageButton->isEnabled());
            QVERIFY(!form->RetryPingTimer->isEnabled());
            QVERIFY(form->ui().PeerIpLabel->text().isEmpty());
            QCOMPARE(form->ui().TeacherLabel->text(), u"出題者:"_s);
        }
    }

    // The connector's pings go out 60 s after connecting, then every 60, 10, 10, 10, 10 s.
    void silentPeerIsLostAtTheSixthPing() {
        Pair p;
        const qint64 start = p.aContext.clock.now();
        p.connect();
        p.a.peerLink().winsock2().close();  // A stops answering but keeps the TCP link
        const qint64 connected = start + 2000;
        p.wait(int(connected + 155000 - p.aContext.clock.now()));
        QCOMPARE(p.b.peerLink().ping().countRetry(), qint16(5));
        QCOMPARE(p.b.RetryPingTimer->interval(), 10000);
        QCOMPARE(p.b.peerLink().winsock1().state(), LinkSocket::State::Connected);
        p.wait(10000);
        QCOMPARE(p.b.ui().StatusLabel->text(), u"相手から応答がないので切断しました。"_s);
        QVERIFY(
            p.b.ui().ChatText->toPlainText().endsWith(u"チャットルームを閉じました。"_s + kStamp));
        QVERIFY(!p.b.RetryPingTimer->isEnabled());
        QCOMPARE(p.a.ui().StatusLabel->text(), u"JA2BBBさんから切断されました。"_s);
    }

    void answeredPingsKeepTheNormalInterval() {
        Pair p;
        p.connect();
        p.wait(300000);
        QVERIFY(p.b.peerLink().ping().countRetry() <= 1);
        QCOMPARE(p.b.RetryPingTimer->interval(), 60000);
        QCOMPARE(p.a.peerLink().winsock1().state(), LinkSocket::State::Connected);
    }

    // A close during the listening side's 30 s wait must not start its pings afterwards.
    void closeDuringTheListenersWaitStartsNoPing() {
        Pair p;
        VirtualClock& clock = p.aContext.clock;
        clock.scheduleAt(clock.now() + 5000, [&p] { p.b.ui().CloseButton->click(); });
        p.connect();
        p.wait(200000);
        QVERIFY(!p.a.RetryPingTimer->isEnabled());
        QCOMPARE(p.a.ui().StatusLabel->text(), u"JA2BBBさんから切断されました。"_s);
    }

    void connectingWhereNobodyListensEndsInTheErrorHandler() {
        Pair p;
        p.b.ui().ConnectButton->click();
        p.wait(2100);
        QVERIFY(!p.b.ui().StatusLabel->text().isEmpty());
        QVERIFY(!p.b.ui().StatusLabel->text().contains(u"接続"_s));
        QVERIFY(p.b.ui().ConnectButton->isEnabled());
        QVERIFY(!p.b.ui().CloseButton->isEnabled());
        QVERIFY(!p.b.ConnectTimer->isEnabled());
        QVERIFY(!p.b.ui().CallsignText->isReadOnly());
    }

    void closeWhileListeningOrConnecting() {
        Pair p;
        p.a.ui().ListenButton->click();
        p.a.ui().CloseButton->click();
        QCOMPARE(p.a.ui().StatusLabel->text(), u"相手からの接続待ちを停止しました。"_s);
        p.b.ui().ConnectButton->click();
        p.b.ui().CloseButton->click();  // before the first tick: the socket is still closed
        QVERIFY(!p.b.ConnectTimer->isEnabled());
        QVERIFY(p.b.ui().ListenButton->isEnabled());
    }

    void addressCheck_data() {
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("both") << QString() << QString() << u"コール・IPエラー"_s
                              << u"コールサイン及びIPアドレスを入力して下さい。"_s;
        QTest::newRow("callsign") << QString() << u"127.0.0.1"_s << u"コールサインエラー"_s
                                  << u"コールサインを入力して下さい。"_s;
        QTest::newRow("address") << u"JA1AAA"_s << QString() << u"IPアドレスエラー"_s
                                 << u"IPアドレスを入力して下さい。"_s;
    }
    void addressCheck() {
        QFETCH(QString, callsign);
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(QString, text);
        TestContext context;
        MainForm form(context.context());
        form.ui().CallsignText->setText(callsign);
        form.ui().ConnectIpText->setText(address);
        for (QPushButton* button : {form.ui().ListenButton, form.ui().ConnectButton}) {
            QString shownTitle;
            QString shownText;
            bool qtModal = true;
            const WindowStep answer(context.clock, 300, u"NoCallsignOrIpDialog"_s,
                                    [&](QWidget* dialog) {
                                        shownTitle = dialog->windowTitle();
                                        shownText = dialog->findChild<QLabel*>(u"Label1"_s)->text();
                                        qtModal = QGuiApplication::modalWindow() != nullptr;
                                        dialog->findChild<QPushButton*>(u"OKButton"_s)->click();
                                    });
            const qint64 start = context.clock.now();
            button->click();
            QVERIFY(answer.ran());
            QCOMPARE(context.clock.now() - start, 300);  // the click waited for the dialog
            QVERIFY(!qtModal);                           // the main window stays closable
            QCOMPARE(shownTitle, title);
            QCOMPARE(shownText, text);
            QCOMPARE(form.peerLink().winsock1().state(), LinkSocket::State::Closed);
            QVERIFY(!form.ConnectTimer->isEnabled());
        }
    }

    void addressTools() {
        TestContext context;
        MainForm form(context.context());
        const QString own = form.ui().DispIpLabel->text();
        QVERIFY(QHostAddress(own).protocol() == QAbstractSocket::IPv4Protocol);
        bool another = false;
        for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
            another |= address.protocol() == QAbstractSocket::IPv4Protocol &&
                       !address.isLoopback() && !address.isLinkLocal();
        }
        QCOMPARE(QHostAddress(own).isLoopback(), !another);

        context.desktop.clipboard = u"old"_s;
        form.ui().SearchIpButton->click();
        QCOMPARE(context.desktop.clipboard, own);
        form.ui().CheckGrovalIpButton->click();
        QCOMPARE(context.desktop.openedUrls.size(), 1);
        QCOMPARE(context.desktop.openedUrls[0].scheme(), u"https"_s);

        form.ui().CallsignText->setText(u"JA1AAA"_s);
        form.ui().ConnectIpText->setText(u"192.168.1.20"_s);
        QTest::mouseDClick(form.ui().ConnectIpText, Qt::LeftButton);
        QVERIFY(form.ui().ConnectIpText->text().isEmpty());
        QCOMPARE(form.ui().CallsignText->text(), u"JA1AAA"_s);
    }

    void netMenuItemsOnlyCheckThemselves() {
        TestContext context;
        MainForm form(context.context());
        form.ui().mnuNetTeacherMode->setEnabled(true);  // disabled by start-up
        form.ui().mnuNetTeacherMode->trigger();
        QVERIFY(form.ui().mnuNetTeacherMode->isChecked());
        QVERIFY(!form.ui().mnuNetStudentMode->isChecked());
        form.ui().mnuNetStudentMode->trigger();
        QVERIFY(!form.ui().mnuNetTeacherMode->isChecked());
        QVERIFY(form.ui().mnuNetStudentMode->isChecked());
    }
};

QTEST_MAIN(PeerLinkTest)
#include "test_peer_link.moc"
