// Choosing the receive mode, the speed and the chat kind, as both windows of a link see it, and
// the character range menu.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/LinkedPair.h"

using namespace Qt::StringLiterals;

class ReceiveModeTest : public QObject {
    Q_OBJECT

  private slots:
    void modeChosenByTheAnswerer_data() {
        QTest::addColumn<bool>("step");
        QTest::addColumn<QString>("label");
        QTest::newRow("step") << true << u"解答者:JA2BBB[ステップモード25]"_s;
        QTest::newRow("normal") << false << u"解答者:JA2BBB[ノーマルモード25]"_s;
    }
    void modeChosenByTheAnswerer() {
        QFETCH(bool, step);
        QFETCH(QString, label);
        LinkedPair p;
        p.connectWithRoles();
        (step ? p.b.ui().StepMode_Option : p.b.ui().NormalMode_Option)->click();
        p.wait(200);
        QCOMPARE(p.b.ui().StudentLabel->text(), label);
        // The setter's window shows the answerer, not itself.
        QCOMPARE(p.a.ui().StudentLabel->text(), label);
        QCOMPARE(Text(p.a.link().peerMode), step ? u"ステップモード"_s : u"ノーマルモード"_s);
        for (QPushButton* button : p.b.ui().answerButtons) {
            QCOMPARE(button->isEnabled(), step);
        }
        QCOMPARE(p.b.ui().KaitoupassButton_Command->isEnabled(), step);
        QCOMPARE(p.b.ui().Label2->isEnabled(), step);
        QVERIFY(p.b.ui().Label4->isEnabled());
        QVERIFY(p.b.ui().SendMessageText->isReadOnly());
        QVERIFY(!p.b.ui().SendMessageButton->isEnabled());
        QVERIFY(p.b.ui().StartButton_Command->isEnabled());
    }

    void speedChosen_data() {
        QTest::addColumn<QString>("who");  // the side that chooses 60 per minute
        QTest::addColumn<bool>("told");    // whether the other side hears of it
        QTest::newRow("the answerer") << u"answerer"_s << true;
        QTest::newRow("the setter, not in chat: nothing sent") << u"setter"_s << false;
        QTest::newRow("in chat mode, no role: sent") << u"chat"_s << true;
    }
    void speedChosen() {
        QFETCH(QString, who);
        QFETCH(bool, told);
        LinkedPair p;
        if (who == u"chat"_s) {
            p.connect();
        } else {
            p.connectWithRoles();
            p.b.ui().StepMode_Option->click();
            p.wait(200);
        }
        MainForm& chooser = who == u"setter"_s ? p.a : p.b;
        MainForm& other = who == u"setter"_s ? p.b : p.a;
        const int before = other.link().peerSpeed;
        chooser.ui().Speed60_Option->setChecked(true);
        p.wait(200);
        QCOMPARE(other.link().peerSpeed == 60, told);
        if (!told) {
            QCOMPARE(other.link().peerSpeed, before);
        }
        if (who == u"chat"_s) {
            QCOMPARE(chooser.ui().TeacherLabel->text(), u"JA2BBB[文字チャットモード60]"_s);
            QCOMPARE(other.ui().StudentLabel->text(), u"JA2BBB[文字チャットモード60]"_s);
        } else if (who == u"answerer"_s) {
            QCOMPARE(chooser.ui().StudentLabel->text(), u"解答者:JA2BBB[ステップモード60]"_s);
            QVERIFY(other.ui().Speed60_Option->isChecked());  // the setter follows
        }
    }

    void cwChatChosen() {
        LinkedPair p;
        p.connect();
        p.b.ui().Speed45_Option->setChecked(true);
        p.wait(200);
        p.b.ui().optionCw->click();
        p.wait(200);
        QCOMPARE(p.b.link().cwChatBuffer, u"***CWチャットモード開始***\r\n"_s);
        QCOMPARE(p.b.ui().TeacherLabel->text(), u"JA2BBB[CWチャットモード45]"_s);
        QVERIFY(!p.b.ui().SendMessageText->isReadOnly());
        QVERIFY(p.a.ui().optionCw->isChecked());
        QCOMPARE(Text(p.a.link().peerMode), u"CWチャットモード"_s);
        QCOMPARE(p.a.ui().StudentLabel->text(), u"JA2BBB[CWチャットモード45]"_s);

        p.b.ui().optionMoji->click();
        p.wait(200);
        QCOMPARE(p.b.ui().TeacherLabel->text(), u"JA2BBB[文字チャットモード]"_s);
        QVERIFY(p.b.ui().ToneText->isReadOnly());
        QVERIFY(p.a.ui().optionMoji->isChecked());
    }

    // --- the character range menu ---

    void rangeMenuIsDisabledAfterStartUp() {
        TestContext t;
        MainForm form(t.context());
        QVERIFY(!form.ui().mnuMojiHanni->menuAction()->isEnabled());
    }

    void rangeChosen_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("enabledLetters");
        QTest::newRow("step") << u"step"_s << u"KLMNO"_s;
        QTest::newRow("no mode") << u"none"_s << u"KLMNO"_s;
        QTest::newRow("normal: nothing changes") << u"normal"_s << QString();
    }
    void rangeChosen() {
        QFETCH(QString, mode);
        QFETCH(QString, enabledLetters);
        TestContext t;
        MainForm form(t.context());
        const MainFormUi& ui = form.ui();
        if (mode == u"step"_s) {
            ui.StepMode_Option->setChecked(true);
        } else if (mode == u"normal"_s) {
            ui.NormalMode_Option->setChecked(true);
        }
        for (QPushButton* button : ui.answerButtons) {
            button->setEnabled(false);
        }
        ui.mnuMojiHanniAll->trigger();
        ui.mnuMojiHanniKtoO->trigger();
        for (QAction* entry : {ui.mnuMojiHanniAtoE, ui.mnuMojiHanniFtoJ, ui.mnuMojiHanniKtoO,
                               ui.mnuMojiHanniPtoT, ui.mnuMojiHanniUtoZ, ui.mnuMojiHanniAll}) {
            QCOMPARE(entry->isChecked(), entry == ui.mnuMojiHanniKtoO);
        }
        QString enabled;
        for (QPushButton* button : ui.answerButtons) {
            if (button->isEnabled()) {
                enabled += button->text();
            }
        }
        QCOMPARE(enabled, enabledLetters);  // the digits are not touched
    }
};

QTEST_MAIN(ReceiveModeTest)
#include "test_receive_mode.moc"
