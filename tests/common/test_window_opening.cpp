// Opening the program's windows: placed in twips, modal waits on the clock that keep input from
// the window below but never its close request, self-closing waits that leave a window the user
// closed alone, and one notice of a kind at a time.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/kit/QtDesktopServices.h"
#include "ui/kit/WindowOpening.h"

using namespace Qt::StringLiterals;

namespace {

// A small window of the program's kind, counting how often it was asked to close.
class Notice : public QDialog {
  public:
    explicit Notice(QWidget* parent) : QDialog(parent) {
        setObjectName(u"probeNotice"_s);
        auto* ok = new QPushButton(u"OK"_s, this);
        ok->setObjectName(u"OKButton"_s);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        (new QVBoxLayout(this))->addWidget(ok);
    }
    int closeEvents = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeEvents;
        QDialog::closeEvent(event);
    }
};

// Counts the window-blocked notices Qt sends a window under one of its own modal windows.
class BlockWatch : public QObject {
  public:
    explicit BlockWatch(QWidget* watched) { watched->installEventFilter(this); }
    int blocked = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowBlocked) {
            ++blocked;
        }
        return false;
    }
};

}  // namespace

class WindowOpeningTest : public QObject {
    Q_OBJECT

  private slots:
    void modalWaitsOnTheClockUntilTheUserCloses() {
        TestContext t;
        MainForm form(t.context());
        form.move(40, 30);
        form.show();
        BlockWatch watch(&form);
        Notice notice(&form);
        bool clickReached = true;
        QPoint placed;
        t.clock.scheduleAt(t.clock.now() + 100, [&] {
            clickReached = ClickReaches(form.ui().SaveSetButton_Command);
            placed = notice.pos();
        });
        const WindowStep ok = PressAt(t.clock, 250, u"probeNotice"_s, u"OKButton"_s);
        const qint64 start = t.clock.now();
        ShowModal(t.clock, &notice, &form, {1440, 720});
        QVERIFY(ok.ran());
        QCOMPARE(t.clock.now() - start, 250);
        QVERIFY(!notice.isVisible());
        QVERIFY(!clickReached);
        QCOMPARE(placed, form.pos() + QPoint(form.logicalDpiX(), form.logicalDpiY() / 2));
        // Qt never took the main window for blocked: its close request would be dropped.
        QCOMPARE(watch.blocked, 0);
        QVERIFY(QGuiApplication::modalWindow() == nullptr);
        // Afterwards the main window takes input again.
        form.ui().ToneText->setText(u"800"_s);
        QVERIFY(ClickReaches(form.ui().SaveSetButton_Command));
    }

    void closingTheMainWindowEndsTheProgramWhateverIsOpen() {
        TestContext t;
        MainForm form(t.context());
        form.show();
        t.clock.scheduleAt(t.clock.now() + 300, [&form] { form.close(); });
        // The WAV settings dialog is modal, and the main window still closes.
        form.ui().mnuSoundQuarity->trigger();
        QCOMPARE(t.exitCount, 1);
        QVERIFY(t.clock.quitting());
        QVERIFY(!form.waveDialog().isVisible());
    }

    void quittingEndsTheModalWaitAndClosesTheWindow() {
        TestContext t;
        QWidget opener;
        Notice notice(&opener);
        t.clock.scheduleAt(t.clock.now() + 100, [&t] { t.clock.requestQuit(); });
        const qint64 start = t.clock.now();
        ShowModal(t.clock, &notice, &opener, {0, 0});
        QCOMPARE(t.clock.now() - start, 100);
        QVERIFY(!notice.isVisible());
        // Once the program is ending, nothing opens any more.
        Notice late(&opener);
        ShowModal(t.clock, &late, &opener, {0, 0});
        QVERIFY(!late.isVisible());
    }

    void selfClosingWaitLeavesAWindowTheUserClosedAlone_data() {
        QTest::addColumn<int>("userClosesAtMs");  // -1: the user never does
        QTest::addColumn<int>("closedAfterMs");
        QTest::addColumn<int>("closeEvents");
        QTest::newRow("closes itself") << -1 << 1000 << 1;
        QTest::newRow("closed by the user first") << 400 << 400 << 1;
    }
    void selfClosingWaitLeavesAWindowTheUserClosedAlone() {
        QFETCH(int, userClosesAtMs);
        QFETCH(int, closedAfterMs);
        QFETCH(int, closeEvents);
        TestContext t;
        QWidget opener;
        Notice notice(&opener);
        ShowModeless(&notice, &opener, {0, 0});
        if (userClosesAtMs >= 0) {
            CloseAt(t.clock, userClosesAtMs, u"probeNotice"_s);
        }
        const qint64 start = t.clock.now();
        CloseAfter(t.clock, &notice, 1000);
        QCOMPARE(t.clock.now(), start);  // a timer: the caller goes on
        QVERIFY(WaitUntil(
            t.clock, [&notice] { return !notice.isVisible(); }, 2000));
        QCOMPARE(t.clock.now() - start, closedAfterMs);
        QCOMPARE(notice.closeEvents, closeEvents);
        // A second close of a closed window does nothing, and it never reappears.
        CloseIfOpen(&notice);
        Delay(t.clock, 1000);
        QCOMPARE(notice.closeEvents, closeEvents);
        QVERIFY(!notice.isVisible());
    }

    void aDeletedWindowIsNeverTouched() {
        TestContext t;
        QWidget opener;
        auto* notice = new Notice(&opener);
        notice->setAttribute(Qt::WA_DeleteOnClose);
        ShowModeless(notice, &opener, {0, 0});
        const QPointer<QWidget> guarded(notice);
        t.clock.scheduleAt(t.clock.now() + 200, [notice] {
            notice->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        CloseAfter(t.clock, guarded, 1000);
        Delay(t.clock, 1000);
        QVERIFY(guarded.isNull());
        CloseAfter(t.clock, guarded, 100);
        Delay(t.clock, 200);
    }

    void oneNoticeOfAKindAtATime() {
        OneAtATime kind;
        int opened = 0;
        kind.open([&] {
            ++opened;
            kind.open([&] { ++opened; });  // repeated while the first is open
            QVERIFY(kind.isOpen());
        });
        QCOMPARE(opened, 1);
        QVERIFY(!kind.isOpen());
        kind.open([&] { ++opened; });
        QCOMPARE(opened, 2);
    }

    // The desktop's own message box is a modal window of the same kind.
    void messageBoxWaitsOnTheClock() {
        TestContext t;
        QtDesktopServices desktop(t.clock);
        QWidget opener;
        opener.show();
        QString shownText;
        t.clock.scheduleAt(t.clock.now() + 150, [&shownText] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                    shownText = box->text();
                    QVERIFY(QGuiApplication::modalWindow() == nullptr);
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        const qint64 start = t.clock.now();
        desktop.showMessage(&opener, DesktopServices::Icon::Information, u"お知らせ"_s,
                            u"line 1\nline 2"_s);
        QCOMPARE(t.clock.now() - start, 150);
        QCOMPARE(shownText, u"line 1\nline 2"_s);
    }
};

QTEST_MAIN(WindowOpeningTest)
#include "test_window_opening.moc"
