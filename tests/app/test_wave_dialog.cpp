// The sound menu, the WAV settings dialog with its saved levels, and the tone tests.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <functional>

#include "support/TestContext.h"
#include "support/WaveTestRig.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/kit/WindowOpening.h"
#include "ui/morse/WaveDialog.h"

using namespace Qt::StringLiterals;

namespace {

qint16 RecordInt(const QByteArray& file, int record) {
    return qFromLittleEndian<qint16>(file.constData() + (record - 1) * 14);
}

// Opens the dialog from the menu and runs inside its modal wait; the action must hide it.
void OpenDialog(MainForm& form, std::function<void(WaveDialog&)> inside) {
    WaveDialog& dialog = form.waveDialog();
    QTimer::singleShot(0, &form, [&dialog, inside] { inside(dialog); });
    form.ui().mnuSoundQuarity->trigger();
    QVERIFY(!dialog.isVisible());
}

QString Timeline(const TestContext& t) {
    QStringList parts;
    for (const auto& event : t.sound.events()) {
        if (event.kind == RecordingSoundOutput::Kind::Wave) {
            parts << u'W' + SoundRig::Pattern(event.samples, 90);
        } else {
            parts << (event.kind == RecordingSoundOutput::Kind::Gap ? u'G' : u'T') +
                         QString::number(event.durationMs);
        }
    }
    return parts.join(u' ');
}

const QString kTestWord = u"W- G135 W. G135 W... G135 W- G135"_s;

}  // namespace

class TestWaveDialog : public QObject {
    Q_OBJECT

  private slots:
    void controlsAsDesigned() {
        TestContext t;
        MainForm form(t.context());
        WaveDialog& dialog = form.waveDialog();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), u"Wave音質設定"_s);
        const QStringList captions = {
            u"Label1 柔らかい音質1　"_s, u"Label2 硬い音質5"_s,    u"QuarityLabel [音質3]"_s,
            u"Label3 小さい"_s,          u"Label4 大きい"_s,       u"VolumeLabel [音量6]"_s,
            u"TestButton テスト"_s,      u"SaveButton 設定保存"_s, u"CloseButton 閉じる"_s};
        for (const QString& entry : captions) {
            const QString name = entry.section(u' ', 0, 0);
            QWidget* control = dialog.findChild<QWidget*>(name);
            auto* label = qobject_cast<QLabel*>(control);
            QCOMPARE(label ? label->text() : qobject_cast<QPushButton*>(control)->text(),
                     entry.section(u' ', 1));
        }
        for (QScrollBar* bar : {dialog.WavQuarityHScroll, dialog.WavVolumeHScroll}) {
            QCOMPARE(
                std::make_tuple(bar->orientation(), bar->minimum(), bar->maximum(), bar->value()),
                std::make_tuple(Qt::Horizontal, 1, 5, 3));  // as the labels say
        }
    }

    void startupAppliesSavedLevels_data() {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("volume");
        QTest::addColumn<QString>("qualityLabel");
        QTest::addColumn<int>("qualityBar");
        QTest::addColumn<QString>("volumeLabel");
        QTest::addColumn<int>("volumeBar");
        QTest::newRow("1, 3") << 1 << 3 << u"[音質1]"_s << 1 << u"[音量6]"_s << 3;
        QTest::newRow("never saved") << 0 << 0 << u"[音質3]"_s << 3 << u"[音量6]"_s << 3;
        QTest::newRow("4, 6") << 4 << 6 << u"[音質4]"_s << 4 << u"[音量6]"_s << 3;
        QTest::newRow("-1, 5") << -1 << 5 << u"[音質3]"_s << 3 << u"[音量10]"_s << 5;
    }
    void startupAppliesSavedLevels() {
        QFETCH(int, quality);
        QFETCH(int, volume);
        TestContext t;
        t.writeSettingsBytes(
            SettingsFileBuilder().integer(6, qint16(quality)).integer(7, qint16(volume)).bytes());
        MainForm form(t.context());
        const WaveDialog& dialog = form.waveDialog();
        QTEST(dialog.QuarityLabel->text(), "qualityLabel");
        QTEST(dialog.WavQuarityHScroll->value(), "qualityBar");
        QTEST(dialog.VolumeLabel->text(), "volumeLabel");
        QTEST(dialog.WavVolumeHScroll->value(), "volumeBar");
        // A screen reader hears the figure the label shows, not the bar's own level.
        QFETCH(QString, volumeLabel);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(dialog.WavVolumeHScroll);
        QCOMPARE(bar->valueInterface()->currentValue().toString(),
                 volumeLabel.mid(3, volumeLabel.size() - 4));
        QCOMPARE(bar->text(QAccessible::Description), volumeLabel);
    }

    void menuKeepsOneGeneratorChecked() {
        TestContext t;
        MainForm form(t.context());
        const MainFormUi& ui = form.ui();
        for (int repeat = 0; repeat < 2; ++repeat) {  // clicking the checked entry again
            ui.mnuSoundBeep->trigger();
            QVERIFY(ui.mnuSoundBeep->isChecked() && !ui.mnuSoundWave->isChecked());
            QVERIFY(!ui.mnuSoundQuarity->isEnabled());
        }
        for (int repeat = 0; repeat < 2; ++repeat) {
            ui.mnuSoundWave->trigger();
            QVERIFY(ui.mnuSoundWave->isChecked() && !ui.mnuSoundBeep->isChecked());
            QVERIFY(ui.mnuSoundQuarity->isEnabled());
        }
    }

    void dispatchFollowsTheMenuAndTheDialog() {
        TestContext t;
        MainForm form(t.context());
        form.ui().mnuSoundBeep->trigger();
        form.characterDispatch().SoundCharacter(u'e', CharacterTable::Question);
        form.ui().mnuSoundWave->trigger();
        form.ui().ToneText->setText(u"800"_s);
        form.waveDialog().WavVolumeHScroll->setValue(5);
        form.waveDialog().WavQuarityHScroll->setValue(5);
        form.characterDispatch().SoundCharacter(u'e', CharacterTable::Question);
        t.sound.waitUntilHeard(t.sound.plannedEnd(), [] { return false; });
        const auto& events = t.sound.events();
        QCOMPARE(events.at(0).kind, RecordingSoundOutput::Kind::Tone);
        QCOMPARE(events.at(2).kind, RecordingSoundOutput::Kind::Wave);
        QCOMPARE(int(events.at(2).samples.at(9702)), 1802);  // 10 dB, hard edge
        QCOMPARE(form.soundState().CurrentSoundToken, u"E"_s);
    }

    void unsavedChangeIsUndoneOnClosing() {
        TestContext t;
        t.writeSettingsBytes(SettingsFileBuilder().integer(6, 3).integer(7, 2).bytes());
        MainForm form(t.context());
        const QPoint expected(form.pos().x() + TwipsToPixelsX(&form, 3500),
                              form.pos().y() + TwipsToPixelsY(&form, 1900));
        OpenDialog(form, [&](WaveDialog& dialog) {
            QVERIFY(dialog.isVisible());
            // Modal: the main window takes no clicks meanwhile.
            QVERIFY(!ClickReaches(form.ui().SaveSetButton_Command));
            QCOMPARE(dialog.pos(), expected);
            QVERIFY(!dialog.SaveButton->isEnabled());
            // From the keyboard: the bars in turn, then the buttons (保存 is off until a change).
            QCOMPARE(TabOrder(dialog.WavQuarityHScroll, 3).join(u' '),
                     u"WavQuarityHScroll WavVolumeHScroll TestButton CloseButton"_s);
            QTest::keyClick(dialog.WavQuarityHScroll, Qt::Key_Left);
            QTest::keyClick(dialog.WavQuarityHScroll, Qt::Key_Left);
            QCOMPARE(dialog.QuarityLabel->text(), u"[音質1]"_s);
            QVERIFY(dialog.SaveButton->isEnabled());
            dialog.CloseButton->click();
        });
        QCOMPARE(form.waveDialog().WavQuarityHScroll->value(), 3);
        QCOMPARE(form.waveDialog().QuarityLabel->text(), u"[音質3]"_s);
    }

    void savedLevelsStay() {
        TestContext t;
        MainForm form(t.context());
        OpenDialog(form, [&](WaveDialog& dialog) {
            dialog.WavQuarityHScroll->setValue(2);
            dialog.WavVolumeHScroll->setValue(4);
            QCOMPARE(dialog.VolumeLabel->text(), u"[音量8]"_s);
            dialog.SaveButton->click();
            QVERIFY(!dialog.SaveButton->isEnabled());
            dialog.CloseButton->click();
        });
        QCOMPARE(RecordInt(t.settingsBytes(), 6), 2);
        QCOMPARE(RecordInt(t.settingsBytes(), 7), 4);
        OpenDialog(form, [&](WaveDialog& dialog) {
            QVERIFY(!dialog.SaveButton->isEnabled());  // disabled anew on opening
            QCOMPARE(dialog.WavQuarityHScroll->value(), 2);
            QCOMPARE(dialog.WavVolumeHScroll->value(), 4);
            dialog.close();  // the window frame closes it as CloseButton does
        });
    }

    void neverSavedLevelsSurviveClosing() {
        TestContext t;
        MainForm form(t.context());
        OpenDialog(form, [&](WaveDialog& dialog) {
            dialog.WavVolumeHScroll->setValue(3);
            dialog.CloseButton->click();
        });
        QCOMPARE(form.waveDialog().WavVolumeHScroll->value(), 3);
        QCOMPARE(form.waveDialog().VolumeLabel->text(), u"[音量6]"_s);
    }

    void quittingEndsTheModalWait() {
        TestContext t;
        MainForm form(t.context());
        OpenDialog(form, [&](WaveDialog&) { t.clock.requestQuit(); });
    }

    void dialogTestButtonPlaysTheTestWord() {
        TestContext t;
        MainForm form(t.context());
        form.ui().Speed45_Option->setChecked(true);
        bool enabledWhilePlaying = true;
        OpenDialog(form, [&](WaveDialog& dialog) {
            t.clock.scheduleAt(t.clock.now() + 400,
                               [&] { enabledWhilePlaying = dialog.TestButton->isEnabled(); });
            dialog.TestButton->click();
            WaitUntil(
                t.clock, [&dialog] { return dialog.TestButton->isEnabled(); }, 10000);
            QVERIFY(dialog.TestButton->isEnabled());
            dialog.CloseButton->click();
        });
        QVERIFY(!enabledWhilePlaying);
        QCOMPARE(Timeline(t), kTestWord);
    }

    void toneTestLocksTheToneBox() {
        TestContext t;
        MainForm form(t.context());
        const MainFormUi& ui = form.ui();
        ui.mnuSoundBeep->trigger();  // the test word is WAV all the same
        ui.ToneText->setText(u"0"_s);
        bool lockedWhilePlaying = false;
        bool enabledWhilePlaying = true;
        t.clock.scheduleAt(t.clock.now() + 400, [&] {
            lockedWhilePlaying = ui.ToneText->isReadOnly();
            enabledWhilePlaying = ui.toneTestButton->isEnabled();
        });
        ui.toneTestButton->click();
        WaitUntil(
            t.clock, [&ui] { return ui.toneTestButton->isEnabled(); }, 10000);
        QVERIFY(lockedWhilePlaying && !enabledWhilePlaying);
        QVERIFY(!ui.ToneText->isReadOnly() && ui.toneTestButton->isEnabled());
        // At the 90 ms unit though 25 per minute is selected.
        QVERIFY(ui.Speed25_Option->isChecked());
        QCOMPARE(Timeline(t), kTestWord);
    }
};

QTEST_MAIN(TestWaveDialog)
#include "test_wave_dialog.moc"
