// The sending menu of a main window: the practice window and the input settings, the live keyed
// tone open exactly while a keying pad is.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include "core/history/SendingHistory.h"
#include "core/kit/ProgramSettings.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/lesson/FistReportWindow.h"
#include "ui/morse/KeyInputDialog.h"
#include "ui/morse/KeyingPad.h"

using namespace Qt::StringLiterals;

class SendingMenuTest : public QObject {
    Q_OBJECT
  private slots:
    void practiceWindowHoldsTheLiveTone() {
        TestContext context;
        MainForm form(context.context());
        form.ui().mnuSendingPractice->trigger();
        form.ui().mnuSendingPractice->trigger();  // the same window comes forward
        QVERIFY(form.sendingMenu().practiceWindow() != nullptr);
        QCOMPARE(context.sound.keying(), u"["_s);
        form.sendingMenu().practiceWindow()->close();
        Delay(context.clock, 50);
        QCOMPARE(context.sound.keying(), u"[-]"_s);  // a key still down is let go first
        QVERIFY(form.sendingMenu().practiceWindow() == nullptr);
    }

    void decodingWindowOpensOnce() {
        TestContext context;
        MainForm form(context.context());
        form.ui().mnuSendingFromSound->trigger();
        const QPointer<SoundDecodeWindow> first = form.sendingMenu().decodeWindow();
        form.ui().mnuSendingFromSound->trigger();
        QVERIFY(first != nullptr && form.sendingMenu().decodeWindow() == first);
        first->close();
        QTRY_VERIFY(form.sendingMenu().decodeWindow() == nullptr);
    }

    void inputSettingsAreChosenKeptAndApplied() {
        TestContext context;
        MainForm form(context.context());
        form.ui().mnuSendingPractice->trigger();
        QStringList unnamed;
        context.clock.scheduleAt(context.clock.now() + 100, [&unnamed] {
            auto* dialog = qobject_cast<KeyInputDialog*>(QApplication::activeWindow());
            QVERIFY(dialog != nullptr);
            for (QWidget* control : dialog->findChildren<QWidget*>()) {
                // A spin box speaks for its own text field; a list's view is its popup.
                if (qobject_cast<QAbstractSpinBox*>(control->parentWidget()) ||
                    control->inherits("QAbstractItemView")) {
                    continue;
                }
                const QAccessibleInterface* item = QAccessible::queryAccessibleInterface(control);
                if ((control->focusPolicy() & Qt::TabFocus) &&
                    item->text(QAccessible::Name).isEmpty()) {
                    unnamed << QString::fromLatin1(control->metaObject()->className());
                }
            }
            auto* kinds = dialog->findChild<QComboBox*>();  // the first: the input
            kinds->setCurrentIndex(int(KeySource::Mouse));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        form.ui().mnuSendingInput->trigger();
        QCOMPARE(unnamed.join(u' '), QString());
        QCOMPARE(form.sendingMenu().settings().source, KeySource::Mouse);
        const ProgramSettings store(ProgramSettings::PathBeside(context.settingsPath()));
        QCOMPARE(LoadKeyInputSettings(store), form.sendingMenu().settings());
        QCOMPARE(form.sendingMenu().practicePad()->settings().source, KeySource::Mouse);
        QCOMPARE(context.sound.keying(), u"["_s);  // the dialog's pad shared the open tone
    }

    // Ending a practice decodes what the pad still holds back, shows the report and keeps the
    // practice; one with nothing keyed leaves nothing.
    void anEndedPracticeIsReportedAndKept() {
        TestContext context;
        MainForm form(context.context());
        form.ui().mnuSendingPractice->trigger();
        SendingPracticeWindow& window = *form.sendingMenu().practiceWindow();
        KeyingPad& pad = *form.sendingMenu().practicePad();
        KeyInputSettings straight;
        straight.mode = KeyerMode::Straight;
        pad.setSettings(straight);
        window.start();
        window.finish();
        window.start();
        qint64 at = context.clock.now() + 10;
        for (const QString& sign : {u".--."_s, u".-"_s, u".-."_s, u".."_s}) {
            for (const QChar element : sign) {
                for (const bool down : {true, false}) {
                    context.clock.scheduleAt(at, [&pad, down] {
                        QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space,
                                        Qt::NoModifier);
                        QApplication::sendEvent(&pad, &event);
                    });
                    at += down && element == u'-' ? 180 : 60;
                }
            }
            at += 120;
        }
        context.clock.waitUntil(at - 120);  // the last character is still held back
        window.finish();
        const QList<SendingSession> kept = ReadSendingSessions(context.historyPath(), {}, 10);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept[0].mode, u"自由送信"_s);
        QCOMPARE(kept[0].charactersKeyed, 4);
        QCOMPARE(qRound(kept[0].report.wpm), 20);  // 60 ms dots
        const auto reports = form.findChildren<FistReportWindow*>();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0]->isVisible());
    }
};

QTEST_MAIN(SendingMenuTest)
#include "test_sending_menu.moc"
