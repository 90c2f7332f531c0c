#include "core/history/LessonTableModel.h"

#include "core/history/LessonsCsv.h"

LessonTableModel::LessonTableModel(HistoryReader& reader, QObject* parent)
    : QAbstractTableModel(parent), m_reader(reader) {}

void LessonTableModel::setFilter(const HistoryFilter& filter) {
    beginResetModel();
    m_filter = filter;
    m_pages.clear();
    m_rows = m_reader.lessonCount(filter);
    endResetModel();
}

void LessonTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kLessonColumnCount) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_order = {column, order};
    m_pages.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int LessonTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int LessonTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLessonColumnCount;
}

const QStringList* LessonTableModel::rowTexts(int row) const {
    const int first = row - row % kPageRows;
    auto page = m_pages.find(first);
    if (page == m_pages.end()) {
        if (m_pages.size() >= kPagesKept) {
            auto oldest = m_pages.begin();
            for (auto it = m_pages.begin(); it != m_pages.end(); ++it) {
                oldest = it->used < oldest->used ? it : oldest;
            }
            m_pages.erase(oldest);
        }
        Page read;
        for (const LessonRecord& lesson : m_reader.lessons(m_filter, m_order, first, kPageRows)) {
            read.texts.append(LessonColumnTexts(lesson));
        }
        page = m_pages.insert(first, read);
    }
    page->used = ++m_reads;
    const int at = row - first;
    return at < page->texts.size() ? &page->texts[at] : nullptr;
}

QVariant LessonTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.column() >= kLessonColumnCount) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            if (const QStringList* texts = rowTexts(index.row())) {
                return texts->at(index.column());
            }
            return {};
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
