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

    static constexpr int SeihiWidth = 25;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QFont titleFont_;
};
