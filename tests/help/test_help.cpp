// The help menu and the about box: the title line's version rule, the box's texts and layout,
// what each help action hands to the desktop, and where the read-me and manual are found.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "core/kit/Places.h"
#include "support/TestContext.h"
#include "support/WindowScript.h"
#include "ui/app/MainForm.h"
#include "ui/help/AboutText.h"
#include "ui/help/frmAbout.h"

using namespace Qt::StringLiterals;

namespace {

void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void titleLine_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("ending");
        QTest::newRow("1.0.0") << 1 << 0 << 0 << u"Ver. 1.00"_s;
        QTest::newRow("1.2.3") << 1 << 2 << 3 << u"Ver. 1.23"_s;
        QTest::newRow("2.10.4: written together") << 2 << 10 << 4 << u"Ver. 2.104"_s;
    }
    void titleLine() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, ending);
        QCOMPARE(AboutTitleLine({major, minor, revision}),
                 u"Quillstart\u3000<ネット版>\u3000"_s + ending);
    }

    void thisBuildIsVersionOneDotZero() {
        QCOMPARE(AboutTitleLine(CurrentVersion()), u"Quillstart\u3000<ネット版>\u3000Ver. 1.00"_s);
    }

    void aboutBoxTextsAndLayout() {
        frmAbout about(u"https://example.org/quill"_s);
        QCOMPARE(about.windowTitle(), u"Quillstart\u3000<ネット版> について"_s);
        QCOMPARE(about.lblTitle->text(), AboutTitleLine(CurrentVersion()));
        const QString description = AboutDescription(u"https://example.org/quill"_s);
        QVERIFY(description.endsWith(u"\r\n\r\n(Web) https://example.org/quill"_s));
        QVERIFY(!description.section(u"\r\n"_s, 0, 0).isEmpty());  // a one-line notice first
        QCOMPARE(about.lblDescription->text(), QString(description).replace(u"\r\n"_s, u"\n"_s));
        QCOMPARE(about.cmdOK->text(), u"OK"_s);
        QCOMPARE(about.cmdGotoHomesite->text(), u"Go Web Page"_s);
        QCOMPARE(about.findChildren<QFrame*>(u"Line1"_s).size(), 2);
        QVERIFY(!(about.windowFlags() & Qt::WindowMinMaxButtonsHint));
        about.show();
        // The icon at the left, the title and under it the description at its right, the web
        // button under the description and OK at the bottom right.
        const auto at = [&about](QWidget* w) { return w->mapTo(&about, QPoint(0, 0)); };
        QVERIFY(at(about.picIcon).x() < at(about.lblTitle).x());
        QCOMPARE(at(about.lblTitle).x(), at(about.lblDescription).x());
        QVERIFY(at(about.lblTitle).y() < at(about.lblDescription).y());
        QVERIFY(at(about.lblDescription).y() < at(about.cmdGotoHomesite).y());
        QVERIFY(at(about.cmdGotoHomesite).y() < at(about.cmdOK).y());
        QVERIFY(at(about.cmdOK).x() + about.cmdOK->width() >= about.width() - 30);
        QCOMPARE(about.minimumSize(), about.maximumSize());  // fixed size
    }

    // Each entry hands its target to the desktop; the about box opens the home page and stays.
    void helpActionsHandTheirTargets() {
        TestContext t;
        Touch(QDir(t.programDir.path()).filePath(u"ReadMe.txt"_s));
        Touch(QDir(t.programDir.path()).filePath(u"manual/index.html"_s));
        MainForm form(t.context());
        form.move(60, 40);
        form.show();
        form.ui().mnuHelpReadme->trigger();
        form.ui().mnuHelpOnline->trigger();
        QCOMPARE(t.desktop.openedUrls.size(), 2);
        QCOMPARE(t.desktop.openedUrls[0].toLocalFile(),
                 QDir(t.programDir.path()).filePath(u"ReadMe.txt"_s));
        QCOMPARE(t.desktop.openedUrls[1].toLocalFile(),
                 QDir(t.programDir.path()).filePath(u"manual/index.html"_s));

        bool stillOpen = false;
        QString title;
        QPoint placed;
        t.clock.scheduleAt(t.clock.now() + 100, [&] {
            QWidget* about = ShownWindow(u"frmAbout"_s);
            title = about->windowTitle();
            placed = about->pos();
            about->findChild<QPushButton*>(u"cmdGotoHomesite"_s)->click();
            stillOpen = about->isVisible();
            about->findChild<QPushButton*>(u"cmdOK"_s)->click();
        });
        form.ui().mnuHelpAbout->trigger();
        QVERIFY(stillOpen);
        QCOMPARE(title, u"Quillstart\u3000<ネット版> について"_s);
        QCOMPARE(placed, form.pos() + QPoint(3100 * form.logicalDpiX() / 1440,
                                             2000 * form.logicalDpiY() / 1440));
        QCOMPARE(t.desktop.openedUrls.size(), 3);
        QCOMPARE(t.desktop.openedUrls[2], QUrl(HomePageAddress(t.places.manualPath())));
        QVERIFY(t.desktop.messages.isEmpty());
    }

    // A missing read-me is handed over all the same; a message only when nothing opens it.
    void missingReadMeGivesNoMessage() {
        TestContext t;
        MainForm form(t.context());
        form.ui().mnuHelpReadme->trigger();
        QCOMPARE(t.desktop.openedUrls.size(), 1);
        QVERIFY(!QFileInfo::exists(t.desktop.openedUrls[0].toLocalFile()));
        QVERIFY(t.desktop.messages.isEmpty());
        t.desktop.urlOpens = false;
        form.ui().mnuHelpReadme->trigger();
        QVERIFY(t.desktop.messages.value(0).text.endsWith(t.places.readMePath()));
    }

    void documentsBesideTheProgramOrInstalled_data() {
        QTest::addColumn<QString>("layout");
        QTest::newRow("build tree: beside the program") << u"beside"_s;
        QTest::newRow("installed: share/quillstart") << u"installed"_s;
    }
    void documentsBesideTheProgramOrInstalled() {
        QFETCH(QString, layout);
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir root;
        const QString bin = QDir(root.path()).filePath(u"bin"_s);
        const QString docs =
            layout == u"beside"_s ? bin : QDir(root.path()).filePath(u"share/quillstart"_s);
        QDir().mkpath(bin);
        Touch(QDir(docs).filePath(u"ReadMe.txt"_s));
        Touch(QDir(docs).filePath(u"manual/index.html"_s));
        Places places(bin, root.path());
        QCOMPARE(places.readMePath(), QDir(docs).filePath(u"ReadMe.txt"_s));
        QCOMPARE(places.manualPath(), QDir(docs).filePath(u"manual/index.html"_s));
        QCOMPARE(places.installed(), layout == u"installed"_s);
        // Run from where it was installed, the program keeps its sound files per user, even
        // where it could write beside itself.
        QCOMPARE(places.soundFolder().startsWith(bin), layout == u"beside"_s);
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
