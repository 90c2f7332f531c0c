// Text and CW chat between two windows over loopback: the typing notice, empty lines, CW lines
// heard on both sides, keyed characters queued while they play, and a received line heard
// inside another.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/link/ChatSession.h"
#include "core/link/QuillNetModule.h"
#include "support/AwaitSession.h"
#include "support/LinkedPair.h"
#include "ui/kit/Announcer.h"

using namespace Qt::StringLiterals;

namespace {

// The tokens a window sounded, in order, as each WAV file began.
class Heard {
  public:
    Heard(MainForm& form, TestContext& context) {
        context.sound.onEvent = [this, &form](const RecordingSoundOutput::Event& event) {
            if (event.kind == RecordingSoundOutput::Kind::Wave) {
                m_tokens += form.soundState().CurrentSoundToken;
            }
        };
    }
    const QString& tokens() const { return m_tokens; }

  private:
    QString m_tokens;
};

struct CwPair : LinkedPair {
    CwPair() {
        connect();
        b.ui().optionCw->click();
        wait(300);
    }
};

QColor Colour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

}  // namespace

class ChatTest : public QObject {
    Q_OBJECT

  private slots:
    void typingNoticeGoesOnceAndTheClearOne() {
        LinkedPair p;
        p.connect();
        p.b.ui().SendMessageText->setText(u"a"_s);
        p.wait(100);
        QCOMPARE(Text(p.a.link().studentStatus), u"(入力中)"_s);
        p.a.link().studentStatus = LinkStatus::Sending;  // a mark that nothing new came
        p.b.ui().SendMessageText->setText(u"ab"_s);      // more typing: nothing more is sent
        p.wait(100);
        QCOMPARE(p.a.link().studentStatus, LinkStatus::Sending);
        p.b.ui().SendMessageText->clear();
        p.wait(100);
        QVERIFY(p.a.link().studentStatus == LinkStatus::Empty);
    }

    void emptyTextLineIsStillSent() {
        LinkedPair p;
        p.connect();
        p.b.ui().SendMessageButton->click();
        p.wait(100);
        QVERIFY(p.a.ui().ChatText->toPlainText().endsWith(u"\nJA2BBB > "_s));
    }

    void cwLineIsHeardOnBothSides() {
        CwPair p;
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[CWチャットモード25]"_s);
        QString aHeard;
        QString receiving;
        QString boxWhilePlaying;
        // While A hears the line (from its second character on, after the status has reached B).
        p.aContext.sound.onEvent = [&](const RecordingSoundOutput::Event& event) {
            if (event.kind != RecordingSoundOutput::Kind::Wave) {
                return;
            }
            aHeard += p.a.soundState().CurrentSoundToken;
            if (aHeard.size() == 2) {
                const QLabel* label = p.b.ui().StudentLabel;
                receiving =
                    label->text() + (Colour(label) == QColor(255, 0, 0) ? u"|r"_s : u"|b"_s);
                boxWhilePlaying = p.b.ui().SendMessageText->text();
            }
        };
        p.b.ui().SendMessageText->setText(u"cq 5"_s);
        p.b.ui().SendMessageButton->click();
        AwaitCwChat(p.b, p.clock());
        p.wait(8000);
        QCOMPARE(aHeard, u"CQ5"_s);
        QCOMPARE(p.b.link().cwChatBuffer, u"***CWチャットモード開始***\r\nJA2BBB > cq 5\r\n"_s);
        QCOMPARE(p.b.ui().ChatText->toPlainText(),
                 u"***CWチャットモード開始***\nJA2BBB > cq 5\n"_s);
        QVERIFY(p.b.ui().SendMessageText->text().isEmpty());
        QCOMPARE(boxWhilePlaying, u"cq 5"_s);  // the line stays while it is heard
        QCOMPARE(receiving, u"JA1AAA[CWチャットモード受信中]|r"_s);
        QCOMPARE(p.b.ui().StudentLabel->text(), u"JA1AAA[CWチャットモード受信終了]"_s);
        QCOMPARE(p.a.ui().TeacherLabel->text(), u"JA1AAA[CWチャットモード受信終了]"_s);
        QVERIFY(p.a.ui().toneTestButton->isEnabled());
    }

    // C keyed, then Q while C still sounds: two messages at the presses, one run here, one
    // "sending ended" at its end; the transcript keeps the order of the keys.
    void keysPressedWhileTheQueuePlays() {
        CwPair p;
        Heard aHeard(p.a, p.aContext);
        Heard bHeard(p.b, p.bContext);
        p.clock().scheduleAt(p.clock().now() + 300, [&] { p.b.ui().answerButton(u'Q')->click(); });
        p.b.ui().answerButton(u'C')->setEnabled(true);
        p.b.ui().answerButton(u'Q')->setEnabled(true);
        const QString before = p.b.ui().ChatText->toPlainText();
        p.b.ui().answerButton(u'C')->click();
        AwaitCwChat(p.b, p.clock());
        QCOMPARE(bHeard.tokens(), u"CQ"_s);
        QCOMPARE(p.b.ui().ChatText->toPlainText(), before + u"CQ"_s);
        QVERIFY(p.b.peerLink().cwChat().cwSendQueue().isEmpty());
        p.wait(6000);
        QCOMPARE(aHeard.tokens(), u"CQ"_s);
        QCOMPARE(Text(p.a.link().studentStatus), u"送信終了"_s);
        QCOMPARE(Text(p.b.link().teacherStatus), u"送信終了"_s);
        QVERIFY(p.b.ui().Speed25_Option->isEnabled());
    }

    // Twelve keys while the first still sounds: every one is sent and heard here, none lost.
    void twelveKeysAreAllHeard() {
        CwPair p;
        Heard bHeard(p.b, p.bContext);
        const QString keys = u"ABCDEFGHIJKL"_s;
        for (QChar key : keys) {
            p.b.ui().answerButton(key)->setEnabled(true);
        }
        for (int i = 1; i < keys.size(); ++i) {
            const QChar key = keys[i];
            p.clock().scheduleAt(p.clock().now() + 20 * i,
                                 [&p, key] { p.b.ui().answerButton(key)->click(); });
        }
        p.b.ui().answerButton(u'A')->click();
        AwaitCwChat(p.b, p.clock());
        QCOMPARE(bHeard.tokens(), keys);
        p.wait(30000);
        QVERIFY(p.b.peerLink().cwChat().cwSendQueue().isEmpty());
        QCOMPARE(Text(p.b.link().teacherStatus), u"送信終了"_s);
    }

    // A line received while one is being heard is heard inside it: first the inner one, then
    // the rest of the outer.
    void receivedLineInsideARunningOne() {
        CwPair p;
        Heard aHeard(p.a, p.aContext);
        p.a.ui().optionCw->setChecked(true);
        p.clock().scheduleAt(p.clock().now() + 1500,
                             [&p] { p.b.peerLink().module().SendNetMessage(9, u"EE"_s); });
        p.b.peerLink().module().SendNetMessage(9, u"TTTT"_s);
        p.wait(20000);
        const QString heard = aHeard.tokens();
        QCOMPARE(heard.size(), 6);
        QVERIFY2(heard.startsWith(u"T"_s) && heard.endsWith(u"T"_s) && heard.count(u'E') == 2,
                 qPrintable(heard));
        QVERIFY(heard.indexOf(u"EE"_s) > 0);
    }

    void emptyReceivedCwTextIsAnError() {
        CwPair p;
        p.b.peerLink().module().SendNetMessage(9, QString());
        p.wait(500);
        QCOMPARE(p.aContext.desktop.messages.size(), 1);
        QCOMPARE(p.aContext.desktop.messages[0].title, u"CW受信エラー"_s);
        QCOMPARE(p.aContext.desktop.messages[0].text, u"CW受信が出来ません｡"_s);
        QCOMPARE(Text(p.a.link().teacherStatus), u"受信終了"_s);
    }

    // The user's stop ends a received line after its character; the peer and a reader hear so.
    void receivedLineIsStoppedByTheUser() {
        CwPair p;
        Heard aHeard(p.a, p.aContext);
        p.clock().scheduleAt(p.clock().now() + 2000,
                             [&p] { p.a.ui().StopCwReceiveButton->click(); });
        p.b.peerLink().module().SendNetMessage(9, QString(20000, u'T'));
        p.wait(10000);
        QVERIFY(aHeard.tokens().size() <= 3 && !p.a.ui().StopCwReceiveButton->isEnabled());
        QCOMPARE(Text(p.b.link().studentStatus), u"受信終了"_s);
        QCOMPARE(p.a.announcements().announcer().lastAnnouncement(), u"受信CWを止めました。"_s);
    }
};

QTEST_MAIN(ChatTest)
#include "test_chat.moc"
