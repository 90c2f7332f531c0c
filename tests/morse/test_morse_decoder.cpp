#include <QtTest>

#include "core/morse/FistReport.h"
#include "core/morse/MorseDecoder.h"

namespace {

// An exact fist: lengths in units of a dot of unitMs.
struct Fist {
    double unitMs = 60;
    double dash = 3, elementGap = 1, characterGap = 3, wordGap = 7;
};

// Keys patterns written as ".- -..." (space: character gap, " / ": word gap) with the fist; "b"
// is a bouncing contact before the next mark (3 ms closed, 3 ms open), "=" a dash whose contact
// opens for 3 ms in its middle.
void Key(MorseDecoder& decoder, const QString& patterns, const Fist& fist) {
    const QStringList words = patterns.split(QStringLiteral(" / "));
    for (qsizetype w = 0; w < words.size(); ++w) {
        const QStringList signs = words[w].split(u' ');
        for (qsizetype s = 0; s < signs.size(); ++s) {
            for (qsizetype e = 0; e < signs[s].size(); ++e) {
                const double ms = signs[s][e] == u'.' ? fist.unitMs : fist.unitMs * fist.dash;
                if (signs[s][e] != u'.' && signs[s][e] != u'-') {
                    decoder.addMark(signs[s][e] == u'b' ? 3 : ms / 2 - 1.5);
                    decoder.addGap(3);
                }
                if (signs[s][e] != u'b') {
                    decoder.addMark(signs[s][e] == u'=' ? ms / 2 - 1.5 : ms);
                }
                if (e + 1 < signs[s].size()) {
                    decoder.addGap(fist.unitMs * fist.elementGap);
                }
            }
            if (s + 1 < signs.size()) {
                decoder.addGap(fist.unitMs * fist.characterGap);
            } else if (w + 1 < words.size()) {
                decoder.addGap(fist.unitMs * fist.wordGap);
            }
        }
    }
}

MorseDecoder KeyPatterns(const QString& patterns, const Fist& fist,
                         SignTable table = DefaultSignTable()) {
    MorseDecoder decoder(std::move(table));
    Key(decoder, patterns, fist);
    decoder.finish();
    return decoder;
}

const QString kParis = QStringLiteral(".--. .- .-. .. ...");
const QString kParisTimes4 = QStringList(4, kParis).join(QStringLiteral(" / "));

}  // namespace

Q_DECLARE_METATYPE(Fist)

class TestMorseDecoder : public QObject {
    Q_OBJECT
  private slots:
    void decodesFromAColdStart_data();
    void decodesFromAColdStart();
    void showsACharacterOnceTheSilenceIsACharacterGap();
    void takesTheSignTableItIsGiven();
    void reportsTheFistsProportions();
    void longGapsPartApartFromTheShortOnes_data();
    void longGapsPartApartFromTheShortOnes();
};

void TestMorseDecoder::decodesFromAColdStart_data() {
    QTest::addColumn<Fist>("fist");
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<QString>("text");

    const QString paris4 = QStringLiteral("PARIS PARIS PARIS PARIS");
    QTest::newRow("5 WPM") << Fist{240} << kParisTimes4 << paris4;
    QTest::newRow("40 WPM") << Fist{30} << kParisTimes4 << paris4;
    QTest::newRow("Farnsworth gaps do not split words")
        << Fist{60, 3, 1, 6, 14} << kParisTimes4 << paris4;
    QTest::newRow("a beginner's short dashes and gaps")
        << Fist{80, 2.2, 1.3, 2.4, 5} << kParisTimes4 << paris4;
    QTest::newRow("dashes first, then dots")
        << Fist{100} << QStringLiteral("- --- -- / --- - / .... .. ... / ..-. .. ...")
        << QStringLiteral("TOM OT HIS FIS");
    QTest::newRow("a bounce before the first word")
        << Fist{} << QStringLiteral("b") + kParisTimes4 << paris4;
    QTest::newRow("a bounce before a word in the middle")
        << Fist{} << kParis + QStringLiteral(" / b") + kParis + QStringLiteral(" / ") + kParis
        << QStringLiteral("PARIS PARIS PARIS");
    QTest::newRow("bounces in a fast fist")
        << Fist{25, 3, 1, 3, 7}
        << QStringLiteral("b.--. .- .-. .. b... / .=-. .- b.-. .. ... / .--. .- .-. b.. ... / ") +
               kParis
        << paris4;
    QTest::newRow("signs and an unknown pattern")
        << Fist{60} << kParis + QStringLiteral(" / ..--.. -..-. -...- .-.-.- -.--. ........")
        << QStringLiteral("PARIS ?/=.[KN]*");
}

void TestMorseDecoder::decodesFromAColdStart() {
    QFETCH(Fist, fist);
    QFETCH(QString, patterns);
    QFETCH(QString, text);
    MorseDecoder decoder = KeyPatterns(patterns, fist);
    QCOMPARE(decoder.text(), text);
    QCOMPARE(decoder.dotMs(), fist.unitMs);
}

void TestMorseDecoder::showsACharacterOnceTheSilenceIsACharacterGap() {
    MorseDecoder decoder;
    Key(decoder, kParis + QStringLiteral(" / ") + kParis + QStringLiteral(" / .-"), Fist{});
    decoder.silence(90);  // the boundary is the geometric mean of 60 and 180 ms
    QCOMPARE(decoder.text(), QStringLiteral("PARIS PARIS "));
    decoder.silence(110);
    QCOMPARE(decoder.text(), QStringLiteral("PARIS PARIS A"));
    decoder.silence(300);  // the word boundary: the geometric mean of 180 and 420 ms
    QCOMPARE(decoder.text(), QStringLiteral("PARIS PARIS A "));
    decoder.addGap(420);
    decoder.addMark(60);
    decoder.finish();
    QCOMPARE(decoder.text(), QStringLiteral("PARIS PARIS A E"));

    // One short group from a cold start: the silence after it ends the word, read with the
    // best guess, rather than the group waiting for the next key.
    MorseDecoder cold;
    Key(cold, QStringLiteral("-- -"), Fist{});
    QCOMPARE(cold.text(), QString());
    cold.silence(cold.wordBoundaryMs());
    QCOMPARE(cold.text(), QStringLiteral("MT "));

    // Pauses of seconds between words, from the first word on, teach the gaps nothing: the
    // words after them decode, and the report leaves them out.
    MorseDecoder paused;
    for (int i = 0; i < 4; ++i) {
        Key(paused, kParis, Fist{});
        paused.addGap(6000);
    }
    Key(paused, kParis + QStringLiteral(" / ") + kParis, Fist{});
    paused.finish();
    QCOMPARE(paused.text(), QStringList(6, QStringLiteral("PARIS")).join(u' '));
    const FistReport report = MakeFistReport(paused.elements(), paused.characters());
    QCOMPARE(report.wordGap.count, 1);
    QCOMPARE(report.wordGap.units, 7.0);
}

void TestMorseDecoder::takesTheSignTableItIsGiven() {
    const SignTable table{{QStringLiteral(".-.-"), QStringLiteral("Ä")},
                          {QStringLiteral("."), QStringLiteral("E")},
                          {QStringLiteral("-"), QStringLiteral("T")}};
    QCOMPARE(KeyPatterns(QStringLiteral(".-.- - . / - .-.-"), Fist{}, table).text(),
             QStringLiteral("ÄTE TÄ"));
}

void TestMorseDecoder::reportsTheFistsProportions() {
    const Fist fist{50, 2.5, 1.2, 4, 9};
    const MorseDecoder decoder = KeyPatterns(kParisTimes4 + QStringLiteral(" / - - -"), fist);
    const FistReport report = MakeFistReport(decoder.elements(), decoder.characters());
    QCOMPARE(report.wpm, 24.0);
    QCOMPARE(report.dash.units, 2.5);
    QCOMPARE(report.elementGap.units, 1.2);
    QCOMPARE(report.characterGap.units, 4.0);
    QCOMPARE(report.wordGap.units, 9.0);
    QCOMPARE(report.dash.spread, 0.0);
    QCOMPARE(report.markHistogram[4], report.dot.count);      // 1 unit
    QCOMPARE(report.markHistogram[10], report.dash.count);    // 2.5 units
    QCOMPARE(report.gapHistogram[36], report.wordGap.count);  // 9 units
    // T is all dash: a sixth short; S is all dot and element gap.
    QCOMPARE(report.furthestOff.front().text, QStringLiteral("T"));
    QCOMPARE(report.furthestOff.front().count, 3);
    QCOMPARE(qRound(report.furthestOff.front().deviation * 600), 100);
    const QList<FistReportRow> rows = FistReportRows(report);
    QCOMPARE(rows[2].value, QStringLiteral("2.5 単位（ばらつき ±0.00）"));
    QVERIFY(rows.last().value.startsWith(QStringLiteral("T（17 %）")));
    // Dashes a tenth short are no large deviation: no sign is named, and the row says so.
    const MorseDecoder even = KeyPatterns(kParisTimes4 + QStringLiteral(" / - - -"), Fist{60, 2.7});
    const FistReport evenReport = MakeFistReport(even.elements(), even.characters());
    QVERIFY(evenReport.furthestOff.empty());
    QVERIFY(FistReportRows(evenReport).last().value.startsWith(u"なし"));

    // Long gaps the decoder took for the other kind while learning are counted as the whole
    // practice shows them; with no word gaps at all, nothing is moved.
    const auto gaps = [](std::initializer_list<std::pair<double, ElementKind>> longGaps) {
        std::vector<DecodedElement> elements{{100, ElementKind::Dot, 0}};
        for (const auto& [ms, kind] : longGaps) {
            elements.push_back({ms, kind, 0});
        }
        return MakeFistReport(elements, {});
    };
    const FistReport settled = gaps({{300, ElementKind::CharacterGap},
                                     {600, ElementKind::CharacterGap},
                                     {700, ElementKind::WordGap},
                                     {320, ElementKind::CharacterGap}});
    QCOMPARE(settled.characterGap.count, 2);
    QCOMPARE(settled.wordGap.count, 2);
    const FistReport wordless =
        gaps({{250, ElementKind::CharacterGap}, {350, ElementKind::CharacterGap}});
    QCOMPARE(wordless.characterGap.count, 2);
    QCOMPARE(wordless.wordGap.count, 0);
}

// Gaps in units. The first ones of a fist jittered by up to 30 %: the element gaps spread so
// widely that cutting through them and the character gaps once cost less than parting the two
// word gaps from the character gaps. And character gaps in two bunches, the longer one the
// larger: no group of words.
void TestMorseDecoder::longGapsPartApartFromTheShortOnes_data() {
    QTest::addColumn<QList<double>>("gaps");
    QTest::addColumn<bool>("countRule");  // the word group no larger than the character group
    QTest::addColumn<QList<double>>("centres");
    const QList<double> coldStart{3.52, 2.49, 1.00, 1.15, 2.24, 5.26, 0.71, 3.20,
                                  0.95, 3.60, 5.27, 0.76, 3.79, 1.27, 1.06, 3.74};
    QTest::newRow("word gaps too few and short to tell yet")
        << coldStart << false << QList<double>{1, 3.5};
    QTest::newRow("then longer ones")
        << coldStart + QList<double>{7.4, 6.6} << false << QList<double>{1, 3.1, 5.9};
    const QList<double> bunches{1, 0.8, 1.2, 1, 0.9, 1.1, 2.1, 2.2, 2.3, 4, 4.1, 4.2, 4.3, 4.4};
    QTest::newRow("character gaps in two bunches") << bunches << true << QList<double>{1, 3.3};
    QTest::newRow("the same taken for words without the count")
        << bunches << false << QList<double>{1, 2.2, 4.2};
}

void TestMorseDecoder::longGapsPartApartFromTheShortOnes() {
    QFETCH(QList<double>, gaps);
    QFETCH(bool, countRule);
    QFETCH(QList<double>, centres);
    DurationWindow window(96);
    for (const double units : gaps) {
        window.add(std::log(units));
    }
    // As the decoder asks: the longest group 1.8 times the one below it.
    const DurationGroups groups = window.groups(
        3, 1.6,
        [countRule](const std::vector<double>& found, const std::vector<std::size_t>& sizes) {
            return found.size() < 3 ||
                   (found[2] - found[1] >= std::log(1.8) && (!countRule || sizes[2] <= sizes[1]));
        });
    QCOMPARE(groups.centres.size(), std::size_t(centres.size()));
    for (qsizetype i = 0; i < centres.size(); ++i) {
        const double found = std::exp(groups.centres[std::size_t(i)]);
        QVERIFY2(std::abs(found / centres[i] - 1) < 0.05, qPrintable(QString::number(found)));
    }
}

QTEST_GUILESS_MAIN(TestMorseDecoder)
#include "test_morse_decoder.moc"
