#include "HistoryModel.h"
#include "Layouts.h"

#include <QCoreApplication>
#include <QColor>

namespace field = layouts::field;

HistoryModel::HistoryModel(QObject* parent) : TableModel(parent)
{
    setColumns({
        {field::Bango, QCoreApplication::translate("HistoryModel", "番号"), BangoWidth},
        {field::Seihi, QCoreApplication::translate("HistoryModel", "正誤"), SeihiWidth},
        {field::Mondai, QCoreApplication::translate("HistoryModel", "問題"), MondaiWidth},
    });
    titleFont_.setFamily(QStringLiteral("Kochi Gothic"));
    titleFont_.setPixelSize(10);
    titleFont_.setBold(false);
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        switch (role) {
        case Qt::TextAlignmentRole:
            // The question column's title sits at the left like its text; the two short ones
            // are centred over their values.
            return QVariant::fromValue(section == 2 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                                    : Qt::Alignment(Qt::AlignCenter));
        case Qt::FontRole:
            return titleFont_;
        case Qt::ForegroundRole:
            return QColor(0, 0, 0);
        default:
            break;
        }
    }
    return TableModel::headerData(section, orientation, role);
}
