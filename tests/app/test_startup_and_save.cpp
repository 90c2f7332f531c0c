// Start-up from saveset.dat, the save button, and ending the program.
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "core/kit/ClockTimer.h"
#include "core/kit/ProgramSettings.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/app/SettingsSavedDialog.h"
#include "ui/morse/WaveDialog.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray Record(const QByteArray& file, int record) {
    return file.mid((record - 1) * 14, 14);
}

void LoseFocus(QWidget* widget) {
    QFocusEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(widget, &focusOut);
}

}  // namespace

class StartupAndSaveTest : public QObject {
    Q_OBJECT

  private slots:
    void missingFileIsCreatedAndKeepsTheDesign();
    void recordsFillTheControls();
    void valuesOutsideTheirSetLeaveTheDesign_data();
    void valuesOutsideTheirSetLeaveTheDesign();
    void startupLeavesEveryLinkControlIdle();
    void soundFolderIsPreparedWithItsMarker();

    void saveWritesOnlyTheRecordsItOwns();
    void saveWithoutSpeedOrStepLeavesThoseRecords();
    void unsavableValuesAreNamedAndTheRestIsSaved_data();
    void unsavableValuesAreNamedAndTheRestIsSaved();
    void savedNoticeClosesItselfAfter1200ms();
    void savedNoticeClosedDuringItsWait_data();
    void savedNoticeClosedDuringItsWait();
    void unwritableFileIsReportedAndNothingSaved_data();
    void unwritableFileIsReportedAndNothingSaved();
    void longPeerAddressComesBack();
    void freeSpeedComesBackBesideTheRecords();
    void refusedOptionIsReported();

    void endingDeletesSoundFilesAndSavesTheCallsign();
    void endingKeepsARecordThatCannotHoldTheCallsign();
    void closingInStepModeStopsThePlayback();
    void endingFromInsideADelayReturnsAtOnce();

    void toneTextKeepsDigitsAndChecksTheRange();
    void fineAdjustmentLabelFollowsTheScrollBar_data();
    void fineAdjustmentLabelFollowsTheScrollBar();
    void draggedThumbSettlesOnAStep();
};

void StartupAndSaveTest::missingFileIsCreatedAndKeepsTheDesign() {
    TestContext t;
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    QVERIFY(QFile::exists(t.settingsPath()));
    QCOMPARE(ui.ToneText->text(), QStringLiteral("800"));
    QVERIFY(ui.Speed25_Option->isChecked());
    QCOMPARE(ui.Speed_HScroll->value(), 0);
    QCOMPARE(ui.Label7->text(), QStringLiteral("微調整 ±0%"));
    QVERIFY(ui.CallsignText->text().isEmpty());
    QVERIFY(ui.ConnectIpText->text().isEmpty());
    // The design leaves exactly one generator checked, and the quality entry follows it.
    QVERIFY(ui.mnuSoundWave->isChecked() != ui.mnuSoundBeep->isChecked());
    QCOMPARE(ui.mnuSoundQuarity->isEnabled(), ui.mnuSoundWave->isChecked());
}

void StartupAndSaveTest::recordsFillTheControls() {
    TestContext t;
    t.writeSettingsBytes(SettingsFileBuilder()
                             .integer(2, 700)
                             .integer(3, 45)
                             .integer(4, -10)
                             .text(5, "BEEP")
                             .text(8, "JA1ZZZ")
                             .text(9, "\x93\xfa\x96\x7b")  // "日本" in code page 932
                             .bytes());
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    QCOMPARE(ui.ToneText->text(), QStringLiteral("700"));
    QVERIFY(ui.Speed45_Option->isChecked());
    QVERIFY(!ui.Speed25_Option->isChecked());
    QCOMPARE(ui.Speed_HScroll->value(), -10);
    QCOMPARE(ui.Label7->text(), QStringLiteral("微調整 +10%"));
    QVERIFY(ui.mnuSoundBeep->isChecked());
    QVERIFY(!ui.mnuSoundWave->isChecked());
    QVERIFY(!ui.mnuSoundQuarity->isEnabled());
    QCOMPARE(ui.CallsignText->text(), QStringLiteral("JA1ZZZ"));
    QCOMPARE(ui.ConnectIpText->text(), QStringLiteral("日本"));
}

void StartupAndSaveTest::valuesOutsideTheirSetLeaveTheDesign_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("speed 30") << SettingsFileBuilder().integer(3, 30).bytes();
    QTest::newRow("tone 99") << SettingsFileBuilder().integer(2, 99).bytes();
    QTest::newRow("tone 6001") << SettingsFileBuilder().integer(2, 6001).bytes();
    QTest::newRow("tone -800") << SettingsFileBuilder().integer(2, -800).bytes();
    QTest::newRow("fine adjustment 7") << SettingsFileBuilder().integer(4, 7).bytes();
    QTest::newRow("sound mode in lower case") << SettingsFileBuilder().text(5, "wave").bytes();
    QTest::newRow("garbage") << QByteArray(200, '\xff');
    QTest::newRow("truncated inside record 3")
        << SettingsFileBuilder().integer(3, 60).bytes().left(29);
}

void StartupAndSaveTest::valuesOutsideTheirSetLeaveTheDesign() {
    QFETCH(QByteArray, file);
    TestContext design;
    MainForm designForm(design.context());

    TestContext t;
    t.writeSettingsBytes(file);
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    QVERIFY(ui.Speed25_Option->isChecked());
    QCOMPARE(ui.ToneText->text(), QStringLiteral("800"));
    QCOMPARE(ui.Speed_HScroll->value(), 0);
    QCOMPARE(ui.Label7->text(), QStringLiteral("微調整 ±0%"));
    QCOMPARE(ui.mnuSoundWave->isChecked(), designForm.ui().mnuSoundWave->isChecked());
    QCOMPARE(ui.mnuSoundBeep->isChecked(), designForm.ui().mnuSoundBeep->isChecked());
    QVERIFY(ui.CallsignText->text().isEmpty());
}

void StartupAndSaveTest::startupLeavesEveryLinkControlIdle() {
    TestContext t;
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    for (QWidget* w :
         {static_cast<QWidget*>(ui.CloseButton), static_cast<QWidget*>(ui.TeacherOption),
          static_cast<QWidget*>(ui.StudentOption), static_cast<QWidget*>(ui.StartButton_Command),
          static_cast<QWidget*>(ui.StopButton_Command),
          static_cast<QWidget*>(ui.KaitoupassButton_Command),
          static_cast<QWidget*>(ui.ChatMode_Option), static_cast<QWidget*>(ui.optionMoji),
          static_cast<QWidget*>(ui.optionCw), static_cast<QWidget*>(ui.StepMode_Option),
          static_cast<QWidget*>(ui.NormalMode_Option)}) {
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    }
    QVERIFY(ui.ListenButton->isEnabled());
    QVERIFY(ui.ConnectButton->isEnabled());
    QVERIFY(!ui.mnuNet->menuAction()->isEnabled());
    QVERIFY(!ui.mnuMojiHanni->menuAction()->isEnabled());
    QVERIFY(!ui.mnuNetTeacherMode->isEnabled());
    QVERIFY(!ui.mnuNetTeacherMode->isChecked());
    QVERIFY(ui.mnuNetStudentMode->isChecked());
    QVERIFY(!form.ConnectTimer->isEnabled());
    QVERIFY(!form.RetryPingTimer->isEnabled());
    QCOMPARE(form.ConnectTimer->interval(), 2000);
    QCOMPARE(form.RetryPingTimer->interval(), 60000);
    QVERIFY(form.link().sendDone);
    for (QAbstractButton* b :
         ui.roleGroup->buttons() + ui.practiceModeGroup->buttons() + ui.chatKindGroup->buttons()) {
        QVERIFY2(!b->isChecked(), qPrintable(b->objectName()));
    }
}

void StartupAndSaveTest::soundFolderIsPreparedWithItsMarker() {
    TestContext t;
    MainForm form(t.context());
    QFile marker(QDir(t.soundFolder()).filePath(QStringLiteral("dummy.wav")));
    QVERIFY(marker.open(QIODevice::ReadOnly));
    QCOMPARE(marker.readAll(), QByteArray(2, '\0'));
}

void StartupAndSaveTest::saveWritesOnlyTheRecordsItOwns() {
    TestContext t;
    // Every byte a record does not hold keeps its old value.
    const QByteArray before(9 * 14, '\xaa');
    t.writeSettingsBytes(before);
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    ui.ToneText->setText(QStringLiteral("800"));
    ui.Speed60_Option->setChecked(true);
    ui.Speed_HScroll->setValue(15);
    ui.mnuSoundWave->setChecked(true);
    ui.mnuSoundBeep->setChecked(false);
    ui.CallsignText->setText(QStringLiteral("JA1ABC"));
    ui.ConnectIpText->setText(QStringLiteral("127.0.0.1"));

    form.MainForm_SaveSetButton_Command_Click();

    const QByteArray after = t.settingsBytes();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(Record(after, 1), Record(before, 1));
    QCOMPARE(Record(after, 2), QByteArray("\x20\x03", 2) + QByteArray(12, '\xaa'));
    QCOMPARE(Record(after, 3), QByteArray("\x3c\x00", 2) + QByteArray(12, '\xaa'));
    QCOMPARE(Record(after, 4), QByteArray("\x0f\x00", 2) + QByteArray(12, '\xaa'));
    QCOMPARE(Record(after, 5), QByteArray("\x04\x00WAVE", 6) + QByteArray(8, '\xaa'));
    QCOMPARE(Record(after, 6), Record(before, 6));
    QCOMPARE(Record(after, 7), Record(before, 7));
    QCOMPARE(Record(after, 8), QByteArray("\x06\x00JA1ABC", 8) + QByteArray(6, '\xaa'));
    QCOMPARE(Record(after, 9), QByteArray("\x09\x00"
                                          "127.0.0.1",
                                          11) +
                                   QByteArray(3, '\xaa'));
    QVERIFY(t.desktop.messages.isEmpty());

    // What was saved comes back at the next start.
    MainForm again(t.context());
    QVERIFY(again.ui().Speed60_Option->isChecked());
    QCOMPARE(again.ui().Speed_HScroll->value(), 15);
    QCOMPARE(again.ui().ConnectIpText->text(), QStringLiteral("127.0.0.1"));
}

void StartupAndSaveTest::saveWithoutSpeedOrStepLeavesThoseRecords() {
    TestContext t;
    const QByteArray before = SettingsFileBuilder().integer(3, 45).integer(4, -5).bytes();
    t.writeSettingsBytes(before);
    MainForm form(t.context());
    const MainFormUi& ui = form.ui();
    ui.speedGroup->setExclusive(false);
    for (QAbstractButton* b : ui.speedGroup->buttons()) {
        b->setChecked(false);
    }
    ui.speedGroup->setExclusive(true);
    ui.Speed_HScroll->setValue(3);  // between the steps
    ui.ToneText->setText(QStringLiteral("800"));

    form.MainForm_SaveSetButton_Command_Click();

    const QByteArray after = t.settingsBytes();
    QCOMPARE(Record(after, 3), Record(before, 3));
    QCOMPARE(Record(after, 4), Record(before, 4));
}

void StartupAndSaveTest::unsavableValuesAreNamedAndTheRestIsSaved_data() {
    QTest::addColumn<QString>("tone");
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("named");
    QTest::addColumn<QList<int>>("unchangedRecords");
    const QString ok = QStringLiteral("JA1ABC");
    QTest::newRow("empty tone") << QString() << ok << ok
                                << QStringList{QStringLiteral("トーン周波数")} << QList<int>{2};
    QTest::newRow("tone beyond 16 bits")
        << QStringLiteral("40000") << ok << ok << QStringList{QStringLiteral("トーン周波数")}
        << QList<int>{2};
    QTest::newRow("address longer than any host name")
        << QStringLiteral("800") << ok << QString(254, u'a')
        << QStringList{QStringLiteral("接続先IP")} << QList<int>{9};
    QTest::newRow("7 full-width characters")
        << QStringLiteral("800") << QStringLiteral("ＪＡ１ＡＢＣＤ") << ok
        << QStringList{QStringLiteral("コールサイン")} << QList<int>{8};
    QTest::newRow("character outside the code page")
        << QStringLiteral("800") << QStringLiteral("JA1\U0001F600") << ok
        << QStringList{QStringLiteral("コールサイン")} << QList<int>{8};
}

void StartupAndSaveTest::unsavableValuesAreNamedAndTheRestIsSaved() {
    QFETCH(QString, tone);
    QFETCH(QString, callsign);
    QFETCH(QString, address);
    QFETCH(QStringList, named);
    QFETCH(QList<int>, unchangedRecords);

    TestContext t;
    const QByteArray before =
        SettingsFileBuilder().integer(2, 555).text(8, "OLDCALL").text(9, "10.0.0.1").bytes();
    t.writeSettingsBytes(before);
    MainForm form(t.context());
    form.ui().ToneText->setText(tone);
    form.ui().CallsignText->setText(callsign);
    form.ui().ConnectIpText->setText(address);

    form.MainForm_SaveSetButton_Command_Click();

    const QByteArray after = t.settingsBytes();
    for (int record : {2, 8, 9}) {
        QCOMPARE(Record(after, record) == Record(before, record),
                 unchangedRecords.contains(record));
    }
    QCOMPARE(t.desktop.messages.size(), 1);
    QCOMPARE(t.desktop.messages[0].icon, DesktopServices::Icon::Warning);
    for (const QString& name : named) {
        QVERIFY2(t.desktop.messages[0].text.contains(name), qPrintable(t.desktop.messages[0].text));
    }
    // No "saved" notice when something was not saved.
    QVERIFY(form.findChild<Dialog*>() == nullptr);
}

void StartupAndSaveTest::savedNoticeClosesItselfAfter1200ms() {
    TestContext t;
    MainForm form(t.context());
    form.move(100, 50);
    form.ui().ToneText->setText(QStringLiteral("800"));
    bool visibleMidway = false;
    QPoint noticePos;
    const qint64 start = t.clock.now();
    t.clock.scheduleAt(start + 1199, [&] {
        auto* notice = form.findChild<Dialog*>();
        visibleMidway = notice != nullptr && notice->isVisible() &&
                        notice->windowTitle() == QStringLiteral("完了！");
        if (notice != nullptr) {
            noticePos = notice->pos();
        }
    });
    form.MainForm_SaveSetButton_Command_Click();
    // The notice closes itself on a timer; the press has returned at once.
    QVERIFY(WaitUntil(
        t.clock, [] { return ShownWindow(QStringLiteral("Dialog")) == nullptr; }, 5000));
    QCOMPARE(t.clock.now() - start, 1200);
    QVERIFY(visibleMidway);
    const int dpiX = form.logicalDpiX();
    const int dpiY = form.logicalDpiY();
    QCOMPARE(noticePos, form.pos() + QPoint(4300 * dpiX / 1440, 3500 * dpiY / 1440));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* notice = form.findChild<Dialog*>();
    QVERIFY(notice == nullptr || !notice->isVisible());
}

void StartupAndSaveTest::savedNoticeClosedDuringItsWait_data() {
    QTest::addColumn<bool>("viaEscape");
    QTest::newRow("Esc") << true;
    QTest::newRow("close box") << false;
}

// The user may close the notice before its 1200 ms are up: the notice is gone for good and
// nothing touches it afterwards (the sanitizer run would see a deleted one touched).
void StartupAndSaveTest::savedNoticeClosedDuringItsWait() {
    QFETCH(bool, viaEscape);
    TestContext t;
    MainForm form(t.context());
    form.ui().ToneText->setText(QStringLiteral("800"));
    const WindowStep close = CloseAt(t.clock, 300, QStringLiteral("Dialog"), viaEscape);
    bool reappeared = false;
    t.clock.scheduleAt(t.clock.now() + 1000,
                       [&reappeared] { reappeared = ShownWindow(QStringLiteral("Dialog")); });
    const qint64 start = t.clock.now();
    form.MainForm_SaveSetButton_Command_Click();
    QVERIFY(WaitUntil(
        t.clock, [&close] { return close.ran(); }, 5000));
    QCOMPARE(t.clock.now() - start, 300);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.findChild<Dialog*>() == nullptr);
    Delay(t.clock, 2000);
    QVERIFY(!reappeared);
    QVERIFY(ShownWindow(QStringLiteral("Dialog")) == nullptr);
}

void StartupAndSaveTest::unwritableFileIsReportedAndNothingSaved_data() {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("says");
    QTest::newRow("saveset.dat is a folder") << u"folder"_s << u"通常のファイルではありません"_s;
    QTest::newRow("current folder removed") << u"gone"_s << u"書き込み権限"_s;
    QTest::newRow("link to a document") << u"link"_s << u"別のファイル"_s;
    QTest::newRow("FIFO") << u"fifo"_s << u"通常のファイルではありません"_s;
}

// A file that cannot be written is not the user's input: the message says what happened. At
// program end nothing is written either, and there is no window left to say so.
void StartupAndSaveTest::unwritableFileIsReportedAndNothingSaved() {
    QFETCH(QString, what);
    QFETCH(QString, says);
    TestContext t;
    MainForm form(t.context());
    QFile::remove(t.settingsPath());
    const QString document = QDir(t.programDir.path()).filePath(u"minutes.txt"_s);
    const QByteArray minutes = QByteArray("Minutes of the club meeting.\n").repeated(10);
    if (what == u"gone") {
        QVERIFY(QDir(t.currentDir.path()).removeRecursively());
    } else if (what == u"folder") {
        QVERIFY(QDir().mkpath(t.settingsPath()));
    } else if (what == u"link") {
        t.writeSettingsBytes(minutes);
        QVERIFY(QFile::rename(t.settingsPath(), document));
        QVERIFY(QFile::link(document, t.settingsPath()));
    } else {
        QCOMPARE(mkfifo(QFile::encodeName(t.settingsPath()).constData(), 0600), 0);
    }
    form.ui().ToneText->setText(QStringLiteral("800"));
    form.ui().CallsignText->setText(QStringLiteral("JA1ABC"));
    form.MainForm_SaveSetButton_Command_Click();

    QCOMPARE(t.desktop.messages.size(), 1);
    const FakeDesktopServices::Message& message = t.desktop.messages[0];
    QCOMPARE(message.icon, DesktopServices::Icon::Critical);
    QCOMPARE(message.title, QStringLiteral("設定保存"));
    QVERIFY2(message.text.contains(QStringLiteral("書き込めない")), qPrintable(message.text));
    QVERIFY2(message.text.contains(says), qPrintable(message.text));
    QVERIFY(message.text.contains(QStringLiteral("設定は保存されませんでした")));
    QVERIFY(!message.text.contains(QStringLiteral("-32768")));
    QVERIFY(!message.text.contains(QStringLiteral("保存しました")));
    QVERIFY(form.findChild<Dialog*>() == nullptr);
    QCOMPARE(QFileInfo(t.settingsPath()).isDir(), what == u"folder");
    // The WAV dialog's save button says so in the same words, and stays on for another try.
    form.waveDialog().WavVolumeHScroll->setValue(4);
    form.waveDialog().SaveButton->click();
    QVERIFY(form.waveDialog().SaveButton->isEnabled());
    QCOMPARE(t.desktop.messages.size(), 2);
    const QString wave = t.desktop.messages[1].text;
    QVERIFY2(wave.contains(u"音質と音量の設定は保存されませんでした"_s) && wave.contains(says),
             qPrintable(wave));

    form.ui().mnuEnd->trigger();
    QCOMPARE(t.desktop.messages.size(), 2);
    if (what == u"link") {
        QCOMPARE(t.settingsBytes(), minutes);
    }
}

// Record 9 holds 12 bytes; a longer address is kept beside saveset.dat and comes back, until an
// address in the record (written by this program or another) takes its place.
void StartupAndSaveTest::longPeerAddressComesBack() {
    TestContext t;
    t.writeSettingsBytes(SettingsFileBuilder().text(9, "10.0.0.1").bytes());
    auto form = std::make_unique<MainForm>(t.context());
    form->ui().ConnectIpText->setText(u"192.168.10.20"_s);
    form->MainForm_SaveSetButton_Command_Click();
    form->ui().AcceptOnlyPeerCheck->click();  // kept at once
    QVERIFY(t.desktop.messages.isEmpty());
    form = std::make_unique<MainForm>(t.context());
    QCOMPARE(form->ui().ConnectIpText->text(), u"192.168.10.20"_s);
    QVERIFY(form->ui().AcceptOnlyPeerCheck->isChecked());
    form->ui().ConnectIpText->clear();
    form->ui().AcceptOnlyPeerCheck->click();
    form->MainForm_SaveSetButton_Command_Click();
    QCOMPARE(MainForm(t.context()).ui().ConnectIpText->text(), QString());
    QVERIFY(!MainForm(t.context()).ui().AcceptOnlyPeerCheck->isChecked());
    t.writeSettingsBytes(SettingsFileBuilder().text(9, "10.0.0.2").bytes());
    QCOMPARE(MainForm(t.context()).ui().ConnectIpText->text(), u"10.0.0.2"_s);
}

// A speed of its own is kept beside saveset.dat, whose speed record keeps the last fixed speed.
void StartupAndSaveTest::freeSpeedComesBackBesideTheRecords() {
    TestContext t;
    const QByteArray before = SettingsFileBuilder().integer(3, 45).bytes();
    t.writeSettingsBytes(before);
    auto form = std::make_unique<MainForm>(t.context());
    form->practiceSettings().setFreeFigures(FreeSpeed{18, 10, 1});
    form->ui().SpeedFree_Option->click();
    form->MainForm_SaveSetButton_Command_Click();
    QVERIFY(t.desktop.messages.isEmpty());
    QCOMPARE(Record(t.settingsBytes(), 3), Record(before, 3));
    form = std::make_unique<MainForm>(t.context());
    QVERIFY(form->ui().SpeedFree_Option->isChecked());
    QCOMPARE(form->practiceSettings().freeSpeed(), std::optional(FreeSpeed{18, 10, 1}));
    QCOMPARE(form->ui().freeSpeedLabel->text(), u"18 WPM 実効10 WPM 語間+1（毎分45文字）"_s);
    QVERIFY(!form->ui().Speed_HScroll->isEnabled());
    form->ui().Speed45_Option->click();
    QVERIFY(form->ui().Speed_HScroll->isEnabled());
}

// Beside saveset.dat too, the option is kept as soon as it is clicked; a settings file that refuses
// it says so at the click and at 設定保存, and the choice holds until the program ends.
void StartupAndSaveTest::refusedOptionIsReported() {
    TestContext t;
    QVERIFY(QDir().mkpath(ProgramSettings::PathBeside(t.settingsPath())));
    MainForm form(t.context());
    form.ui().AcceptOnlyPeerCheck->click();
    form.MainForm_SaveSetButton_Command_Click();
    QCOMPARE(t.desktop.messages.size(), 2);
    for (const FakeDesktopServices::Message& message : std::as_const(t.desktop.messages)) {
        QVERIFY(message.text.contains(u"接続先IPからの接続だけ受け付ける"_s));
        QVERIFY(message.text.contains(u"通常のファイルではありません"_s));  // and why
    }
    QVERIFY(form.ui().AcceptOnlyPeerCheck->isChecked());
}

void StartupAndSaveTest::endingDeletesSoundFilesAndSavesTheCallsign() {
    TestContext t;
    MainForm form(t.context());
    QDir sound(t.soundFolder());
    for (const char* name : {"A.wav", "Surash.wav"}) {
        QFile file(sound.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    form.ui().CallsignText->setText(QStringLiteral("JA1XYZ"));
    form.ui().ToneText->setText(QStringLiteral("1234"));

    form.ui().mnuEnd->trigger();

    QVERIFY(!QDir(t.soundFolder()).exists());
    const QByteArray after = t.settingsBytes();
    QCOMPARE(Record(after, 8).left(8), QByteArray("\x06\x00JA1XYZ", 8));
    QCOMPARE(Record(after, 2).left(2), QByteArray(2, '\0'));  // only the callsign is saved
    QCOMPARE(t.exitCount, 1);
    QVERIFY(t.clock.quitting());

    // The window closing afterwards does not run the clean-up again.
    form.close();
    QCOMPARE(t.exitCount, 1);
}

void StartupAndSaveTest::endingKeepsARecordThatCannotHoldTheCallsign() {
    TestContext t;
    t.writeSettingsBytes(SettingsFileBuilder().text(8, "JA1OLD").bytes());
    MainForm form(t.context());
    form.ui().CallsignText->setText(QStringLiteral("JA1ABCDEFGHIJ"));
    form.close();
    QCOMPARE(Record(t.settingsBytes(), 8).left(8), QByteArray("\x06\x00JA1OLD", 8));
    QCOMPARE(t.exitCount, 1);
}

void StartupAndSaveTest::closingInStepModeStopsThePlayback() {
    TestContext t;
    MainForm form(t.context());
    form.ui().StepMode_Option->setChecked(true);
    form.close();
    QVERIFY(form.lesson().stopPlayback);

    TestContext other;
    MainForm normal(other.context());
    normal.ui().NormalMode_Option->setChecked(true);
    normal.ui().mnuEnd->trigger();
    QVERIFY(!normal.lesson().stopPlayback);
}

void StartupAndSaveTest::endingFromInsideADelayReturnsAtOnce() {
    TestContext t;
    MainForm form(t.context());
    const qint64 start = t.clock.now();
    t.clock.scheduleAt(start + 500, [&] { form.ui().mnuEnd->trigger(); });
    bool laterActionRan = false;
    t.clock.scheduleAt(start + 600, [&] { laterActionRan = true; });
    Delay(t.clock, 10000);
    QCOMPARE(t.clock.now() - start, 500);
    QVERIFY(!laterActionRan);
    QCOMPARE(t.exitCount, 1);
    Delay(t.clock, 1000);
    QCOMPARE(t.clock.now() - start, 500);
}

void StartupAndSaveTest::toneTextKeepsDigitsAndChecksTheRange() {
    TestContext t;
    MainForm form(t.context());
    QLineEdit* tone = form.ui().ToneText;
    tone->clear();
    QTest::keyClicks(tone, QStringLiteral("8a0"));
    QCOMPARE(tone->text(), QStringLiteral("80"));
    QTest::keyClick(tone, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(tone, Qt::Key_Return);
    QCOMPARE(tone->text(), QStringLiteral("80"));
    QTest::keyClick(tone, Qt::Key_Backspace);
    QCOMPARE(tone->text(), QStringLiteral("8"));
    QTest::keyClicks(tone, QStringLiteral("0"));
    LoseFocus(tone);
    QCOMPARE(tone->text(), QStringLiteral("100"));

    tone->setText(QStringLiteral("7000"));
    LoseFocus(tone);
    QCOMPARE(tone->text(), QStringLiteral("6000"));
    tone->clear();
    LoseFocus(tone);
    QCOMPARE(tone->text(), QStringLiteral("100"));
    tone->setText(QStringLiteral("6000"));
    LoseFocus(tone);
    QCOMPARE(tone->text(), QStringLiteral("6000"));
}

void StartupAndSaveTest::fineAdjustmentLabelFollowsTheScrollBar_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("caption");
    QTest::newRow("5") << 5 << QStringLiteral("微調整 - 5%");
    QTest::newRow("-5") << -5 << QStringLiteral("微調整 + 5%");
    QTest::newRow("20") << 20 << QStringLiteral("微調整 -20%");
    QTest::newRow("-20") << -20 << QStringLiteral("微調整 +20%");
    QTest::newRow("between steps keeps the caption") << 12 << QStringLiteral("微調整 -10%");
}

void StartupAndSaveTest::fineAdjustmentLabelFollowsTheScrollBar() {
    QFETCH(int, value);
    QFETCH(QString, caption);
    TestContext t;
    MainForm form(t.context());
    form.ui().Speed_HScroll->setValue(10);
    form.ui().Speed_HScroll->setValue(value);
    QCOMPARE(form.ui().Label7->text(), caption);
}

void StartupAndSaveTest::draggedThumbSettlesOnAStep() {
    TestContext t;
    MainForm form(t.context());
    QScrollBar* scroll = form.ui().Speed_HScroll;
    scroll->setSliderDown(true);
    scroll->setSliderPosition(-13);
    scroll->setSliderDown(false);
    QCOMPARE(scroll->value(), -15);
    QCOMPARE(form.ui().Label7->text(), QStringLiteral("微調整 +15%"));
    // The arrows and the track move by one step.
    scroll->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(scroll->value(), -10);
    scroll->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(scroll->value(), -15);
}

QTEST_MAIN(StartupAndSaveTest)
#include "test_startup_and_save.moc"
