#pragma once
// List1 as a list view sees it: a model over Form1's recorded list, which
// keeps the entries; this holds nothing but a count of the rows shown.

#include "recorded_list.h"

#include <QAbstractListModel>

namespace qtui {

class List1Rows final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The list has grown from `first` on: new rows at the end; views keep
    // their scroll position and selection.
    void list1Grew(const app::RecordedList& list, std::int32_t first);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const app::RecordedList* list_ = nullptr;
    int rows_ = 0;
};

} // namespace qtui
