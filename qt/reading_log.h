#pragma once
// The in-window list of recorded readings: UTF-8 entries in the order they
// were added, nothing else, shown by a list view. A plain string list behind
// a list view keeps an entry to its text (most fit inside the string
// itself), where a list widget would spend several hundred bytes of item
// bookkeeping on each one.

#include "form1_view.h"

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace qtui {

class ReadingLog final : public QAbstractListModel, public app::ReadingList {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Appends at the end; views keep their scroll position and selection.
    void AddItem(std::string_view entry) override;
    std::int32_t ListCount() const override { return std::int32_t(entries_.size()); }
    std::string_view List(std::int32_t index) const override { return entries_.at(std::size_t(index)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<std::string> entries_;
};

} // namespace qtui
