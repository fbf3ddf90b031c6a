#pragma once
// The in-window list of recorded readings: text entries in the order they
// were added, nothing else. A plain string list behind a list view keeps an
// entry to its text (well under 100 bytes), where a list widget would spend
// several hundred bytes of item bookkeeping on each one.
//
// ListCount and List(i) are what the log file writer reads.

#include <QAbstractListModel>
#include <QList>
#include <QString>

namespace window {

class ReadingLog final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Appends at the end; views keep their scroll position and selection.
    void AddItem(const QString& entry);

    int ListCount() const noexcept { return int(entries_.size()); }
    const QString& List(int index) const { return entries_.at(index); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<QString> entries_;
};

} // namespace window
