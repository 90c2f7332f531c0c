#include <QTest>

#include "core/history/KochCourse.h"

using namespace Qt::StringLiterals;

class KochCourseTest : public QObject {
    Q_OBJECT
  private slots:
    // The newest character is M: K right 100 times, M right or wrong as the row says.
    void gate_data() {
        QTest::addColumn<int>("newestRight");
        QTest::addColumn<int>("newestWrong");
        QTest::addColumn<int>("otherWrong");
        QTest::addColumn<bool>("ready");
        QTest::newRow("18 of 20 on the newest") << 18 << 2 << 0 << true;
        QTest::newRow("17 of 20 on the newest") << 17 << 3 << 0 << false;
        QTest::newRow("19 of 19: too few yet") << 19 << 0 << 0 << false;
        QTest::newRow("newest fine, overall 89 %") << 20 << 0 << 14 << false;
        QTest::newRow("newest fine, overall 90 %") << 20 << 0 << 12 << true;
        QTest::newRow("nothing heard") << 0 << 0 << 0 << false;
    }
    void gate() {
        QFETCH(int, newestRight);
        QFETCH(int, newestWrong);
        QFETCH(int, otherWrong);
        QFETCH(bool, ready);
        ConfusionCounts recent{{{u'K', u'K'}, 100}, {{QChar(), u'E'}, 50}};
        recent[{u'M', u'M'}] = newestRight;
        recent[{u'M', QChar()}] = newestWrong;
        recent[{u'K', u'R'}] = otherWrong;
        QCOMPARE(JudgeKochGate(recent, u'M').ready(), ready);
    }

    void orderFromText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("order");  // empty: refused
        QTest::newRow("spaced, lower case") << u" a b\nc 1 "_s << u"ABC1"_s;
        QTest::newRow("twice") << u"ABA"_s << QString();
        QTest::newRow("not a letter") << u"AB?"_s << QString();
        QTest::newRow("one alone") << u"A"_s << QString();
    }
    void orderFromText() {
        QFETCH(QString, text);
        QFETCH(QString, order);
        QString error;
        const std::optional<QString> parsed = ParseKochOrder(text, &error);
        QCOMPARE(parsed.value_or(QString()), order);
        QCOMPARE(error.isEmpty(), parsed.has_value());
    }
};

QTEST_APPLESS_MAIN(KochCourseTest)
#include "test_koch_course.moc"
