// The folder of sound files: where it is, that program end deletes only the program's own files
// and never through a link, and that writing copes with what another instance or user did to it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "core/kit/Places.h"
#include "core/morse/SoundFolder.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"

using namespace Qt::StringLiterals;

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class SoundFolderTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void besideTheProgramWhenItCanBe() {
        QTemporaryDir program;
        Places places(program.path(), program.path());
        QCOMPARE(places.soundFolder(), QDir(program.path()).filePath(u"sound"_s));
        QVERIFY(QFileInfo(places.soundFolder()).isDir());
    }

    void perUserWhenTheNameIsTaken_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("a file") << u"file"_s;
        QTest::newRow("a link to a folder") << u"link"_s;
        QTest::newRow("a dangling link") << u"dangling"_s;
    }
    void perUserWhenTheNameIsTaken() {
        QFETCH(QString, what);
        QTemporaryDir program;
        QTemporaryDir elsewhere;
        const QString sound = QDir(program.path()).filePath(u"sound"_s);
        if (what == u"file"_s) {
            Write(sound, "mine");
        } else {
            const QString target =
                what == u"link"_s ? elsewhere.path() : elsewhere.filePath(u"x"_s);
            QVERIFY(QFile::link(target, sound));
        }
        Places places(program.path(), program.path());
        QVERIFY(places.soundFolder() != sound);
        QVERIFY(!places.soundFolder().startsWith(elsewhere.path()));
        if (what == u"file"_s) {
            QCOMPARE(Read(sound), QByteArray("mine"));
        }
    }

    void endNeverDeletesThroughALinkedFolder() {
        QTemporaryDir program;
        QTemporaryDir elsewhere;
        Write(elsewhere.filePath(u"A.wav"_s), "someone's");
        Write(elsewhere.filePath(u"dummy.wav"_s), "someone's");
        const QString link = QDir(program.path()).filePath(u"sound"_s);
        QVERIFY(QFile::link(elsewhere.path(), link));
        SoundFolder::Remove(link);
        QCOMPARE(Read(elsewhere.filePath(u"A.wav"_s)), QByteArray("someone's"));
        QCOMPARE(Read(elsewhere.filePath(u"dummy.wav"_s)), QByteArray("someone's"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void endLeavesALinkUnderASymbolsName() {
        QTemporaryDir program;
        QTemporaryDir elsewhere;
        const QString folder = QDir(program.path()).filePath(u"sound"_s);
        QVERIFY(QDir().mkpath(folder));
        Write(elsewhere.filePath(u"song.wav"_s), "music");
        QVERIFY(QFile::link(elsewhere.filePath(u"song.wav"_s), QDir(folder).filePath(u"A.wav"_s)));
        Write(QDir(folder).filePath(u"B.wav"_s), "ours");
        SoundFolder::Remove(folder);
        QCOMPARE(Read(elsewhere.filePath(u"song.wav"_s)), QByteArray("music"));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{u"A.wav"_s});
    }

    // Two instances share the folder; the one that ends first removes it.
    void writingMakesTheFolderAgain() {
        TestContext t;
        MainForm form(t.context());
        QVERIFY(QDir(t.soundFolder()).removeRecursively());
        form.characterDispatch().SoundCharacter(u'E', CharacterTable::Question);
        QVERIFY(QFileInfo(QDir(t.soundFolder()).filePath(u"E.wav"_s)).isFile());
    }

    void writingReplacesALinkInsteadOfWritingThroughIt() {
        TestContext t;
        QTemporaryDir elsewhere;
        MainForm form(t.context());
        const QString target = elsewhere.filePath(u"precious.dat"_s);
        Write(target, "precious");
        const QString path = QDir(t.soundFolder()).filePath(u"T.wav"_s);
        QVERIFY(QFile::link(target, path));
        form.characterDispatch().SoundCharacter(u'T', CharacterTable::Question);
        QCOMPARE(Read(target), QByteArray("precious"));
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(Read(path).left(4), QByteArray("RIFF"));
    }
};

QTEST_MAIN(SoundFolderTest)
#include "test_sound_folder.moc"
