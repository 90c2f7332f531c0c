#include "core/history/SendingHistory.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <array>

#include "core/history/SqlText.h"

using namespace Qt::StringLiterals;

namespace {

// The report's figures in the order of their columns (count, units, spread each).
std::array<TimingFigure*, 5> Figures(FistReport& report) {
    return {&report.dot, &report.dash, &report.elementGap, &report.characterGap, &report.wordGap};
}

const QString kColumns =
    u"id, finished_at, mode, characters, right_count, tries, score, wpm, dot_ms, "
    "dots, dot_units, dot_spread, dashes, dash_units, dash_spread, "
    "element_gaps, element_gap_units, element_gap_spread, "
    "character_gaps, character_gap_units, character_gap_spread, "
    "word_gaps, word_gap_units, word_gap_spread, furthest_off, mark_bins, gap_bins"_s;
constexpr int kColumnCount = 27;
constexpr int kFirstFigure = 9;

// A histogram as "0,0,3,5,1", its empty tail left off.
QString BinsText(const std::vector<int>& bins) {
    std::size_t used = bins.size();
    while (used > 0 && bins[used - 1] == 0) {
        --used;
    }
    QStringList counts;
    for (std::size_t i = 0; i < used; ++i) {
        counts.append(QString::number(bins[i]));
    }
    return counts.join(u',');
}

// Whatever the file holds, the report gets its bins in full and no negative count.
std::vector<int> BinsFromText(const QString& text) {
    std::vector<int> bins(FistReport::kBins, 0);
    const QStringList counts = text.split(u',', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < std::min<qsizetype>(counts.size(), FistReport::kBins); ++i) {
        bins[std::size_t(i)] = std::max(0, counts[i].toInt());
    }
    return bins;
}

// The signs furthest off as text, count and deviation, between the separators of the file.
QString FurthestText(const std::vector<CharacterTiming>& signs) {
    QStringList entries;
    for (const CharacterTiming& sign : signs) {
        entries.append(QStringList{sign.text, QString::number(sign.count),
                                   QString::number(sign.deviation, 'g', 6)}
                           .join(QChar(31)));
    }
    return entries.join(QChar(30));
}

std::vector<CharacterTiming> FurthestFromText(const QString& text) {
    std::vector<CharacterTiming> signs;
    for (const QString& entry : text.split(QChar(30), Qt::SkipEmptyParts)) {
        const QStringList fields = entry.split(QChar(31));
        if (fields.size() == 3) {
            signs.push_back({fields[0], fields[1].toInt(), fields[2].toDouble()});
        }
    }
    return signs;
}

QVariant Optional(const auto& value) {
    return value ? QVariant(*value) : QVariant();
}

SendingSession SessionFromRow(const QSqlQuery& query) {
    SendingSession session;
    session.id = query.value(0).toLongLong();
    session.finishedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
    session.mode = query.value(2).toString();
    session.charactersKeyed = query.value(3).toInt();
    if (!query.value(4).isNull()) {
        session.right = query.value(4).toInt();
    }
    if (!query.value(5).isNull()) {
        session.tries = query.value(5).toInt();
    }
    if (!query.value(6).isNull()) {
        session.score = query.value(6).toDouble();
    }
    FistReport& report = session.report;
    report.wpm = query.value(7).toDouble();
    report.dotMs = query.value(8).toDouble();
    int column = kFirstFigure;
    for (TimingFigure* figure : Figures(report)) {
        figure->count = query.value(column++).toInt();
        figure->units = query.value(column++).toDouble();
        figure->spread = query.value(column++).toDouble();
    }
    report.furthestOff = FurthestFromText(query.value(column++).toString());
    report.markHistogram = BinsFromText(query.value(column++).toString());
    report.gapHistogram = BinsFromText(query.value(column).toString());
    return session;
}

}  // namespace

HistoryStore::Outcome SaveSendingSession(HistoryStore& store, const SendingSession& session) {
    return store.saveWith([&session](QSqlQuery& query) -> std::optional<QSqlError> {
        const QString marks = QStringList(kColumnCount - 1, u"?"_s).join(u", "_s);
        query.prepare(u"INSERT INTO sending_sessions ("_s + kColumns.section(u", "_s, 1) +
                      u", day) VALUES ("_s + marks + u", ?)"_s);
        query.addBindValue(session.finishedAt.toUTC().toString(Qt::ISODateWithMs));
        query.addBindValue(SqlText(session.mode));
        query.addBindValue(session.charactersKeyed);
        query.addBindValue(Optional(session.right));
        query.addBindValue(Optional(session.tries));
        query.addBindValue(Optional(session.score));
        FistReport report = session.report;
        query.addBindValue(report.wpm);
        query.addBindValue(report.dotMs);
        for (const TimingFigure* figure : Figures(report)) {
            query.addBindValue(figure->count);
            query.addBindValue(figure->units);
            query.addBindValue(figure->spread);
        }
        query.addBindValue(SqlText(FurthestText(report.furthestOff)));
        query.addBindValue(SqlText(BinsText(report.markHistogram)));
        query.addBindValue(SqlText(BinsText(report.gapHistogram)));
        query.addBindValue(LocalDay(session.finishedAt));
        if (!query.exec()) {
            return query.lastError();
        }
        return std::nullopt;
    });
}

QList<SendingSession> ReadSendingSessions(const QString& path, const QString& fromDay, int limit,
                                          HistoryStore::Outcome* outcome) {
    QList<SendingSession> sessions;
    HistoryStore::Outcome result = HistoryStore::Outcome::Ok();
    const auto finish = [&](const std::optional<QSqlError>& failure = std::nullopt) {
        if (failure) {
            sessions.clear();
            result.ok = false;
            result.fault = FaultOf(*failure);
            result.error = FaultText(*failure, path);
        }
        if (outcome != nullptr) {
            *outcome = result;
        }
        std::reverse(sessions.begin(), sessions.end());
        return sessions;
    };
    if (!QFileInfo::exists(path)) {
        return finish();
    }
    const HistoryConnection connection(path, {2000, true});
    if (!connection.opened()) {
        return finish(connection.openError());
    }
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    QSqlError error;
    const std::optional<int> version = SchemaVersion(query, error);
    if (!version) {
        return finish(error);
    }
    if (*version < 8) {
        return finish();  // made before sending practice was kept
    }
    query.prepare(u"SELECT "_s + kColumns +
                  u" FROM sending_sessions WHERE day >= ? "
                  "ORDER BY finished_at DESC, id DESC LIMIT ?"_s);
    query.addBindValue(SqlText(fromDay));
    query.addBindValue(limit);
    if (!query.exec()) {
        return finish(query.lastError());
    }
    while (query.next()) {
        sessions.append(SessionFromRow(query));
    }
    return finish();
}
