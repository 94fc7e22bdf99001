#pragma once
// Binds data-aware views to a table: one signal whenever what they show may have changed (the
// table opened or closed, another record became current, the view changed, or the current
// record's values changed). A window's own handlers can hang on the same signal.

#include "Table.h"

#include <QObject>
#include <QPointer>

#include <functional>

#include <optional>
#include <string>

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);

    void setDataSet(Table* table);
    Table* dataSet() const { return table_; }

    // True when the table is open and its view has a current record.
    bool hasCurrent() const;
    // The current record's field NAME; nothing for a closed table, an empty view or a name the
    // table does not hold, so a view can show "nothing" instead of failing.
    std::optional<Field> field(const std::string& name) const;

signals:
    void dataChange();

private:
    QPointer<Table> table_;
};

// What a view needs to follow one field of a data source: the source, the field's name, and a
// connection that calls the view's refresh whenever the source signals.
class FieldLink {
public:
    void setDataSource(QObject* view, DataSource* source, std::function<void()> refresh);
    DataSource* dataSource() const { return source_; }
    void setDataField(const QString& name) { field_ = name.toStdString(); }
    QString dataField() const { return QString::fromStdString(field_); }
    std::optional<Field> field() const;

private:
    QPointer<DataSource> source_;
    QMetaObject::Connection connection_;
    std::string field_;
};
