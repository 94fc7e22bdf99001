#pragma once
// A read-only grid model over a table's view: one row per record of the view, one column per
// chosen field. It follows the table (opened, closed, filtered, edited), and bindView keeps the
// table's current record and the grid's selected row in step both ways.

#include <QAbstractTableModel>
#include <QPointer>

#include <string>
#include <vector>

class QAbstractItemView;
class Table;

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        std::string field;   // field name in the table
        QString title;       // column title
        int width = -1;      // pixels; -1 leaves the grid's default
    };

    explicit TableModel(QObject* parent = nullptr);

    void setTable(Table* table);
    Table* table() const { return table_; }
    // The columns shown, in order. No columns chosen: every field, titled by its name.
    void setColumns(std::vector<Column> columns);

    // Shows this model in VIEW with whole-row selection, and keeps the selected row and the
    // table's current record the same: selecting a row makes its record current, and a record
    // made current by the program is selected.
    void bindView(QAbstractItemView* view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The table's current record moved to ROW of the view (-1: none).
    void currentRowChanged(int row);

private:
    void Reset();
    void TableCurrentChanged();
    void TableDataChanged();
    void SelectCurrent();
    std::vector<Column> EffectiveColumns() const;

    QPointer<Table> table_;
    std::vector<Column> columns_;
    std::vector<int> fieldIndex_;   // per shown column; -1 when the table lacks the field
    int rows_ = 0;
    int currentRow_ = -1;
    QPointer<QAbstractItemView> view_;
    bool syncing_ = false;
};
