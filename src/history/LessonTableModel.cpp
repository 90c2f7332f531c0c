#include "history/LessonTableModel.h"

#include "history/HistoryStats.h"
#include "history/LessonsCsv.h"

namespace {

bool IsNumberColumn(LessonColumn column) {
    switch (column) {
        case LessonColumn::Speed:
        case LessonColumn::FineAdjust:
        case LessonColumn::Played:
        case LessonColumn::Correct:
        case LessonColumn::Accuracy:
            return true;
        default:
            return false;
    }
}

}  // namespace

LessonTableModel::LessonTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void LessonTableModel::setLessons(QList<LessonRecord> lessons) {
    beginResetModel();
    m_lessons = std::move(lessons);
    m_texts.clear();
    for (const LessonRecord& lesson : m_lessons) {
        m_texts.append(LessonColumnTexts(lesson));
    }
    endResetModel();
}

int LessonTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lessons.size());
}

int LessonTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLessonColumnCount;
}

QVariant LessonTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_lessons.size() ||
        index.column() >= kLessonColumnCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return m_texts[index.row()][index.column()];
        case kSortRole:
            return sortValue(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return IsNumberColumn(LessonColumn(index.column()))
                       ? int(Qt::AlignRight | Qt::AlignVCenter)
                       : int(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant LessonTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kLessonColumnCount ||
        role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return LessonColumnTitles().at(section);
}

QVariant LessonTableModel::sortValue(int row, int column) const {
    const LessonRecord& lesson = m_lessons[row];
    switch (LessonColumn(column)) {
        case LessonColumn::FinishedAt:
            return lesson.finishedAt;
        case LessonColumn::Speed:
            return lesson.speed;
        case LessonColumn::FineAdjust:
            return lesson.fineAdjust;
        case LessonColumn::Played:
            return lesson.played;
        case LessonColumn::Correct:
            return lesson.mode == LessonRecord::Mode::Step && lesson.correct
                       ? QVariant(*lesson.correct)
                       : QVariant();
        case LessonColumn::Accuracy:
            if (const std::optional<double> percent = AccuracyPercent(lesson)) {
                return *percent;
            }
            return {};
        default:
            return m_texts[row].at(column);
    }
}
