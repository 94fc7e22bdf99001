#include "OverviewModel.h"

namespace school {

void OverviewModel::SetRows(std::vector<OverviewRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int OverviewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int OverviewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount(); }

QVariant OverviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const OverviewRow& row = Row(index.row());
    if (role == Qt::DisplayRole)
        return CellText(row, index.column());
    if (role == kSortRole)
        return SortValue(row, index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= 2 && index.column() <= 5)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant OverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return Heading(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

OverviewProxy::OverviewProxy(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(OverviewModel::kSortRole);
    setSortLocaleAware(true);
}

void OverviewProxy::SetFilter(const OverviewFilter& filter, const QDate& today)
{
    filter_ = filter;
    today_ = today;
    invalidateFilter();
}

std::vector<const OverviewRow*> OverviewProxy::ShownRows() const
{
    const auto* model = static_cast<const OverviewModel*>(sourceModel());
    std::vector<const OverviewRow*> rows;
    for (int i = 0; i < rowCount(); ++i)
        rows.push_back(&model->Row(mapToSource(index(i, 0)).row()));
    return rows;
}

bool OverviewProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return Matches(static_cast<const OverviewModel*>(sourceModel())->Row(sourceRow), filter_, today_);
}

}  // namespace school
