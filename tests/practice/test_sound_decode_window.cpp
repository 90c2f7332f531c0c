// The window 音声から解読 over a decoding session fed keyed sound: what it shows of each signal, a
// WAV file it cannot take, and the learner's copy scored.
#include <sys/stat.h>
#include <QAccessible>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>

#include "core/morse/MorseTable.h"
#include "support/FakeDesktopServices.h"
#include "support/KeyedSound.h"
#include "support/VirtualClock.h"
#include "ui/kit/Announcer.h"
#include "ui/lesson/CopyCheckPanel.h"
#include "ui/lesson/DecodedSignalRows.h"
#include "ui/lesson/SoundDecodeWindow.h"
#include "ui/lesson/SoundInputPanel.h"
#include "ui/lesson/WaterfallView.h"

using namespace Qt::StringLiterals;

namespace {

// The text as KeyedSound keys it: signs of a character apart, "|" between characters, " " after
// each word.
QString Patterns(const QString& text) {
    QString patterns;
    for (const QString& word : text.split(u' ')) {
        QStringList signs;
        for (const QChar character : word) {
            signs << QString::fromLatin1(MorseSymbolFor(*SymbolForAlphanumeric(character)).pattern);
        }
        patterns += signs.join(u'|') + u' ';
    }
    return patterns;
}

int FigureOf(const QLabel* label) {
    return label->text().section(u' ', 0, 0).toInt();
}

struct Rig {
    VirtualClock clock;
    FakeDesktopServices desktop;
    SoundDecodingSession session;
    QSignalSpy listed{&session, &SoundDecodingSession::sourcesListed};
    SoundDecodeWindow window{session, clock, desktop};

    // Once the sources' answer is in, nothing changes the status line behind a test's back.
    bool ready() {
        window.show();
        return listed.count() > 0 || listed.wait(CaptureSources::kAnswerWithinMs + 3000);
    }
    void decode(const QString& text, double wpm, double hz) {
        const std::vector<float> sound = KeyedSound(Patterns(text), wpm, 6, 0, hz);
        for (size_t at = 0; at < sound.size(); at += 160) {
            session.addSamples(
                std::span(sound).subspan(at, std::min<size_t>(160, sound.size() - at)),
                kKeyedSoundRate);
        }
        session.finish();
    }
};

}  // namespace

class TestSoundDecodeWindow : public QObject {
    Q_OBJECT
  private slots:
    // Each station's copy, pitch and speed as the rule keyed them (its first word may go to
    // learning the fist); a pitch picked from the keyboard gets a row of its own.
    void showsWhatWasKeyed_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("hz");
        QTest::newRow("PARIS, 20 WPM, 700 Hz") << u"PARIS PARIS PARIS PARIS"_s << 20.0 << 700.0;
        QTest::newRow("a call, 28 WPM, 950 Hz") << u"CQ CQ DE JA1ZZZ JA1ZZZ K"_s << 28.0 << 950.0;
    }
    void showsWhatWasKeyed() {
        QFETCH(QString, text);
        QFETCH(double, wpm);
        QFETCH(double, hz);
        Rig rig;
        QVERIFY(rig.ready());
        rig.decode(text, wpm, hz);
        DecodedSignalRows& rows = rig.window.signalRows();
        const QString copy = rows.copyBox(0)->toPlainText().simplified();
        QVERIFY2(copy.endsWith(text.section(u' ', 1)), qPrintable(copy));
        QCOMPARE_LE(std::abs(FigureOf(rows.pitchLabel(0)) - hz), 5);
        QCOMPARE_LE(std::abs(FigureOf(rows.speedLabel(0)) - wpm), wpm / 10);
        QVERIFY(
            rig.window.waterfall().accessibleDescription().contains(rows.pitchLabel(0)->text()));

        rig.window.waterfall().setFocus();
        for (int step = 0; step < 20; ++step) {  // 200 Hz below where the cursor starts
            QTest::keyClick(&rig.window.waterfall(), Qt::Key_Left);
        }
        QTest::keyClick(&rig.window.waterfall(), Qt::Key_Return);
        const QList<SoundDecodingSession::Signal>& followed = rig.session.signalList();
        const auto picked = std::find_if(followed.begin(), followed.end(),
                                         [](const auto& signal) { return signal.picked; });
        QVERIFY(picked != followed.end() && std::abs(picked->pitchHz - 500) < 25);
        const int row = int(picked - followed.begin());
        QVERIFY(rows.copyBox(row)->isVisible());
        QCOMPARE(rows.pitchLabel(row)->text(), u"%1 Hz"_s.arg(qRound(picked->pitchHz)));
    }

    // A file that is no recording is refused in words; the window goes on as it was.
    void aRefusedFileIsTold_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("text") << u"text"_s << u"WAVファイルではありません"_s;
        QTest::newRow("FIFO") << u"fifo"_s << u"通常のファイルではありません"_s;
        QTest::newRow("missing") << u"missing"_s << u"ファイルを開けません: "_s;
    }
    void aRefusedFileIsTold() {
        QFETCH(QString, kind);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"band.wav"_s);
        if (kind == u"text") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("73 de JA1ZZZ") > 0);
        } else if (kind == u"fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        Rig rig;
        QVERIFY(rig.ready());
        rig.desktop.fileToOpen = path;
        rig.window.input().fileButton()->click();
        const QString status = rig.window.input().status()->text();
        QVERIFY2(status.startsWith(u"WAVファイルを開けませんでした。"_s) && status.contains(told),
                 qPrintable(status));
        QCOMPARE(rig.session.input(), SoundDecodingSession::Input::None);
        QVERIFY(rig.window.input().fileButton()->isEnabled() && rig.window.isVisible());
        QVERIFY(rig.desktop.messages.isEmpty());
    }

    // The learner's copy with its last character wrong: the score shown and spoken, every
    // control reached by Tab named for a screen reader.
    void theCopyIsScored() {
        Rig rig;
        QVERIFY(rig.ready());
        rig.decode(u"PARIS PARIS PARIS PARIS"_s, 20, 700);
        CopyCheckPanel& check = rig.window.copyCheck();
        QTest::keyClicks(check.copy(), u"paris paris paris parix"_s);
        check.checkButton()->click();
        QCOMPARE(check.score()->text(), u"20文字中19文字正解（編集距離 1） 正解率 95%"_s);
        QVERIFY(rig.window.announcer().lastAnnouncement().startsWith(u"20文字中19文字正解。"_s));
        QStringList names;
        for (QWidget* control : rig.window.findChildren<QWidget*>()) {
            if ((control->focusPolicy() & Qt::TabFocus) &&
                !control->inherits("QAbstractItemView") &&
                !control->parent()->inherits("QAbstractScrollArea")) {
                const QString name =
                    QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
                QVERIFY2(!name.isEmpty() && !names.contains(name) &&
                             !control->objectName().isEmpty() &&
                             !names.contains(control->objectName()),
                         qPrintable(control->objectName()));
                names << name << control->objectName();
            }
        }
    }
};

QTEST_MAIN(TestSoundDecodeWindow)
#include "test_sound_decode_window.moc"
