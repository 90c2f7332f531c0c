// Sending practice: the texts to key, the copy sending score, the echo's verdicts and the window
// that runs them.
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "core/kit/AnnouncerPace.h"
#include "core/lesson/QuestionFile.h"
#include "core/lesson/SendingFile.h"
#include "support/FakeDesktopServices.h"
#include "support/WaveTestRig.h"
#include "ui/kit/Announcer.h"
#include "ui/lesson/CopyScoring.h"
#include "ui/lesson/SendingPracticeWindow.h"

using namespace Qt::StringLiterals;

namespace {

SendingTexts::Settings Source(SendingSource source, quint32 seed = 3) {
    return {source, u"KMRS"_s, {u"PARIS"_s}, 5, seed};
}

QLabel* Named(QWidget& window, const QString& name) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->accessibleName() == name) {
            return label;
        }
    }
    return nullptr;
}

}  // namespace

class TestSending : public QObject {
    Q_OBJECT
  private slots:
    void textsKeepToTheirSourceAndSeed() {
        static const QRegularExpression call(u"^([A-Z]{1,2}|[0-9][A-Z])[0-9][A-Z]{1,3}$"_s);
        SendingTexts koch(Source(SendingSource::Koch)), calls(Source(SendingSource::Callsigns)),
            words(Source(SendingSource::Words)), file(Source(SendingSource::File));
        for (int i = 0; i < 100; ++i) {
            QVERIFY(QRegularExpression(u"^[KMRS]{5}$"_s).match(koch.nextGroup()).hasMatch());
            QVERIFY(call.match(calls.nextGroup()).hasMatch());
            QVERIFY(ContactWords().contains(words.nextGroup()));
            QCOMPARE(file.nextGroup(), u"PARIS"_s);
        }
        SendingTexts one(Source(SendingSource::Koch, 9)), again(Source(SendingSource::Koch, 9));
        QCOMPARE(one.nextText(5), again.nextText(5));
        QCOMPARE(one.nextText(5).split(u' ').size(), 5);
        QVERIFY(SendingTexts({SendingSource::Koch, u"K"_s, {}, 5, 0}).nextText(3).isEmpty());
    }

    void copySendingIsScoredAsACopy_data() {
        QTest::addColumn<QStringList>("pieces");  // as the keying area decodes them
        QTest::addColumn<QString>("score");
        QTest::addColumn<int>("keyed");
        QTest::newRow("right") << QStringList{u"PARIS"_s, u" "_s, u"TEST"_s}
                               << u"9文字中9文字正解（編集距離 0）"_s << 9;
        QTest::newRow("gaps doubled, lower case")
            << QStringList{u" "_s, u"paris"_s, u"  "_s, u"test"_s, u" "_s}
            << u"9文字中9文字正解（編集距離 0）"_s << 9;
        QTest::newRow("one wrong, one extra")
            << QStringList{u"PARIS TEXTE"_s} << u"9文字中8文字正解（編集距離 2）"_s << 10;
        QTest::newRow("nothing keyed")
            << QStringList{} << u"9文字中0文字正解（編集距離 10）"_s << 0;
    }
    void copySendingIsScoredAsACopy() {
        QFETCH(QStringList, pieces);
        QFETCH(QString, score);
        QFETCH(int, keyed);
        SendingCopy copy(u"PARIS TEST"_s);
        for (const QString& piece : pieces) {
            copy.take(piece);
        }
        QCOMPARE(CopyScoreText(copy.score()), score);
        const SendingResult result = copy.result();
        QCOMPARE(result.charactersKeyed, keyed);
        QCOMPARE(result.rightCharacters, copy.score().rightCharacters);
    }

    void echoJudgesEachGroupAtItsGap() {
        SendingTexts texts(Source(SendingSource::Koch)), twin(Source(SendingSource::Koch));
        SendingEcho echo(texts);
        const QString first = twin.nextGroup();
        QCOMPARE(echo.group(), first);
        for (const QChar c : first.toLower()) {
            QVERIFY(!echo.take(QString(c)));  // nothing judged before the gap
        }
        QCOMPARE(echo.take(u" "_s), true);
        const QString second = twin.nextGroup();
        QCOMPARE(echo.group(), second);
        QCOMPARE(echo.take(second.left(3) + u"E "_s), false);
        QCOMPARE(echo.lastTry(), second.left(3) + u'E');
        QCOMPARE(echo.group(), second);              // the same again
        QVERIFY(!echo.take(u" "_s));                 // a gap alone is no try
        QVERIFY(!echo.take(second.left(2) + u' '));  // a pause inside the group
        QCOMPARE(echo.take(second.mid(2) + u' '), true);
        QCOMPARE(echo.group(), twin.nextGroup());
        QCOMPARE(EchoTallyText(echo.groupsRight(), echo.tries()), u"3組中2組正解"_s);
        QCOMPARE(echo.result().charactersKeyed, 14);
    }

    void fileSourceRefusesWhatCannotBeKeyed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("message");  // a part of the notice or of the error
        QTest::newRow("words") << "cq de ja1abc\r\n73 k?\n"_ba
                               << QStringList{u"CQ"_s, u"DE"_s, u"JA1ABC"_s, u"73"_s, u"K?"_s}
                               << QString();
        QTest::newRow("signless characters")
            << "CQ \xe3\x81\x82 73 A#B"_ba << QStringList{u"CQ"_s, u"73"_s}
            << u"（あ#）を含む2語を除きました"_s;
        QTest::newRow("nothing keyable")
            << "\xe3\x81\x82"_ba << QStringList{} << u"送信練習に使える語がありません"_s;
        QTest::newRow("not text") << "CQ\0DE"_ba << QStringList{} << u"テキストファイルではない"_s;
        QTest::newRow("too long") << QByteArray(QuestionFile::kMostBytes + 1, 'E') << QStringList{}
                                  << u"長すぎる"_s;
        QTest::newRow("missing") << QByteArray() << QStringList{} << u"読み込めませんでした"_s;
    }
    void fileSourceRefusesWhatCannotBeKeyed() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QFETCH(QString, message);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"words.txt"_s);
        QFile out(path);
        if (!bytes.isEmpty()) {
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            out.close();
        }
        const SendingFile file = ReadSendingFile(path);
        QCOMPARE(file.words, words);
        QVERIFY2((file.error + file.notice).contains(message), qPrintable(file.error));
        QCOMPARE(file.ok(), !words.isEmpty());
    }

    void theWindowPlaysEchoGroupsAndTalliesThem() {
        SoundRig rig;
        FakeDesktopServices desktop;
        SendingPracticeWindow window(rig.clock, rig.dispatch, desktop, new QWidget);
        window.setKochSource([] { return u"KMRS"_s; });
        window.setSeed(3);
        window.findChild<QComboBox*>()->setCurrentIndex(2);
        QList<SendingResult> ended;
        connect(&window, &SendingPracticeWindow::practiceEnded,
                [&ended](const SendingResult& result) { ended << result; });
        QPushButton* replay = nullptr;
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->text().startsWith(u"もう一度"_s)) {
                replay = button;
            }
        }
        // The group plays from the event loop: heard once the button to hear it again is back.
        const auto heard = [&] {
            rig.clock.waitUntil(rig.clock.now() + 10000);
            WaitUntil(rig.clock, [replay] { return replay->isEnabled(); });
        };
        window.start();
        heard();
        const auto played = rig.output.events().size();
        QVERIFY(played > 0);  // the group sounded; heard again on asking, and no try
        replay->click();
        heard();
        QCOMPARE(rig.output.events().size(), 2 * played);
        const QString group = SendingTexts(Source(SendingSource::Koch)).nextGroup();
        // Missed twice: told the group only then, and hears it again once the verdict is said.
        window.announcer().setListening(true);
        for (const bool told : {false, true}) {
            const auto before = rig.output.events().size();
            window.takeDecoded(u"EE "_s);
            QCOMPARE(window.announcer().lastAnnouncement().contains(group), told);
            heard();
            const Announcer::Said verdict = window.announcer().saidTexts().constLast();
            QVERIFY(rig.output.events().size() > before);
            QVERIFY(rig.output.events()[before].start >= verdict.at + SpeechTimeMs(verdict.text));
        }
        window.takeDecoded(group + u' ');
        QCOMPARE(Named(window, u"集計"_s)->text(), u"3組中1組正解"_s);
        QVERIFY(window.announcer().lastAnnouncement().startsWith(u"正解: "_s + group));
        window.finish();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended[0].mode, SendingMode::Echo);
        QCOMPARE(ended[0].groupsRight, 1);
    }

    void theWindowScoresCopySendingAndRefusesABadFile() {
        SoundRig rig;
        FakeDesktopServices desktop;
        auto* area = new QWidget;
        area->setFocusPolicy(Qt::StrongFocus);
        SendingPracticeWindow window(rig.clock, rig.dispatch, desktop, area);
        QVERIFY(!window.loadFile(u"/nonexistent/words.txt"_s));
        QVERIFY(desktop.messages.value(0).text.contains(u"読み込めませんでした"_s));
        window.setSeed(5);
        window.findChildren<QComboBox*>()[0]->setCurrentIndex(1);
        window.findChildren<QComboBox*>()[1]->setCurrentIndex(2);
        window.start();
        const QString target = Named(window, u"送信する文"_s)->text();
        QCOMPARE(target, SendingTexts(Source(SendingSource::Words, 5)).nextText(5));
        window.takeDecoded(target.left(target.size() - 1));
        // The words a gap has ended are said, spelled: all but the last.
        QString words = target.section(u' ', 0, -2).replace(u' ', u'、');
        QCOMPARE(window.announcer().lastAnnouncement(),
                 words.replace(QRegularExpression(u"([^、])(?=[^、])"_s), u"\\1 "_s));
        window.finish();
        const CopyAlignment alignment = AlignCopy(target, target.chopped(1));
        QCOMPARE(Named(window, u"結果"_s)->text(), CopyScoreText(alignment));
        QCOMPARE(window.announcer().lastAnnouncement(),
                 CopySpokenText(alignment, CopyWording::Keyed));
        // Every control, the keying area among them, is on the Tab chain and named.
        QWidget* control = &window;
        QSet<QWidget*> chain;
        while ((control = control->nextInFocusChain()) != &window) {
            if (control->focusPolicy() & Qt::TabFocus) {
                chain.insert(control);
            }
        }
        QVERIFY(chain.contains(area));
        for (QWidget* named : chain) {
            QVERIFY(named == area || !named->accessibleName().isEmpty() ||
                    qobject_cast<QPushButton*>(named));
        }
    }
};

QTEST_MAIN(TestSending)
#include "test_sending.moc"
