#pragma once
// The overview's rows for a view: a table model of school::OverviewRow, and the proxy that sorts
// by each column's value and keeps the rows the filter lets through. Qt Core only, so the sorting
// and filtering are tested without a window.

#include "Overview.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace school {

class OverviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    // Qt::UserRole: the value a column sorts by (SortValue).
    static constexpr int kSortRole = Qt::UserRole;

    void SetRows(std::vector<OverviewRow> rows);
    const OverviewRow& Row(int row) const { return rows_[std::size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<OverviewRow> rows_;
};

class OverviewProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit OverviewProxy(QObject* parent = nullptr);
    // Keeps the rows FILTER lets through, judged on TODAY.
    void SetFilter(const OverviewFilter& filter, const QDate& today);
    const OverviewFilter& Filter() const { return filter_; }
    // The source rows shown, in the order shown.
    std::vector<const OverviewRow*> ShownRows() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    OverviewFilter filter_;
    QDate today_ = QDate::currentDate();
};

}  // namespace school
