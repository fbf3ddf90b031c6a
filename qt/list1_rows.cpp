#include "list1_rows.h"

namespace qtui {

void List1Rows::list1Grew(const app::RecordedList& list, std::int32_t first) {
    list_ = &list;
    const int last = list.ListCount() - 1;
    if (last < first)
        return;
    beginInsertRows({}, first, last);
    rows_ = last + 1;
    endInsertRows();
}

int List1Rows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant List1Rows::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_)
        return {};
    const std::string_view entry = list_->List(index.row());
    return QString::fromUtf8(entry.data(), qsizetype(entry.size()));
}

} // namespace qtui
