// A grid's model: reads the cells of one StatTable as they stand, converting only the cells on screen, so a
// table of any size shows and scrolls at once and sorting needs no copy into the widget.
#pragma once

#include <QAbstractTableModel>

#include "engine/stat_table.h"

namespace krav {

class StatTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    StatTableModel(const StatTable& table, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const StatTable& Table() const { return table_; }
    // The table changed under the model (a run filled it, a sort reordered it, a reset emptied it). Cheap
    // enough to call several times a second while a run fills the table.
    void Refresh();

private:
    const StatTable& table_;
    int shownRows_ = 0;
    int shownCols_ = 0;
};

}  // namespace krav
