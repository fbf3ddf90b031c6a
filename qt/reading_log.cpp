#include "reading_log.h"

namespace qtui {

void ReadingLog::AddItem(std::string_view entry) {
    const int row = ListCount();
    beginInsertRows({}, row, row);
    entries_.emplace_back(entry);
    endInsertRows();
}

int ReadingLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListCount();
}

QVariant ReadingLog::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= ListCount())
        return {};
    const std::string& entry = entries_[std::size_t(index.row())];
    return QString::fromUtf8(entry.data(), qsizetype(entry.size()));
}

} // namespace qtui
