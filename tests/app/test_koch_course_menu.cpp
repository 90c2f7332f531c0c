#include <QAction>
#include <QMenu>
#include <QTest>

#include "core/history/HistoryStore.h"
#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/link/SessionChoices.h"
#include "support/TestContext.h"
#include "ui/app/KochCourseMenu.h"
#include "ui/app/PartnerUi.h"
#include "ui/kit/Announcer.h"

using namespace Qt::StringLiterals;

namespace {

// A lesson against the partner in which K was always right and M right `right` of `sent` times.
LessonRecord Lesson(int right, int sent) {
    LessonRecord lesson;
    lesson.finishedAt = QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
    lesson.played = 30 + sent;
    lesson.confusions = {{{u'K', u'K'}, 30}, {{u'M', u'M'}, right}, {{u'M', u'R'}, sent - right}};
    return lesson;
}

struct Rig {
    TestContext context;
    QWidget window;
    LinkState link;
    LessonState lesson;
    SessionChoices choices;
    QMenu partnerMenu;
    PartnerUi ui{&partnerMenu, nullptr};
    Announcer announcer{&window, context.clock};
    KochCourseMenu course{
        FormContext{window, link, lesson, choices, context.clock, context.desktop}, ui, announcer,
        context.historyPath()};

    void trigger(const QString& name) { course.menu()->findChild<QAction*>(name)->trigger(); }
};

}  // namespace

class KochCourseMenuTest : public QObject {
    Q_OBJECT
  private slots:
    void movesOnOnceTheNewestIsMastered() {
        Rig rig;
        QVERIFY(HistoryStore(rig.context.historyPath()).save(Lesson(14, 15)).ok);
        rig.course.lessonKept();  // 15 of M heard: too few
        QCOMPARE(rig.course.course().level, 2);
        QVERIFY(HistoryStore(rig.context.historyPath()).save(Lesson(5, 5)).ok);
        rig.course.lessonKept();
        QCOMPARE(rig.course.course().level, 3);
        QCOMPARE(LoadKochCourse(rig.course.coursePath()).level, 3);  // for the partner
        QVERIFY(rig.announcer.lastAnnouncement().startsWith(u"新しい文字 U を加えました。"_s));
        rig.course.lessonKept();  // U not heard yet
        QCOMPARE(rig.course.course().level, 3);
        QVERIFY(rig.course.menu()->title().contains(u"段階 3"_s));
        rig.trigger(u"mnuKochStatus"_s);
        QVERIFY(rig.context.desktop.messages.constLast().text.contains(u"次の文字 R"_s));
    }

    void backByHandAndAnotherOrder() {
        Rig rig;
        rig.course.menu()->findChild<QMenu*>(u"mnuKochLevels"_s)->actions().at(3)->trigger();
        QCOMPARE(rig.course.course().level, 5);
        rig.trigger(u"mnuKochBack"_s);
        QCOMPARE(LoadKochCourse(rig.course.coursePath()).level, 4);

        const QString orderFile = rig.context.currentDir.filePath(u"order.txt"_s);
        for (const auto& [text, order] : {std::pair{"e t a", u"ETA"_s}, {"x x", u"ETA"_s}}) {
            QFile file(orderFile);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text);
            file.close();
            rig.context.desktop.fileToOpen = orderFile;
            rig.trigger(u"mnuKochOrder"_s);
            QCOMPARE(rig.course.course().order, order);
        }
        QCOMPARE(rig.course.course().level, 3);            // within the shorter order
        QCOMPARE(rig.context.desktop.messages.size(), 1);  // the file with X twice refused
    }

    // Where the menu can do nothing, it says why: no level before the first, no rate before any
    // lesson, an order "file" that is a device, a course file that is another file.
    void saysWhyNothingChanged() {
        Rig rig;
        const auto said = [&rig] { return rig.context.desktop.messages.constLast().text; };
        rig.trigger(u"mnuKochBack"_s);
        QCOMPARE(rig.course.course().level, 2);
        QVERIFY2(said().contains(u"最初の段階"_s), qPrintable(said()));
        rig.trigger(u"mnuKochStatus"_s);
        QVERIFY2(said().contains(u"全体の正解率 まだありません"_s), qPrintable(said()));

        rig.context.desktop.fileToOpen = u"/dev/zero"_s;
        rig.trigger(u"mnuKochOrder"_s);
        QVERIFY2(said().contains(u"通常のファイルではありません"_s), qPrintable(said()));

        QFile notes(rig.context.currentDir.filePath(u"notes.txt"_s));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("my notes\n") == 9 &&
                notes.flush());
        QVERIFY(QFile::link(notes.fileName(), rig.course.coursePath()));
        rig.course.menu()->findChild<QMenu*>(u"mnuKochLevels"_s)->actions().at(3)->trigger();
        QVERIFY2(said().contains(u"別のファイル"_s), qPrintable(said()));
    }
};

QTEST_MAIN(KochCourseMenuTest)
#include "test_koch_course_menu.moc"
