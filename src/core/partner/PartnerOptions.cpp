#include "core/partner/PartnerOptions.h"

#include <QCommandLineParser>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "core/kit/RegularFile.h"
#include "core/lesson/QuestionFile.h"
#include "core/link/BandRequest.h"

using namespace Qt::StringLiterals;

namespace {

struct Number {
    int minimum;
    int maximum;
};

// The option's value as a whole number within its bounds, or an error.
bool ReadNumber(const QCommandLineParser& parser, const QString& name, Number bounds, int& value,
                QString* error) {
    if (!parser.isSet(name)) {
        return true;
    }
    bool ok = false;
    const int read = parser.value(name).toInt(&ok);
    if (!ok || read < bounds.minimum || read > bounds.maximum) {
        *error = u"--%1 takes a whole number from %2 to %3, not '%4'"_s.arg(name)
                     .arg(bounds.minimum)
                     .arg(bounds.maximum)
                     .arg(parser.value(name));
        return false;
    }
    value = read;
    return true;
}

bool ReadPort(const QCommandLineParser& parser, const QString& name, quint16& port,
              QString* error) {
    int value = port;
    if (!ReadNumber(parser, name, {1, 65535}, value, error)) {
        return false;
    }
    port = static_cast<quint16>(value);
    return true;
}

bool ReadSource(const QString& name, QuestionSource::Kind& kind) {
    static const QList<std::pair<QString, QuestionSource::Kind>> kKinds = {
        {u"koch"_s, QuestionSource::Kind::Koch},
        {u"calls"_s, QuestionSource::Kind::Callsigns},
        {u"words"_s, QuestionSource::Kind::Words},
        {u"lines"_s, QuestionSource::Kind::Lines}};
    for (const auto& [text, value] : kKinds) {
        if (name == text) {
            kind = value;
            return true;
        }
    }
    return false;
}

QString NotRegularFile(const QString& path) {
    return u"%1 is not a regular file (a folder, FIFO, device or socket)"_s.arg(path);
}

// The words or lines of a text file, read as the question editor reads question files.
bool ReadWords(const QString& path, bool lines, QStringList& words, QString* error) {
    using Status = QuestionFile::Result::Status;
    const QuestionFile::Result file = QuestionFile::Read(path);
    switch (file.status) {
        case Status::Read:
            break;
        case Status::CannotOpen:
            *error = u"cannot read %1: %2"_s.arg(path, file.reason);
            return false;
        case Status::NotRegularFile:
            *error = NotRegularFile(path);
            return false;
        case Status::NotText:
        case Status::TooLong:
            *error = u"%1 is not a usable text file (no text, or too long)"_s.arg(path);
            return false;
    }
    // Any white space parts words (tabs and full-width spaces too): none of it sounds.
    static const QRegularExpression kWhiteSpace(u"\\s+"_s,
                                                QRegularExpression::UseUnicodePropertiesOption);
    const QStringList fileLines = file.text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    for (const QString& line : fileLines) {
        if (lines) {
            words << line.trimmed();
        } else {
            words << line.split(kWhiteSpace, Qt::SkipEmptyParts);
        }
    }
    words.removeAll(QString());
    if (words.isEmpty()) {
        *error = u"%1 holds no %2"_s.arg(path, lines ? u"lines"_s : u"words"_s);
        return false;
    }
    return true;
}

// A course file may be missing (the first level, until the trainer writes one), but nothing else
// than a regular file may stand in its place: it is read before every question.
bool ReadCoursePath(const QString& path, QString* error) {
    if (path.isEmpty()) {
        *error = u"--course takes a Koch course file; the path given is empty"_s;
        return false;
    }
    const RegularFile::Opening entry = RegularFile::Examine(path);
    switch (entry.status) {
        case RegularFile::Status::Opened:
        case RegularFile::Status::Missing:
            return true;
        case RegularFile::Status::NotRegular:
            *error = NotRegularFile(path);
            return false;
        case RegularFile::Status::Failed:
            break;
    }
    *error = u"cannot read %1: %2"_s.arg(path, entry.reason);
    return false;
}

QString PresetList() {
    QStringList names;
    const QList<BandPreset> presets = BandPresets();
    for (qsizetype i = 0; i < presets.size(); ++i) {
        names << u"%1 %2"_s.arg(i).arg(presets[i].name);
    }
    return names.join(u", "_s);
}

}  // namespace

std::optional<PartnerOptions> ParsePartnerOptions(const QStringList& arguments, QString* error,
                                                  QString* help) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"A practice partner for the Quillstart Morse trainer: it takes the question setter's "
        "place on the trainer's link, so one person can practise alone. It sets a question "
        "whenever the learner is ready, answers CW chat lines in CW, answers the presence "
        "pings, and writes one line for every event. It ends when the link does."_s);
    const QCommandLineOption helpOption = parser.addHelpOption();
    parser.addOptions({
        {u"listen"_s, u"Wait for the trainer to connect (the default)."_s},
        {u"listen-address"_s, u"Listen on this address only (default: every address)."_s,
         u"address"_s},
        {u"connect"_s, u"Connect to a trainer that listens at this host instead."_s, u"host"_s},
        {u"port"_s, u"The trainer's TCP port (default 10010)."_s, u"port"_s},
        {u"listener-udp"_s, u"The listening side's UDP port (default 10012)."_s, u"port"_s},
        {u"connector-udp"_s, u"The connecting side's UDP port (default 10013)."_s, u"port"_s},
        {u"callsign"_s, u"The partner's callsign (default PARTNER)."_s, u"callsign"_s},
        {u"source"_s,
         u"Where questions come from: koch (random groups of the first --koch characters of "
         "the Koch order), calls (callsign-like groups), words (random words of --file) or "
         "lines (the lines of --file in order). Default koch."_s,
         u"source"_s},
        {u"koch"_s,
         u"How many characters of the Koch order K M U R E S N A P T L W I J Z F O Y V G 5 Q 9 "
         "2 H 3 8 B 4 7 C 1 D 6 0 X the groups use, 2 to 36 (default 10)."_s,
         u"characters"_s},
        {u"groups"_s, u"Groups (or words) a question, 1 to 50 (default 5)."_s, u"count"_s},
        {u"group-size"_s, u"Characters a Koch group, 1 to 10 (default 5)."_s, u"count"_s},
        {u"file"_s, u"The text file of --source words or lines (UTF-8 or Shift_JIS)."_s, u"path"_s},
        {u"seed"_s, u"Seed of the random questions, so that they can be repeated."_s, u"number"_s},
        {u"compose-ms"_s, u"How long the partner takes to compose a question (default 1500)."_s,
         u"ms"_s},
        {u"echo"_s,
         u"In CW chat, send one group at a time (a Koch group of --group-size characters, a "
         "callsign, a word or a line, as --source gives) for the learner to key or type back: "
         "R and the next group when it comes back right, ? and the same group again when "
         "not."_s},
        {u"drill"_s,
         u"Draw the Koch groups' characters by the learner's miss rates in the lesson history "
         "(a character always missed comes ten times as often as one never missed)."_s},
        {u"history"_s,
         u"The lesson history that --drill reads (default: the trainer's, in the per-user data "
         "folder)."_s,
         u"path"_s},
        {u"course"_s,
         u"A Koch course file (the trainer's, beside the history) read before every question: "
         "its order and level choose the characters instead of --koch."_s,
         u"path"_s},
        {u"band"_s,
         u"Ask the trainer to play the questions under these band conditions: a preset's name or "
         "number (%1), optionally with ,seed=N (default: a random seed). The learner's own "
         "choice wins."_s.arg(PresetList()),
         u"preset[,seed=N]"_s},
    });
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(helpOption)) {
        *help = parser.helpText();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = u"unexpected argument '%1' (see --help)"_s.arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }

    PartnerOptions options;
    if (parser.isSet(u"connect"_s)) {
        if (parser.isSet(u"listen"_s)) {
            *error = u"--listen and --connect exclude each other"_s;
            return std::nullopt;
        }
        options.listen = false;
        options.connectHost = parser.value(u"connect"_s).trimmed();
        if (options.connectHost.isEmpty()) {
            *error = u"--connect takes a host name or address; the one given is empty"_s;
            return std::nullopt;
        }
    }
    if (parser.isSet(u"listen-address"_s) &&
        !options.listenAddress.setAddress(parser.value(u"listen-address"_s))) {
        *error = u"--listen-address takes an IP address, not '%1'"_s.arg(
            parser.value(u"listen-address"_s));
        return std::nullopt;
    }
    if (!ReadPort(parser, u"port"_s, options.ports.tcp, error) ||
        !ReadPort(parser, u"listener-udp"_s, options.ports.listenerUdp, error) ||
        !ReadPort(parser, u"connector-udp"_s, options.ports.connectorUdp, error)) {
        return std::nullopt;
    }
    if (parser.isSet(u"callsign"_s)) {
        options.callsign = parser.value(u"callsign"_s).trimmed();
        if (options.callsign.isEmpty() || options.callsign.size() > 12) {
            *error = u"--callsign takes 1 to 12 characters"_s;
            return std::nullopt;
        }
    }
    QuestionSource::Settings& questions = options.questions;
    if (parser.isSet(u"source"_s) && !ReadSource(parser.value(u"source"_s), questions.kind)) {
        *error =
            u"--source is koch, calls, words or lines, not '%1'"_s.arg(parser.value(u"source"_s));
        return std::nullopt;
    }
    int seed = static_cast<int>(QRandomGenerator::global()->bounded(1 << 30));
    if (!ReadNumber(parser, u"koch"_s, {2, 36}, questions.kochCharacters, error) ||
        !ReadNumber(parser, u"groups"_s, {1, 50}, questions.groups, error) ||
        !ReadNumber(parser, u"group-size"_s, {1, 10}, questions.groupSize, error) ||
        !ReadNumber(parser, u"seed"_s, {0, 2147483647}, seed, error) ||
        !ReadNumber(parser, u"compose-ms"_s, {0, 60000}, options.composeMs, error)) {
        return std::nullopt;
    }
    questions.seed = static_cast<quint32>(seed);
    const bool fromFile = questions.kind == QuestionSource::Kind::Words ||
                          questions.kind == QuestionSource::Kind::Lines;
    if (fromFile != parser.isSet(u"file"_s)) {
        *error = fromFile ? u"--source words and lines need --file"_s
                          : u"--file goes with --source words or lines"_s;
        return std::nullopt;
    }
    options.echo = parser.isSet(u"echo"_s);
    options.drill = parser.isSet(u"drill"_s);
    if (parser.isSet(u"history"_s) && !options.drill) {
        *error = u"--history goes with --drill"_s;
        return std::nullopt;
    }
    if (options.drill && questions.kind != QuestionSource::Kind::Koch) {
        *error = u"--drill goes with --source koch"_s;
        return std::nullopt;
    }
    options.historyPath = parser.value(u"history"_s);
    options.coursePath = parser.value(u"course"_s);
    if (parser.isSet(u"course"_s) && !ReadCoursePath(options.coursePath, error)) {
        return std::nullopt;
    }
    if (!options.coursePath.isEmpty() && questions.kind != QuestionSource::Kind::Koch) {
        *error = u"--course goes with --source koch"_s;
        return std::nullopt;
    }
    if (parser.isSet(u"band"_s)) {
        options.band =
            ParseBandChoice(parser.value(u"band"_s), QRandomGenerator::global()->bounded(1u << 30));
        if (!options.band) {
            *error =
                u"--band takes a preset's name or number 0 to %1, optionally ,seed=N; not "
                "'%2'"_s.arg(BandPresets().size() - 1)
                    .arg(parser.value(u"band"_s));
            return std::nullopt;
        }
    }
    if (fromFile &&
        !ReadWords(parser.value(u"file"_s), questions.kind == QuestionSource::Kind::Lines,
                   questions.words, error)) {
        return std::nullopt;
    }
    return options;
}
