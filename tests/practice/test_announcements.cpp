// What a screen-reader user hears during a Step lesson: every judgement on Label1 and every
// new count, announced through a notification object that screen readers present as it
// appears.
#include <QAccessible>
#include <QLabel>
#include <QTest>

#include "app/MainForm.h"
#include "common/Announcer.h"
#include "common/MainFormUi.h"
#include "support/TestContext.h"

using namespace Qt::StringLiterals;

class AnnouncementsTest : public QObject {
    Q_OBJECT

    // The texts announced while the window shows each of texts on the label in turn.
    static QStringList AnnouncedWhileShowing(MainForm& form, QLabel* label,
                                             const QStringList& texts) {
        Announcer& announcer = form.announcements().announcer();
        QStringList heard;
        for (const QString& text : texts) {
            const int before = announcer.announcements();
            label->setText(text);
            // Painted, then announced from the event loop.
            label->repaint();
            QCoreApplication::processEvents();
            if (announcer.announcements() != before) {
                heard << announcer.lastAnnouncement();
            }
        }
        return heard;
    }

  private slots:
    void judgementsAndCountsAreSpoken_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("the call-up's names, then a right answer, then a miss")
            << u"Label1"_s << QStringList{u"H"_s, u"BT"_s, QString(), u"○"_s, u"K"_s}
            << QStringList{u"H"_s, u"BT"_s, u"正解"_s, u"K"_s};
        QTest::newRow("the same judgement twice is spoken twice")
            << u"Label1"_s << QStringList{u"○"_s, QString(), u"○"_s}
            << QStringList{u"正解"_s, u"正解"_s};
        QTest::newRow("correct count") << u"Label2"_s << QStringList{u"0"_s, u"1"_s, u"2"_s}
                                       << QStringList{u"正解数 0"_s, u"正解数 1"_s, u"正解数 2"_s};
        QTest::newRow("no count in Normal mode")
            << u"Label2"_s << QStringList{u" - "_s} << QStringList{};
        QTest::newRow("played count")
            << u"Label4"_s << QStringList{u"12"_s} << QStringList{u"出題数 12"_s};
    }
    void judgementsAndCountsAreSpoken() {
        QFETCH(QString, label);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, heard);
        TestContext context;
        MainForm form(context.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(AnnouncedWhileShowing(form, form.findChild<QLabel*>(label), shown), heard);
    }

    // Screen readers see a notification named with each announced text; only the last few
    // are kept.
    void eachAnnouncementIsANotificationOfItsOwn() {
        TestContext context;
        MainForm form(context.context());
        form.show();
        Announcer& announcer = form.announcements().announcer();
        for (int i = 1; i <= 12; ++i) {
            announcer.announce(u"正解数 %1"_s.arg(i));
        }
        const QList<QWidget*> notices = announcer.notices();
        QCOMPARE(notices.size(), 8);
        QWidget* newest = notices.constLast();
        QVERIFY(newest->isVisible());
        QCOMPARE(newest->focusPolicy(), Qt::NoFocus);  // never takes the keyboard
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(newest);
        QVERIFY(spoken);
        QCOMPARE(spoken->role(), QAccessible::Notification);
        QCOMPARE(spoken->text(QAccessible::Name), u"正解数 12"_s);
        QCOMPARE(
            QAccessible::queryAccessibleInterface(notices.constFirst())->text(QAccessible::Name),
            u"正解数 5"_s);
    }
};

QTEST_MAIN(AnnouncementsTest)
#include "test_announcements.moc"
