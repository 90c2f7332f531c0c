#include <QTest>
#include <random>

#include "core/kit/CopyAlignment.h"

using namespace Qt::StringLiterals;

namespace {

// The textbook edit distance, without a backtrace.
int PlainDistance(const QString& a, const QString& b) {
    std::vector<int> row(static_cast<std::size_t>(b.size() + 1));
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[std::size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int up = row[std::size_t(j)];
            row[std::size_t(j)] = std::min(
                {up + 1, row[std::size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row.back();
}

// The pairs as "sent>heard" with "_" for nothing, e.g. "A>A B>D C>_".
QString Shown(const CopyAlignment& alignment) {
    QStringList shown;
    for (const AlignedPair& pair : alignment.pairs) {
        shown << QString(pair.sent.isNull() ? u'_' : pair.sent) + u'>' +
                     (pair.heard.isNull() ? u'_' : pair.heard);
    }
    return shown.join(u' ');
}

}  // namespace

class TestCopyAlignment : public QObject {
    Q_OBJECT
  private slots:
    void rules_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("heard");
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("sentCount");
        QTest::newRow("case folded") << u"ab"_s << u"AB"_s << u"A>A B>B"_s << 0 << 2 << 2;
        QTest::newRow("heard as") << u"ABC"_s << u"ADC"_s << u"A>A B>D C>C"_s << 1 << 2 << 3;
        QTest::newRow("missed") << u"ABC"_s << u"AC"_s << u"A>A B>_ C>C"_s << 1 << 2 << 3;
        QTest::newRow("extra") << u"AC"_s << u"ABC"_s << u"A>A _>B C>C"_s << 1 << 2 << 2;
        QTest::newRow("run of spaces is one gap")
            << u"AB CD"_s << u"  ab \t\n cd "_s << u"A>A B>B  >  C>C D>D"_s << 0 << 4 << 4;
        QTest::newRow("gap not heard")
            << u"AB C"_s << u"ABC"_s << u"A>A B>B  >_ C>C"_s << 1 << 3 << 3;
        QTest::newRow("nothing typed") << u"KM"_s << u""_s << u"K>_ M>_"_s << 2 << 0 << 2;
        QTest::newRow("nothing sent") << u""_s << u"X"_s << u"_>X"_s << 1 << 0 << 0;
        QTest::newRow("stopped early: what was copied stays in place")
            << u"KKMK MMKK KMKM"_s << u"KKMK MMKA"_s
            << u"K>K K>K M>M K>K  >  M>M M>M K>K K>A  >_ K>_ M>_ K>_ M>_"_s << 6 << 7 << 12;
        QTest::newRow("stopped early, the rest alike")
            << u"KMM MMK"_s << u"KMM M"_s << u"K>K M>M M>M  >  M>M M>_ K>_"_s << 2 << 4 << 6;
    }
    void rules() {
        QFETCH(QString, sent);
        QFETCH(QString, heard);
        QFETCH(QString, pairs);
        QFETCH(int, distance);
        QFETCH(int, right);
        QFETCH(int, sentCount);
        const CopyAlignment alignment = AlignCopy(sent, heard);
        QCOMPARE(Shown(alignment), pairs);
        QCOMPARE(alignment.distance, distance);
        QCOMPARE(alignment.rightCharacters, right);
        QCOMPARE(alignment.sentCharacters, sentCount);
    }

    // The fewest edits on random pairs, and a path that spells both texts with that many edits.
    void minimalOnRandomPairs() {
        std::mt19937 random(20261208);
        const QString alphabet = u"ABCDE "_s;
        for (int n = 0; n < 10000; ++n) {
            QString texts[2];
            for (QString& text : texts) {
                const int length = std::uniform_int_distribution<int>(0, 12)(random);
                for (int i = 0; i < length; ++i) {
                    text += alphabet[std::uniform_int_distribution<int>(0, 5)(random)];
                }
            }
            const CopyAlignment alignment = AlignCopy(texts[0], texts[1]);
            const QString sent = NormalizedCopy(texts[0]);
            const QString heard = NormalizedCopy(texts[1]);
            QString spelledSent, spelledHeard;
            int edits = 0;
            for (const AlignedPair& pair : alignment.pairs) {
                spelledSent += pair.sent.isNull() ? QString() : QString(pair.sent);
                spelledHeard += pair.heard.isNull() ? QString() : QString(pair.heard);
                edits += pair.op == AlignedPair::Op::Match ? 0 : 1;
            }
            QCOMPARE(alignment.distance, PlainDistance(sent, heard));
            QCOMPARE(edits, alignment.distance);
            QCOMPARE(spelledSent, sent);
            QCOMPARE(spelledHeard, heard);
        }
    }

    // Pasted text far beyond what a question holds is counted as heard in excess, not aligned.
    void anOverlongCopyIsBounded() {
        const QString copy = u"AB"_s + QString(8'000'000, u'X');
        const CopyAlignment alignment = AlignCopy(u"AB"_s, copy);
        QCOMPARE(alignment.distance, 8'000'000);
        QCOMPARE(alignment.rightCharacters, 2);
        QCOMPARE(alignment.pairs.size(), copy.size());
    }

    void pairsCounted() {
        ConfusionCounts counts;
        CountPairs(counts, AlignCopy(u"AB CA"_s, u"AD  xa"_s));
        CountPairs(counts, AlignCopy(u"A B"_s, u"AZB"_s));
        CountPairs(counts, AlignCopy(u"K"_s, u""_s));
        const ConfusionCounts expected{{{u'A', u'A'}, 3},    {{u'B', u'D'}, 1},
                                       {{u'B', u'B'}, 1},    {{u'C', u'X'}, 1},
                                       {{QChar(), u'Z'}, 1}, {{u'K', QChar()}, 1}};
        QCOMPARE(counts, expected);
    }
};

QTEST_APPLESS_MAIN(TestCopyAlignment)
#include "test_copy_alignment.moc"
