// The grid model over a StatTable.
#include "app/stat_table_model.h"

#include "app/qt_text.h"

namespace krav {

StatTableModel::StatTableModel(const StatTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    shownRows_ = table_.RowCount() - 1;
    shownCols_ = table_.ColCount();
}

int StatTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int StatTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownCols_;
}

QVariant StatTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const int row = index.row() + 1;  // row 0 of the table holds the titles
    if (!index.isValid() || row >= table_.RowCount() || index.column() >= table_.ColCount()) return {};
    return ToQt(table_.Cell(index.column(), row));
}

QVariant StatTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section < 0 || section >= table_.ColCount()) return {};
    return ToQt(table_.Cell(section, 0));
}

void StatTableModel::Refresh() {
    beginResetModel();
    shownRows_ = table_.RowCount() - 1;
    shownCols_ = table_.ColCount();
    endResetModel();
}

void StatTableModel::RefreshIfGrown() {
    if (shownRows_ != table_.RowCount() - 1 || shownCols_ != table_.ColCount()) {
        Refresh();
    } else if (shownRows_ > 0) {
        // Counts change in place; the view repaints only what it shows.
        emit dataChanged(index(0, 0), index(shownRows_ - 1, shownCols_ - 1), {Qt::DisplayRole});
    }
}

}  // namespace krav
