#pragma once
// A read-only multi-line view of one text field of a data source's current record. Its field
// can be switched at run time (setDataField: the advice goes from Seikai to Fuseikai). Typing
// never reaches the table.

#include "DataSource.h"

#include <QPlainTextEdit>

class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return link_.dataSource(); }
    void setDataField(const QString& name);
    QString dataField() const { return link_.dataField(); }
    void refresh();

private:
    FieldLink link_;
};
