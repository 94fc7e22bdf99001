#pragma once
// A read-only one-line box showing one field of a data source's current record.

#include "DataSource.h"

#include <QLineEdit>

class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name);
    QString dataField() const { return link_.dataField(); }
    void refresh();

private:
    FieldLink link_;
};
