#include "TableModel.h"

#include "EucJp.h"
#include "ExceptionBoundary.h"
#include "Table.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTableView>

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableModel::setTable(Table* table)
{
    if (table_)
        disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    if (table_) {
        connect(table_, &Table::opened, this, &TableModel::Reset);
        connect(table_, &Table::closed, this, &TableModel::Reset);
        connect(table_, &Table::currentChanged, this, &TableModel::TableCurrentChanged);
        connect(table_, &Table::dataChanged, this, &TableModel::TableDataChanged);
        connect(table_, &QObject::destroyed, this, &TableModel::Reset);
    }
    Reset();
}

void TableModel::setColumns(std::vector<Column> columns)
{
    columns_ = std::move(columns);
    Reset();
}

std::vector<TableModel::Column> TableModel::EffectiveColumns() const
{
    if (!columns_.empty())
        return columns_;
    std::vector<Column> all;
    if (table_ && table_->Active())
        for (const FieldDef& f : table_->Fields())
            all.push_back({f.name, QString::fromStdString(f.name)});
    return all;
}

void TableModel::Reset()
{
    beginResetModel();
    fieldIndex_.clear();
    const bool active = table_ && table_->Active();
    for (const Column& c : EffectiveColumns())
        fieldIndex_.push_back(active ? table_->FieldIndex(c.field) : -1);
    rows_ = active ? table_->RecordCount() : 0;
    currentRow_ = active ? table_->RecNo() : -1;
    endResetModel();
    if (auto* grid = qobject_cast<QTableView*>(view_.data())) {
        const auto cols = EffectiveColumns();
        for (std::size_t i = 0; i < cols.size(); ++i)
            if (cols[i].width >= 0) {
                // A narrow column is allowed below the header's default minimum.
                QHeaderView* header = grid->horizontalHeader();
                header->setMinimumSectionSize(std::min(header->minimumSectionSize(), cols[i].width));
                grid->setColumnWidth(int(i), cols[i].width);
            }
    }
    SelectCurrent();
    emit currentRowChanged(currentRow_);
}

void TableModel::TableCurrentChanged()
{
    if (!table_ || !table_->Active()) {
        Reset();
        return;
    }
    if (table_->RecordCount() != rows_) {
        Reset();   // the view changed size (filter, delete, append)
        return;
    }
    // Same number of rows: the view may still hold other records (a new filter), so refresh
    // every cell; the grid keeps its scroll position.
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    const int old = currentRow_;
    currentRow_ = table_->RecNo();
    if (old != currentRow_) {
        emit headerDataChanged(Qt::Vertical, 0, std::max(rows_ - 1, 0));
        SelectCurrent();
        emit currentRowChanged(currentRow_);
    }
}

void TableModel::TableDataChanged()
{
    if (!table_ || !table_->Active() || currentRow_ < 0 || columnCount() == 0)
        return;
    emit dataChanged(index(currentRow_, 0), index(currentRow_, columnCount() - 1));
}

void TableModel::bindView(QAbstractItemView* view)
{
    view_ = view;
    view->setModel(this);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid() || !table_ || !table_->Active())
                    return;
                RunHandler([&] { table_->MoveTo(current.row()); });
            });
    Reset();
}

void TableModel::SelectCurrent()
{
    if (!view_ || !view_->selectionModel())
        return;
    syncing_ = true;
    if (currentRow_ >= 0 && currentRow_ < rows_ && columnCount() > 0) {
        const int column = std::max(view_->currentIndex().column(), 0);
        view_->selectionModel()->setCurrentIndex(
            index(currentRow_, std::min(column, columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        view_->selectionModel()->clearSelection();
    }
    syncing_ = false;
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(fieldIndex_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !table_ || !table_->Active()
        || index.row() >= rows_ || index.column() >= int(fieldIndex_.size()))
        return QVariant();
    const int field = fieldIndex_[std::size_t(index.column())];
    if (field < 0)
        return QVariant();
    const Value& v = table_->ViewValue(index.row(), field);
    if (v.null)
        return QString();
    switch (table_->Fields()[std::size_t(field)].type) {
    case FieldType::Integer:
        return QString::number(v.integer);
    case FieldType::Text:
        return eucjp::Decode(v.bytes);
    case FieldType::Blob:
        break;
    }
    return QVariant();
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)   // the row indicator marks the current record
        return section == currentRow_ ? QStringLiteral("▶") : QString();
    const auto cols = EffectiveColumns();
    if (section < 0 || section >= int(cols.size()))
        return QVariant();
    return cols[std::size_t(section)].title;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
