// The band conditions' dialog: what it shows and gives back, its presets, and its names and
// access keys for a screen reader and the keyboard.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include "core/morse/BandConditions.h"
#include "support/BandEverything.h"
#include "support/VirtualClock.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/morse/BandConditionsDialog.h"

using namespace Qt::StringLiterals;

class TestBandDialog : public QObject {
    Q_OBJECT

  private slots:
    // The dialog shows what it is given and gives it back; a preset keeps the seed, and is taken
    // however it was chosen; the list shows the preset in force, or none for one's own.
    void theDialogShowsAndTakesPresets() {
        VirtualClock clock;
        BandConditionsDialog dialog(clock);
        const BandConditions c = BandEverything();
        dialog.showConditions(c);
        QCOMPARE(dialog.conditions(), c);
        QCOMPARE(dialog.presetCombo->currentIndex(), -1);
        const QList<BandPreset> presets = BandPresets();
        dialog.presetCombo->setCurrentIndex(2);  // as a screen reader or a test tool selects
        BandConditions preset = presets[2].conditions;
        preset.seed = c.seed;
        QCOMPARE(dialog.conditions(), preset);
        dialog.snrSpin->setValue(dialog.snrSpin->value() + 1);
        QCOMPARE(dialog.presetCombo->currentIndex(), -1);
        BandConditions shown = presets[4].conditions;
        shown.seed = 99;
        shown.chirpHz = 77;  // an effect that is off: its figure does not count
        dialog.showConditions(shown);
        QCOMPARE(dialog.presetCombo->currentIndex(), 4);
        QCOMPARE(BandStatusText(shown), u"バンド: 空電（シード 99）"_s);

        // Every control is named for a screen reader, and no two access keys clash.
        QStringList names;
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            const bool spinsText = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) != nullptr;
            if (qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                (qobject_cast<QLineEdit*>(w) && !spinsText)) {
                QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
                names << w->accessibleName();
            }
        }
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
        QStringList keys;
        static const QRegularExpression kKey(u"&(.)"_s);
        for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
            keys << kKey.match(b->text()).captured(1).toUpper();
        }
        for (QLabel* l : dialog.findChildren<QLabel*>()) {
            keys << kKey.match(l->text()).captured(1).toUpper();
        }
        keys.removeAll(QString());
        QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()).size(), keys.size());
        QVERIFY(keys.contains(u"O"_s) && keys.contains(u"C"_s));  // OK, キャンセル
    }
};

QTEST_MAIN(TestBandDialog)
#include "test_band_dialog.moc"
