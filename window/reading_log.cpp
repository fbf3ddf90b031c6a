#include "reading_log.h"

namespace window {

void ReadingLog::AddItem(const QString& entry) {
    const int row = ListCount();
    beginInsertRows({}, row, row);
    entries_.append(entry);
    endInsertRows();
}

int ReadingLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ListCount();
}

QVariant ReadingLog::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= ListCount())
        return {};
    return entries_.at(index.row());
}

} // namespace window
