#include "DataSource.h"

DataSource::DataSource(QObject* parent) : QObject(parent) {}

void DataSource::setDataSet(Table* table)
{
    if (table_ == table)
        return;
    if (table_)
        disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    if (table_) {
        connect(table_, &Table::opened, this, &DataSource::dataChange);
        connect(table_, &Table::closed, this, &DataSource::dataChange);
        connect(table_, &Table::currentChanged, this, &DataSource::dataChange);
        connect(table_, &Table::dataChanged, this, &DataSource::dataChange);
        connect(table_, &QObject::destroyed, this, &DataSource::dataChange);
    }
    emit dataChange();
}

bool DataSource::hasCurrent() const
{
    return table_ && table_->Active() && table_->RecNo() >= 0;
}

std::optional<Field> DataSource::field(const std::string& name) const
{
    if (!hasCurrent() || table_->FieldIndex(name) < 0)
        return std::nullopt;
    return table_->FieldByName(name);
}

void FieldLink::setDataSource(QObject* view, DataSource* source, std::function<void()> refresh)
{
    QObject::disconnect(connection_);
    source_ = source;
    if (source)
        connection_ = QObject::connect(source, &DataSource::dataChange, view, refresh);
    refresh();
}

std::optional<Field> FieldLink::field() const
{
    if (!source_ || field_.empty())
        return std::nullopt;
    return source_->field(field_);
}
