// The free speed's dialog: its presets picked, saved and deleted, named for a screen reader
// and reached by their access keys.
#include <QAbstractButton>
#include <QAccessible>
#include <QTemporaryDir>
#include <QtTest>

#include "core/kit/ProgramSettings.h"
#include "core/morse/SpeedPresets.h"
#include "ui/morse/FreeSpeedDialog.h"

using namespace Qt::StringLiterals;

class TestFreeSpeedDialog : public QObject {
    Q_OBJECT

  private slots:
    void dialogPicksSavesAndDeletesPresets() {
        QTemporaryDir dir;
        ProgramSettings store(dir.filePath(u"quillstart.ini"_s));
        FreeSpeedDialog dialog(store);
        // Taken as chosen in the list, which is named by its label; access keys of their own.
        QWidget* box = dialog.findChild<QWidget*>(u"presetBox"_s);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(dialog.speed(), ShippedPresets().at(1).speed);
        QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name),
                 u"プリセット"_s);
        QSet<QString> keys;
        for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
            keys << button->shortcut().toString();
        }
        QCOMPARE(keys, (QSet<QString>{u"Alt+L"_s, u"Alt+D"_s, u"Alt+A"_s, QString()}));
        dialog.pickPreset(0);
        QCOMPARE(dialog.speed(), ShippedPresets().at(0).speed);
        QVERIFY(!dialog.savePreset(u"  "_s));
        dialog.setSpeed(FreeSpeed{22.5, 0, 2}, u"650"_s);
        QVERIFY(dialog.savePreset(u"mine"_s));
        QVERIFY(dialog.savePreset(u"mine"_s));  // the same name replaces it
        QVERIFY(dialog.deletePreset(0));
        QList<SpeedPreset> kept = ShippedPresets().mid(1);
        kept.append({u"mine"_s, FreeSpeed{22.5, 0, 2}, u"650"_s});
        QCOMPARE(LoadSpeedPresets(store), kept);
    }
};

QTEST_MAIN(TestFreeSpeedDialog)
#include "test_free_speed_dialog.moc"
