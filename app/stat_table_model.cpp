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
    const int rows = table_.RowCount() - 1;
    const int cols = table_.ColCount();
    if (cols != shownCols_) {
        beginResetModel();
        shownRows_ = rows;
        shownCols_ = cols;
        endResetModel();
        return;
    }
    // Rows told as removed or inserted at the end, never a reset: the header keeps its column widths.
    if (rows < shownRows_) {
        beginRemoveRows(QModelIndex(), rows, shownRows_ - 1);
        shownRows_ = rows;
        endRemoveRows();
    } else if (rows > shownRows_) {
        beginInsertRows(QModelIndex(), shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
    // A run changes counts in place and inserts keys in order; the view repaints only what it shows.
    if (shownRows_ > 0)
        emit dataChanged(index(0, 0), index(shownRows_ - 1, shownCols_ - 1), {Qt::DisplayRole});
}

}  // namespace krav
