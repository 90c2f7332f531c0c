// The fist report window: its picture draws without a screen, its table holds the report's
// rows, and it is worked from the keyboard alone.
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "ui/lesson/FistReportPicture.h"
#include "ui/lesson/FistReportWindow.h"

namespace {

// Twenty dots, ten short dashes, element and character gaps, and one sign far off.
FistReport KeyedReport() {
    std::vector<int> bins(FistReport::kBins, 0);
    bins[4] = 20;
    bins[10] = 10;
    return {20,           60,
            {20, 1, 0.1}, {10, 2.7, 0.2},
            {25, 1, 0.1}, {8, 3.1, 0.3},
            {},           {{QStringLiteral("Q"), 2, 0.25}},
            bins,         bins};
}

}  // namespace

class TestFistReportWindow : public QObject {
    Q_OBJECT
  private slots:
    void drawsAndListsTheReport_data() {
        QTest::addColumn<bool>("keyed");
        QTest::newRow("a practice keyed") << true;
        QTest::newRow("nothing keyed") << false;
    }
    void drawsAndListsTheReport() {
        QFETCH(bool, keyed);
        const FistReport report = keyed ? KeyedReport() : FistReport{};
        FistReportWindow window(report, QStringLiteral("2026-12-08 21:00 自由送信"));
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("送信の評価"));
        auto* picture = window.findChild<FistReportPicture*>();
        QVERIFY(!picture->grab().toImage().isNull());
        const QList<FistReportRow> rows = FistReportRows(report);
        QCOMPARE(window.table()->rowCount(), rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            QCOMPARE(window.table()->item(row, 0)->text(), rows[row].caption);
            QCOMPARE(window.table()->item(row, 1)->text(), rows[row].value);
            QCOMPARE(window.table()->item(row, 2)->text(), rows[row].standard);
        }
        QCOMPARE(window.table()->item(0, 1)->text().startsWith(u"20.0 WPM"), keyed);
        QVERIFY(!picture->accessibleName().isEmpty() &&
                !window.table()->accessibleName().isEmpty());
    }

    void keyboardAlone() {
        FistReportWindow window(KeyedReport());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* close = window.findChild<QPushButton*>(QStringLiteral("FistReportClose"));
        QCOMPARE(QApplication::focusWidget(), window.table());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.table());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        window.show();  // the close button by its access key
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!window.isVisible());  // the button's animated click
    }
};

QTEST_MAIN(TestFistReportWindow)
#include "test_fist_report_window.moc"
