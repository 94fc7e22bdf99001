#pragma once
// The review grid's model: the history's three columns with their titles, title alignment and
// title font.

#include "Table.h"   // TableModel.h holds a QPointer<Table> and needs the full type
#include "TableModel.h"

#include <QFont>

class HistoryModel : public TableModel {
    Q_OBJECT
public:
    explicit HistoryModel(QObject* parent = nullptr);

    // 番号 wide enough for four digits, 正誤 as narrow as its title, 問題 filling the grid.
    static constexpr int BangoWidth = 48;
    static constexpr int SeihiWidth = 25;
    static constexpr int MondaiWidth = 880;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QFont titleFont_;
};
