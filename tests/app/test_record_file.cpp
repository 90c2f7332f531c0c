#include <sys/stat.h>

#include <QtTest>

#include "core/history/HistoryStore.h"
#include "core/history/KochCourse.h"
#include "core/kit/ProgramSettings.h"
#include "core/kit/RecordFile.h"
#include "core/kit/SettingsRecords.h"
#include "core/link/MainSettings.h"
#include "core/morse/BandConditions.h"
#include "core/morse/KeyInputSettings.h"
#include "core/morse/SoundFolder.h"
#include "core/morse/SpeedPresets.h"
#include "core/morse/ToneFrequency.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecord = RecordFile::kRecordLength;

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lays the given bytes (hex, spaces allowed) down at the start of a record.
void PutRecord(QByteArray& file, int record, const QByteArray& hex) {
    const QByteArray raw = QByteArray::fromHex(hex);
    file.replace((record - 1) * kRecord, raw.size(), raw);
}

// The file cut into records, so that a failed comparison names the record.
QStringList Records(const QByteArray& file) {
    QStringList records;
    for (qsizetype start = 0; start < file.size(); start += kRecord) {
        records << QString::fromLatin1(file.mid(start, kRecord).toHex(' '));
    }
    return records;
}

// A nine-record file of one byte value, so that any stray write shows.
QByteArray Filled(char fill = '\xAA') {
    return QByteArray(9 * kRecord, fill);
}

QStringList Names(std::initializer_list<const char*> names) {
    QStringList list;
    for (const char* name : names) {
        list << QString::fromUtf8(name);
    }
    return list;
}

// A file of the program's own settings with every group it keeps, as the program writes it.
QByteArray EverySetting() {
    QTemporaryDir folder;
    ProgramSettings store(folder.filePath(u"quillstart.ini"_s));
    SaveAcceptOnlyPeer(store, true);
    SaveFreeSpeedChoice(store, {FreeSpeed{18, 10, 1}, true});
    SaveSpeedPresets(store, ShippedPresets());
    SaveKeyInputSettings(store, KeyInputSettings{});
    SaveBandConditions(store, BandPresets().constLast().conditions);
    return FileBytes(store.path());
}

// Writes a value into the kind's file, or reads it back; whether that worked.
bool Exchange(const QString& kind, const QString& path, bool write) {
    if (kind == u"records") {
        return write ? RecordFile(path).writeInt(2, 800) : RecordFile(path).readInt(2) == 800;
    }
    ProgramSettings store(path);
    if (kind == u"store") {
        return write ? store.setValue(u"link/k"_s, 800) : store.value(u"link/k"_s).toInt() == 800;
    }
    KochCourse course;
    course.setLevel(8);
    if (kind == u"course") {
        return write ? SaveKochCourse(path, course).allowed() : LoadKochCourse(path).level == 8;
    }
    LessonRecord lesson;
    lesson.finishedAt = QDateTime(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
    lesson.played = 800;
    const HistoryStore history(path);
    return write ? HistoryStore(path).save(lesson).ok
                 : !history.load().isEmpty() && history.load().constLast().played == 800;
}

// A history with one lesson in it.
QByteArray AHistory() {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"history.sqlite"_s);
    return Exchange(u"history"_s, path, true) ? FileBytes(path) : QByteArray();
}

}  // namespace

class TestRecordFile : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_storePath;

  private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("saveset.dat"));
        m_storePath = ProgramSettings::PathBeside(m_path);
        QFile::remove(m_path);
        QFile::remove(m_storePath);
    }

    // --- Reading a file laid out by hand ---

    void readInt_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<int>("value");
        QTest::newRow("800") << QByteArray("20 03") << 800;
        QTest::newRow("45") << QByteArray("2D 00") << 45;
        QTest::newRow("-20") << QByteArray("EC FF") << -20;
        QTest::newRow("-32768") << QByteArray("00 80") << -32768;
        QTest::newRow("32767") << QByteArray("FF 7F") << 32767;
        QTest::newRow("rest of record ignored") << QByteArray("05 00 11 22 33 44") << 5;
    }
    void readInt() {
        QFETCH(QByteArray, hex);
        QFETCH(int, value);
        QByteArray file = Filled();
        PutRecord(file, 3, hex);
        WriteFileBytes(m_path, file);
        QCOMPARE(int(RecordFile(m_path).readInt(3)), value);
        QCOMPARE(FileBytes(m_path), file);  // reading changes nothing
    }

    void readText_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("text");
        QTest::newRow("BEEP") << QByteArray("04 00 42 45 45 50") << QStringLiteral("BEEP");
        QTest::newRow("12 bytes") << QByteArray("0C 00 3139322E3136382E302E3130")
                                  << QStringLiteral("192.168.0.10");
        QTest::newRow("count shorter than bytes")
            << QByteArray("03 00 414243444546") << QStringLiteral("ABC");
        QTest::newRow("日本") << QByteArray("04 00 93FA 967B") << QStringLiteral("日本");
        QTest::newRow("ＪＡ１") << QByteArray("06 00 8269 8260 8250") << QStringLiteral("ＪＡ１");
        QTest::newRow("wave dash") << QByteArray("02 00 8160") << QStringLiteral("～");
        QTest::newRow("circled one") << QByteArray("02 00 8740") << QStringLiteral("①");
        QTest::newRow("half-width kana") << QByteArray("04 00 B6C0B6C5") << QStringLiteral("ｶﾀｶﾅ");
        // Bytes that form no character do not stop the rest from reading.
        QTest::newRow("undefined byte")
            << QByteArray("03 00 41 FF 42") << QStringLiteral("A\uFFFDB");
        QTest::newRow("lone lead byte") << QByteArray("01 00 93") << QStringLiteral("\uFFFD");
        // Counts the record cannot hold: the following record's bytes are not text.
        QTest::newRow("count 0") << QByteArray("00 00 414243") << QString();
        QTest::newRow("count 13") << QByteArray("0D 00 414243444546474849505152") << QString();
        QTest::newRow("count 256") << QByteArray("00 01 41") << QString();
        QTest::newRow("count 0xFFFF") << QByteArray("FF FF 41") << QString();
    }
    void readText() {
        QFETCH(QByteArray, hex);
        QFETCH(QString, text);
        QByteArray file = Filled();
        PutRecord(file, 8, hex);
        WriteFileBytes(m_path, file);
        QCOMPARE(RecordFile(m_path).readText(8), text);
        QCOMPARE(FileBytes(m_path), file);
    }

    void incompleteRecordsReadAsNothing_data() {
        QTest::addColumn<QByteArray>("fileHex");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("integer");  // what the same bytes read as an integer
        const QByteArray first = QByteArray(kRecord, 'A').toHex();
        QTest::newRow("empty file") << QByteArray() << 1 << 0;
        QTest::newRow("1 byte of an int") << first + "20" << 2 << 0;
        QTest::newRow("count 10, 3 bytes left") << first + "0A00 414243" << 2 << 10;
        QTest::newRow("count 3, nothing left") << first + "0300" << 2 << 3;
        QTest::newRow("past the end") << first << 5 << 0;
    }
    void incompleteRecordsReadAsNothing() {
        QFETCH(QByteArray, fileHex);
        QFETCH(int, record);
        QFETCH(int, integer);
        const QByteArray file = QByteArray::fromHex(fileHex);
        WriteFileBytes(m_path, file);
        RecordFile records(m_path);
        QCOMPARE(records.readText(record), QString());
        QCOMPARE(int(records.readInt(record)), integer);
        QCOMPARE(FileBytes(m_path), file);  // never extended by reading
    }

    void readingCreatesAMissingFile() {
        RecordFile records(m_path);
        QCOMPARE(int(records.readInt(2)), 0);
        QVERIFY(QFile::exists(m_path));
        QCOMPARE(QFileInfo(m_path).size(), 0);
        QFile::remove(m_path);
        QCOMPARE(records.readText(8), QString());
        QVERIFY(QFile::exists(m_path));
        QCOMPARE(QFileInfo(m_path).size(), 0);
    }

    // --- Writing: only the value's bytes change ---

    void writePutsDownOnlyTheValue_data() {
        QTest::addColumn<int>("record");
        QTest::addColumn<bool>("isText");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("readBack");
        const auto integer = [](int record, int value, const QByteArray& hex) {
            QTest::addRow("int %d in record %d", value, record)
                << record << false << QString::number(value) << hex << QString::number(value);
        };
        integer(2, 800, "20 03");
        integer(4, -20, "EC FF");
        integer(9, -32768, "00 80");
        integer(1, 0, "00 00");
        const auto text = [](const char* name, const QString& value, const QByteArray& hex,
                             const QString& readBack) {
            QTest::newRow(name) << 8 << true << value << hex << readBack;
        };
        text("JA1ABC", QStringLiteral("JA1ABC"), "06 00 4A4131414243", QStringLiteral("JA1ABC"));
        text("empty", QString(), "00 00", QString());
        text("12 bytes", QStringLiteral("192.168.0.10"), "0C 00 3139322E3136382E302E3130",
             QStringLiteral("192.168.0.10"));
        text("日本語", QStringLiteral("日本語"), "06 00 93FA 967B 8CEA", QStringLiteral("日本語"));
        text("six kanji, 12 bytes", QStringLiteral("日本語日本語"),
             "0C 00 93FA967B8CEA 93FA967B8CEA", QStringLiteral("日本語日本語"));
        text("ＪＡ１", QStringLiteral("ＪＡ１"), "06 00 8269 8260 8250", QStringLiteral("ＪＡ１"));
        text("U+FF5E", QStringLiteral("～"), "02 00 8160", QStringLiteral("～"));
        // What a Linux input method types for the wave dash: the same code.
        text("U+301C", QStringLiteral("〜"), "02 00 8160", QStringLiteral("～"));
        text("full-width minus", QStringLiteral("－"), "02 00 817C", QStringLiteral("－"));
        text("circled one", QStringLiteral("①"), "02 00 8740", QStringLiteral("①"));
        text("half-width kana", QStringLiteral("ｶﾀｶﾅ"), "04 00 B6C0B6C5", QStringLiteral("ｶﾀｶﾅ"));
    }
    void writePutsDownOnlyTheValue() {
        QFETCH(int, record);
        QFETCH(bool, isText);
        QFETCH(QString, value);
        QFETCH(QByteArray, hex);
        QFETCH(QString, readBack);
        QByteArray expected = Filled();
        WriteFileBytes(m_path, expected);
        RecordFile records(m_path);
        if (isText) {
            QCOMPARE(records.writeText(record, value), RecordFile::TextWrite::Written);
        } else {
            QVERIFY(records.writeInt(record, static_cast<qint16>(value.toInt())));
        }
        PutRecord(expected, record, hex);
        QCOMPARE(Records(FileBytes(m_path)), Records(expected));
        const QString read =
            isText ? records.readText(record) : QString::number(records.readInt(record));
        QCOMPARE(read, readBack);
    }

    void shorterTextLeavesTheOldTail() {
        QByteArray file = Filled();
        PutRecord(file, 9, "0C 00 3139322E3136382E302E3130");  // "192.168.0.10"
        WriteFileBytes(m_path, file);
        RecordFile records(m_path);
        QCOMPARE(records.writeText(9, QStringLiteral("10.0.0.1")), RecordFile::TextWrite::Written);
        PutRecord(file, 9, "08 00 31302E302E302E31");
        QCOMPARE(Records(FileBytes(m_path)), Records(file));
        QVERIFY(FileBytes(m_path).endsWith("0.10"));
        QCOMPARE(records.readText(9), QStringLiteral("10.0.0.1"));
    }

    void writeBeyondTheEndFillsWithZeros_data() {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<bool>("isText");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("int into a missing file") << QByteArray() << false << QByteArray("2003");
        QTest::newRow("text into a missing file")
            << QByteArray() << true << QByteArray("0200 4142");
        QTest::newRow("int after one record")
            << QByteArray(kRecord, '\xAA') << false << QByteArray("2003");
    }
    void writeBeyondTheEndFillsWithZeros() {
        QFETCH(QByteArray, existing);
        QFETCH(bool, isText);
        QFETCH(QByteArray, hex);
        if (!existing.isEmpty()) {
            WriteFileBytes(m_path, existing);
        }
        RecordFile records(m_path);
        if (isText) {
            QCOMPARE(records.writeText(9, QStringLiteral("AB")), RecordFile::TextWrite::Written);
        } else {
            QVERIFY(records.writeInt(9, 800));
        }
        const QByteArray value = QByteArray::fromHex(hex);
        QByteArray expected = existing;
        expected += QByteArray(8 * kRecord - existing.size(), '\0');
        expected += value;
        const QByteArray actual = FileBytes(m_path);
        QVERIFY(actual.size() >= expected.size());
        QCOMPARE(Records(actual.left(expected.size())), Records(expected));
        // Anything past the value (if the file is rounded up to the record) is zero.
        QCOMPARE(actual.mid(expected.size()), QByteArray(actual.size() - expected.size(), '\0'));
        QCOMPARE(int(records.readInt(3)), 0);
        QCOMPARE(records.readText(5), QString());
    }

    void textThatCannotBeHeldLeavesTheFileUnchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RecordFile::TextWrite>("result");
        using W = RecordFile::TextWrite;
        QTest::newRow("13 ASCII bytes") << QStringLiteral("JA1ABCDEFGHIJ") << W::TooLong;
        QTest::newRow("7 kanji, 14 bytes") << QStringLiteral("日本語日本語日") << W::TooLong;
        QTest::newRow("11 + 2 bytes") << QStringLiteral("JA1ABCDEFGH日") << W::TooLong;
        QTest::newRow("emoji") << QStringLiteral("JA1😀") << W::NotEncodable;
        QTest::newRow("hangul") << QStringLiteral("한") << W::NotEncodable;
    }
    void textThatCannotBeHeldLeavesTheFileUnchanged() {
        QFETCH(QString, text);
        QFETCH(RecordFile::TextWrite, result);
        const QByteArray file = Filled();
        WriteFileBytes(m_path, file);
        QCOMPARE(RecordFile(m_path).writeText(8, text), result);
        QCOMPARE(FileBytes(m_path), file);
    }

    void handWrittenFileRoundTripsByteForByte() {
        // Distinct filler everywhere, so a write of more than the value shows.
        QByteArray file(9 * kRecord, '\0');
        for (int i = 0; i < file.size(); ++i) {
            file[i] = static_cast<char>(i * 37 + 11);
        }
        PutRecord(file, 2, "20 03");
        PutRecord(file, 3, "2D 00");
        PutRecord(file, 4, "F1 FF");
        PutRecord(file, 5, "04 00 57415645");
        PutRecord(file, 6, "03 00");
        PutRecord(file, 7, "05 00");
        PutRecord(file, 8, "08 00 8269 8260 8250 8160");  // "ＪＡ１～"
        PutRecord(file, 9, "0C 00 3139322E3136382E302E3130");
        WriteFileBytes(m_path, file);

        RecordFile records(m_path);
        for (int record : {2, 3, 4, 6, 7}) {
            QVERIFY(records.writeInt(record, records.readInt(record)));
        }
        for (int record : {5, 8, 9}) {
            QCOMPARE(records.writeText(record, records.readText(record)),
                     RecordFile::TextWrite::Written);
        }
        QCOMPARE(records.readText(8), QStringLiteral("ＪＡ１～"));
        QCOMPARE(Records(FileBytes(m_path)), Records(file));
    }

    // --- Files that are not ours: never written, never waited on ---

    // What stands at the name of one of the program's files: saveset.dat ("records"), its own
    // settings ("store"), the Koch course ("course") or the history ("history").
    void onlyOurOwnFilesAreWritten_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("what");       // "link" to `target`, "fifo", "device", "long"
        QTest::addColumn<QByteArray>("target");  // empty: a link leading nowhere
        QTest::addColumn<bool>("writable");
        const QByteArray document = QByteArray("Minutes of the club meeting.\n").repeated(8);
        const QString link = u"link"_s;
        const QString fifo = u"fifo"_s;
        const QString device = u"device"_s;
        const auto row = [](const QString& kind, const char* name) {
            return &(QTest::newRow(qPrintable(kind + u": "_s + QLatin1String(name))) << kind);
        };
        for (const QString& kind : {u"records"_s, u"store"_s, u"course"_s, u"history"_s}) {
            *row(kind, "missing") << QString() << QByteArray() << true;
            *row(kind, "link to a document") << link << document << false;
            *row(kind, "link to nowhere") << link << QByteArray() << false;
            *row(kind, "FIFO") << fifo << QByteArray() << false;
            *row(kind, "device") << device << QByteArray() << false;
        }
        *row(u"records"_s, "link to records") << link << Filled('\0') << true;
        *row(u"records"_s, "link to a note") << link << QByteArray("call 9") << false;
        *row(u"records"_s, "ten records") << u"long"_s << QByteArray() << false;
        *row(u"store"_s, "link to the program's settings") << link << EverySetting() << true;
        *row(u"store"_s, "link to another program's settings")
            << link << QByteArray("[General]\nlink=1\n[a]\nb=1\n") << false;
        *row(u"course"_s, "link to a course") << link << QByteArray("order=ETA\nlevel=2\n") << true;
        *row(u"course"_s, "link to a course from an editor")
            << link << QByteArray("\xEF\xBB\xBForder=ETAN\r\nlevel=3\r\n") << true;
        *row(u"course"_s, "link to other settings")
            << link << QByteArray("level=3\ncolour=blue\n") << false;
        *row(u"history"_s, "link to a history") << link << AHistory() << true;
    }
    void onlyOurOwnFilesAreWritten() {
        QFETCH(QString, kind);
        QFETCH(QString, what);
        QFETCH(QByteArray, target);
        QFETCH(bool, writable);
        const QString path = m_dir.filePath(kind + u".file"_s);
        const QString targetPath = m_dir.filePath(u"target"_s);
        QFile::remove(path);
        QFile::remove(targetPath);
        if (!target.isEmpty()) {
            WriteFileBytes(targetPath, target);
        }
        if (what == u"link") {
            QVERIFY(QFile::link(targetPath, path));
        } else if (what == u"device") {
            QVERIFY(QFile::link(u"/dev/zero"_s, path));
        } else if (what == u"fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (what == u"long") {
            WriteFileBytes(path, Filled('\0') + QByteArray(kRecord, '\0'));
        }
        const bool written = Exchange(kind, path, true);
        QCOMPARE(written, writable);
        // Reading takes what it can and never waits or reads for ever either.
        QCOMPARE(Exchange(kind, path, false), written);
        QCOMPARE(FileBytes(targetPath) == target, !writable || what != u"link");
        QCOMPARE(QFileInfo::exists(targetPath), !target.isEmpty());  // never made at a link's end
        QFile::remove(path);
    }

    // As Notepad saves it: UTF-8 with a byte-order mark, CR LF. Still the program's own file.
    void aFileSavedByATextEditorIsReadAndKept() {
        WriteFileBytes(m_storePath,
                       "\xEF\xBB\xBF[link]\r\nacceptOnlyPeer=true\r\npeerAddress=10.0.0.12\r\n");
        ProgramSettings store(m_storePath);
        QVERIFY(LoadAcceptOnlyPeer(store));
        QVERIFY(SaveFreeSpeedChoice(store, {FreeSpeed{18, 10, 1}, true}));
        QVERIFY(SaveAcceptOnlyPeer(store, false));
        QVERIFY(!LoadAcceptOnlyPeer(store));
        QCOMPARE(store.value(ProgramSettingKey::PeerAddress).toString(), u"10.0.0.12"_s);
        QVERIFY(LoadFreeSpeedChoice(store).chosen);
    }

    // --- The save button's records ---

    void saveMainSettings_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("record");
        QTest::addColumn<QByteArray>("hex");  // empty: the record keeps its old bytes
        QTest::addColumn<QStringList>("notSaved");
        const QStringList none;
        const QStringList tone = Names({"トーン周波数"});
        const QStringList callsign = Names({"コールサイン"});
        const QStringList peer = Names({"接続先IP"});
        const QString t = QStringLiteral("tone");
        const QString s = QStringLiteral("speed");
        const QString f = QStringLiteral("fine");
        const QString m = QStringLiteral("mode");
        const QString c = QStringLiteral("callsign");
        const QString p = QStringLiteral("peer");

        QTest::newRow("all saved") << QString() << QString() << 0 << QByteArray() << none;
        QTest::newRow("tone 0") << t << QStringLiteral("0") << 2 << QByteArray("0000") << none;
        QTest::newRow("tone -5") << t << QStringLiteral("-5") << 2 << QByteArray("FBFF") << none;
        QTest::newRow("tone 32767")
            << t << QStringLiteral("32767") << 2 << QByteArray("FF7F") << none;
        QTest::newRow("tone -32768")
            << t << QStringLiteral("-32768") << 2 << QByteArray("0080") << none;
        for (const char* bad : {"", "abc", "1.5", "32768", "-32769", "99999999999"}) {
            QTest::addRow("tone \"%s\"", bad)
                << t << QString::fromLatin1(bad) << 2 << QByteArray() << tone;
        }
        QTest::newRow("speed 25") << s << QStringLiteral("25") << 3 << QByteArray("1900") << none;
        QTest::newRow("speed 60") << s << QStringLiteral("60") << 3 << QByteArray("3C00") << none;
        QTest::newRow("no speed") << s << QString() << 3 << QByteArray() << none;
        QTest::newRow("fine 20") << f << QStringLiteral("20") << 4 << QByteArray("1400") << none;
        QTest::newRow("fine 0") << f << QStringLiteral("0") << 4 << QByteArray("0000") << none;
        QTest::newRow("fine -20") << f << QStringLiteral("-20") << 4 << QByteArray("ECFF") << none;
        for (const char* offStep : {"7", "3", "-1", "25", "-25", "100"}) {
            QTest::addRow("fine %s", offStep)
                << f << QString::fromLatin1(offStep) << 4 << QByteArray() << none;
        }
        QTest::newRow("WAVE") << m << QStringLiteral("WAVE") << 5 << QByteArray("0400 57415645")
                              << none;
        QTest::newRow("no sound mode") << m << QString() << 5 << QByteArray() << none;
        QTest::newRow("empty callsign") << c << QString() << 8 << QByteArray("0000") << none;
        QTest::newRow("callsign 12 bytes") << c << QStringLiteral("ＪＡ１ＡＢＣ") << 8
                                           << QByteArray("0C00 826982608250826082618262") << none;
        QTest::newRow("callsign 13 bytes")
            << c << QStringLiteral("JA1ABCDEFGHIJ") << 8 << QByteArray() << callsign;
        QTest::newRow("callsign 14 bytes")
            << c << QStringLiteral("日本語日本語日") << 8 << QByteArray() << callsign;
        QTest::newRow("callsign emoji")
            << c << QStringLiteral("JA1😀") << 8 << QByteArray() << callsign;
        // Kept beside the file; the record is emptied so that it names no address of the past.
        QTest::newRow("peer 15 bytes")
            << p << QStringLiteral("192.168.100.200") << 9 << QByteArray("0000") << none;
        QTest::newRow("peer IPv6 literal") << p << QStringLiteral("2001:db8:85a3::8a2e:370:7334")
                                           << 9 << QByteArray("0000") << none;
        QTest::newRow("peer longer than any host name")
            << p << QString(254, u'a') << 9 << QByteArray() << peer;
        QTest::newRow("empty peer") << p << QString() << 9 << QByteArray("0000") << none;
    }
    void saveMainSettings() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, record);
        QFETCH(QByteArray, hex);
        QFETCH(QStringList, notSaved);

        MainSettings settings;
        settings.tone = 800;
        settings.speed = 45;
        settings.fineAdjust = -15;
        settings.soundMode = QStringLiteral("BEEP");
        settings.callsign = QStringLiteral("JA1ABC");
        settings.peerAddress = QStringLiteral("192.168.0.10");
        const auto optionalInt = [&] {
            return value.isNull() ? std::nullopt : std::optional(value.toInt());
        };
        if (field == u"tone") {
            settings.tone = ToneTextAsInt16(value);
        } else if (field == u"speed") {
            settings.speed = optionalInt();
        } else if (field == u"fine") {
            settings.fineAdjust = value.toInt();
        } else if (field == u"mode") {
            settings.soundMode = value.isNull() ? std::nullopt : std::optional(value);
        } else if (field == u"callsign") {
            settings.callsign = value;
        } else if (field == u"peer") {
            settings.peerAddress = value;
        }

        const QByteArray before = Filled();
        WriteFileBytes(m_path, before);
        RecordFile records(m_path);
        ProgramSettings store(m_storePath);
        QCOMPARE(SaveMainSettings(records, store, settings).unfit, notSaved);
        if (!notSaved.contains(QStringLiteral("接続先IP"))) {
            QCOMPARE(LoadPeerAddress(records, store), settings.peerAddress);
        }

        // Records 1, 6 and 7 are not the save button's; the rest hold the settings.
        QByteArray expected = before;
        PutRecord(expected, 2, "20 03");
        PutRecord(expected, 3, "2D 00");
        PutRecord(expected, 4, "F1 FF");
        PutRecord(expected, 5, "04 00 42454550");
        PutRecord(expected, 8, "06 00 4A4131414243");
        PutRecord(expected, 9, "0C 00 3139322E3136382E302E3130");
        if (record != 0) {
            const qsizetype start = (record - 1) * kRecord;
            expected.replace(start, kRecord, before.mid(start, kRecord));
            PutRecord(expected, record, hex);
        }
        QCOMPARE(Records(FileBytes(m_path)), Records(expected));
    }

    void everySettingThatCannotBeHeldIsNamed() {
        const QByteArray before = Filled();
        WriteFileBytes(m_path, before);
        RecordFile records(m_path);
        MainSettings settings;
        settings.tone = ToneTextAsInt16(QStringLiteral("8OO"));
        settings.speed = 60;
        settings.fineAdjust = 5;
        settings.callsign = QStringLiteral("JA1ABCDEFGHIJ");
        settings.peerAddress = QString(300, u'a');
        ProgramSettings store(m_storePath);
        QCOMPARE(SaveMainSettings(records, store, settings).unfit,
                 Names({"トーン周波数", "コールサイン", "接続先IP"}));
        QByteArray expected = before;
        PutRecord(expected, 3, "3C 00");
        PutRecord(expected, 4, "05 00");
        QCOMPARE(Records(FileBytes(m_path)), Records(expected));
    }

    void saveCallsignWritesOnlyItsRecord_data() {
        QTest::addColumn<QString>("callsign");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("JR2XYZ") << QStringLiteral("JR2XYZ") << true
                                << QByteArray("0600 4A523258595A");
        QTest::newRow("too long") << QStringLiteral("JA1ABCDEFGHIJ") << false << QByteArray();
    }
    void saveCallsignWritesOnlyItsRecord() {
        QFETCH(QString, callsign);
        QFETCH(bool, saved);
        QFETCH(QByteArray, hex);
        QByteArray expected = Filled();
        WriteFileBytes(m_path, expected);
        RecordFile records(m_path);
        QCOMPARE(SaveCallsign(records, callsign), saved);
        PutRecord(expected, 8, hex);
        QCOMPARE(Records(FileBytes(m_path)), Records(expected));
    }

    // --- The sound folder ---

    void prepareCreatesTheFolderAndItsMarker() {
        const QString folder = m_dir.filePath(QStringLiteral("sound"));
        QDir(folder).removeRecursively();
        SoundFolder::Prepare(folder);
        QVERIFY(QFileInfo(folder).isDir());
        const QString marker = QDir(folder).filePath(QStringLiteral("dummy.wav"));
        QCOMPARE(FileBytes(marker), QByteArray(2, '\0'));
        QCOMPARE(int(RecordFile(marker).readInt(1)), 0);

        // Prepared again over an old marker: record 1 becomes 0, the rest stays.
        WriteFileBytes(marker, QByteArray(20, '\xAA'));
        SoundFolder::Prepare(folder);
        QCOMPARE(FileBytes(marker), QByteArray(2, '\0') + QByteArray(18, '\xAA'));
    }

    void prepareIgnoresAFileInTheWay() {
        const QString folder = m_dir.filePath(QStringLiteral("sound-blocked"));
        WriteFileBytes(folder, "not a folder");
        SoundFolder::Prepare(folder);
        QCOMPARE(FileBytes(folder), QByteArray("not a folder"));
    }

    void remove_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("left");  // empty: the folder is gone
        const auto list = [](std::initializer_list<const char*> names) {
            QStringList result;
            for (const char* name : names) {
                result << QString::fromLatin1(name);
            }
            return result;
        };
        QTest::newRow("empty folder") << QStringList() << QStringList();
        QTest::newRow("only the program's files")
            << list({"dummy.wav", "A.wav", "Surash.wav", "0.wav", "Question.wav"}) << QStringList();
        QTest::newRow("the user's sound files kept")
            << list({"dummy.wav", "A.wav", "song.wav", "X.WAV", "y.Wav"})
            << list({"X.WAV", "song.wav", "y.Wav"});
        QTest::newRow("other file kept")
            << list({"dummy.wav", "A.wav", "notes.txt", "B.wavx", "C.wav.txt"})
            << list({"B.wavx", "C.wav.txt", "notes.txt"});
        QTest::newRow("subfolder kept") << list({"dummy.wav", "keep/"}) << list({"keep"});
    }
    void remove() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, left);
        const QString folder = m_dir.filePath(QStringLiteral("sound"));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        for (const QString& name : std::as_const(files)) {
            if (name.endsWith(u'/')) {
                QVERIFY(QDir(folder).mkdir(name.chopped(1)));
            } else {
                WriteFileBytes(QDir(folder).filePath(name), "x");
            }
        }
        SoundFolder::Remove(folder);
        if (left.isEmpty()) {
            QVERIFY(!QFileInfo::exists(folder));
        } else {
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                     left);
        }
        SoundFolder::Remove(folder);  // a missing folder is no error
    }
};

QTEST_GUILESS_MAIN(TestRecordFile)
#include "test_record_file.moc"
