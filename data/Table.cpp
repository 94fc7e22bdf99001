#include "Table.h"

#include "EucJp.h"
#include "Exception.h"
#include "Filter.h"
#include "Layouts.h"
#include "TableFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {
const char* const kClosed = "データセットは閉じているため, この操作は実行できません";
const char* const kNoRecord = "レコードがありません";

std::string FieldNotFound(const std::string& name) { return "項目 '" + name + "' が見つかりません"; }

// What a text column holds: a hash of the bytes (FNV-1a). Equal texts have equal keys, so a key
// that differs rules a record out of an equality condition without reading the record.
std::int32_t TextKey(const std::string& bytes)
{
    std::uint32_t h = 2166136261u;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return static_cast<std::int32_t>(h);
}

// Keeps in VIEW the records for which KEEP holds: all of 0..COUNT-1 when VIEW starts empty and
// FIRST is set, else those already in VIEW.
template <typename Keep>
void Narrow(std::vector<std::size_t>& view, bool first, std::size_t count, Keep keep)
{
    if (first) {
        for (std::size_t i = 0; i < count; ++i)
            if (keep(i))
                view.push_back(i);
    } else {
        std::erase_if(view, [&](std::size_t i) { return !keep(i); });
    }
}

// One condition tested on a column: the column's entries against LITERAL with OP.
void NarrowBy(std::vector<std::size_t>& view, bool first, const std::vector<std::int32_t>& column,
              Filter::Op op, std::int64_t literal)
{
    const std::int32_t* c = column.data();
    const std::size_t n = column.size();
    switch (op) {
    case Filter::Op::Eq: Narrow(view, first, n, [&](std::size_t i) { return c[i] == literal; }); break;
    case Filter::Op::Ge: Narrow(view, first, n, [&](std::size_t i) { return c[i] >= literal; }); break;
    case Filter::Op::Le: Narrow(view, first, n, [&](std::size_t i) { return c[i] <= literal; }); break;
    case Filter::Op::Gt: Narrow(view, first, n, [&](std::size_t i) { return c[i] > literal; }); break;
    }
}

// Moves RECORD from the records holding FROM to those holding TO, keeping both in ascending order.
void MoveRow(std::unordered_map<std::int32_t, std::vector<std::size_t>>& index, std::size_t record,
             std::int32_t from, std::int32_t to)
{
    if (const auto old = index.find(from); old != index.end()) {
        auto& rows = old->second;
        const auto at = std::lower_bound(rows.begin(), rows.end(), record);
        if (at != rows.end() && *at == record)
            rows.erase(at);
        if (rows.empty())
            index.erase(old);   // so that values no longer held do not pile up
    }
    auto& rows = index[to];
    rows.insert(std::upper_bound(rows.begin(), rows.end(), record), record);
}

// Every open table of the process. The window toolkit ends the process with exit() when the
// display goes away (logout, a dropped remote session): no window and no destructor of the
// tables' owners runs then, only atexit handlers, and this list is how that handler finds the
// drill's tables to store them. Never destroyed, so that it outlives every table.
struct OpenTables {
    std::mutex mutex;
    std::vector<Table*> tables;
};

void WriteBackAtExit();

OpenTables& Registry()
{
    static OpenTables* const registry = [] {
        auto* r = new OpenTables;
        std::atexit(WriteBackAtExit);
        return r;
    }();
    return *registry;
}

void WriteBackAtExit()
{
    std::vector<Table*> open;
    {
        std::lock_guard<std::mutex> lock(Registry().mutex);
        open = Registry().tables;
    }
    std::string names;
    for (Table* t : open) {
        if (!t->Modified())
            continue;
        names += (names.empty() ? "" : ", ") + t->FileName();
        t->blockSignals(true);   // the windows that listen are past using
    }
    if (names.empty())
        return;
    try {
        Table::CloseTogether(open);
        std::fprintf(stderr, "学科練習システム: ウィンドウを閉じないまま終了するため (画面との接続が切れたときなど)、"
                             "練習のデータを書き戻しました: %s\n", names.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "学科練習システム: ウィンドウを閉じないまま終了するため、練習のデータを書き戻そうと"
                             "しましたが、できませんでした: %s\n", e.what());
    }
}
}  // namespace

struct Table::Record {
    std::int64_t id = 0;        // 0 for a record appended since Open
    Row values;
    std::vector<bool> dirty;    // fields changed since Open (empty: none)
    bool deleted = false;
};

// ---- Field ---------------------------------------------------------------------------------

// A field kept from a table since closed (its field list emptied), or opened again on a file of
// fewer fields, is refused as such instead of being read past the list.
const FieldDef& Field::Def() const
{
    if (std::size_t(index_) >= table_->fields_.size()) {
        table_->RequireActive();
        throw Exception(FieldNotFound(std::to_string(index_ + 1)));
    }
    return table_->fields_[std::size_t(index_)];
}

const std::string& Field::FieldName() const { return Def().name; }
FieldType Field::DataType() const { return Def().type; }
int Field::Size() const { return Def().size; }
bool Field::IsNull() const { return table_->CurrentValue(index_).null; }

int Field::AsInteger() const
{
    const Value& v = table_->CurrentValue(index_);
    return (v.null || DataType() != FieldType::Integer) ? 0 : v.integer;
}

const std::string& Field::AsString() const
{
    static const std::string empty;
    const Value& v = table_->CurrentValue(index_);
    if (DataType() == FieldType::Integer) {
        // An integer read as text is its decimal form; the reference stays valid until the next
        // such read on this thread.
        thread_local std::string number;
        number = v.null ? std::string() : std::to_string(v.integer);
        return number;
    }
    if (v.deferred)
        return table_->DeferredBytes(index_);
    return v.null ? empty : v.bytes;
}

QString Field::AsText() const
{
    if (DataType() == FieldType::Blob)
        return QString();
    return eucjp::Decode(AsString());
}

void Field::SetAsInteger(int value)
{
    if (DataType() != FieldType::Integer)
        throw Exception("項目 '" + FieldName() + "' は整数ではありません");
    table_->WriteCurrent(index_, Value(value));
}

void Field::SetAsString(const std::string& bytes)
{
    switch (DataType()) {
    case FieldType::Integer: {
        std::size_t used = 0;
        int v = 0;
        try {
            v = std::stoi(bytes, &used);
        } catch (...) {
            used = 0;
        }
        if (bytes.empty() || used != bytes.size())
            throw Exception("'" + bytes + "' は整数ではありません");
        table_->WriteCurrent(index_, Value(v));
        break;
    }
    case FieldType::Text:
        table_->WriteCurrent(index_, Value(eucjp::Truncate(bytes, std::size_t(Size()))));
        break;
    case FieldType::Blob:
        table_->WriteCurrent(index_, Value(bytes));
        break;
    }
}

void Field::SetAsText(const QString& text) { SetAsString(eucjp::Encode(text)); }
void Field::SetNull() { table_->WriteCurrent(index_, Value::Null()); }

// ---- Table ---------------------------------------------------------------------------------

Table::Table(QObject* parent) : QObject(parent) {}

Table::~Table()
{
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; the window that owns the table closes it first and
        // shows the failure.
    }
    if (active_)
        Unregister();
}

void Table::Unregister()
{
    std::lock_guard<std::mutex> lock(Registry().mutex);
    auto& tables = Registry().tables;
    tables.erase(std::remove(tables.begin(), tables.end(), this), tables.end());
}

void Table::SetFileName(const std::string& path)
{
    if (active_)
        throw Exception("開いているテーブルのファイル名は変えられません");
    fileName_ = path;
}

void Table::SetRequiredFields(std::vector<FieldDef> fields) { required_ = std::move(fields); }

void Table::Open()
{
    if (active_)
        return;
    // The image of the file shared within the process: read again only when the file changed.
    const std::shared_ptr<const tablefile::Contents> image = tablefile::ReadShared(fileName_);
    const tablefile::Contents& c = *image;
    const auto inFile = [&](const std::string& name) {
        return std::find_if(c.fields.begin(), c.fields.end(), [&](const FieldDef& f) { return f.name == name; });
    };
    for (const FieldDef& r : required_) {
        const auto it = inFile(r.name);
        if (it == c.fields.end())
            throw Exception(FieldNotFound(r.name));
        if (it->type != r.type)
            throw Exception("項目 '" + r.name + "' の型が違います");
    }
    // A layout's optional field may be missing, but where the file has it, it has its type.
    if (const layouts::Layout* layout = layouts::WithFields(required_)) {
        for (const FieldDef& o : layout->optional) {
            const auto it = inFile(o.name);
            if (it != c.fields.end() && it->type != o.type)
                throw Exception("項目 '" + o.name + "' の型が違います");
        }
    }
    std::unique_ptr<class Filter> compiled;
    if (!filterText_.empty())
        compiled = std::make_unique<class Filter>(filterText_, c.fields);

    fields_ = c.fields;
    records_.clear();
    records_.reserve(c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i)
        records_.push_back(Record{c.ids[i], c.rows[i], {}, false});
    deletedIds_.clear();
    readAs_ = c.stamp;
    compiled_ = std::move(compiled);
    BuildColumns();
    {
        std::lock_guard<std::mutex> lock(Registry().mutex);
        Registry().tables.push_back(this);
    }
    active_ = true;
    editing_ = false;
    Rebuild();
    emit opened();
    emit currentChanged();
}

void Table::Close() { CloseTogether({this}); }

void Table::CloseTogether(std::initializer_list<Table*> tables)
{
    CloseTogether(std::vector<Table*>(tables));
}

void Table::CloseTogether(const std::vector<Table*>& tables)
{
    std::vector<Table*> open;
    for (Table* t : tables)
        if (t && t->active_ && std::find(open.begin(), open.end(), t) == open.end())
            open.push_back(t);
    std::vector<tablefile::Changes> changes;
    std::vector<Table*> written;
    for (Table* t : open) {
        t->PostIfEditing();
        if (!t->Modified())
            continue;
        written.push_back(t);
        tablefile::Changes c{t->fileName_, &t->fields_, t->deletedIds_, {}, {}, t->readAs_};
        for (const Record& r : t->records_) {
            if (r.deleted)
                continue;
            if (r.id == 0)
                c.appended.push_back(&r.values);
            else if (!r.dirty.empty())
                c.updated.push_back({r.id, &r.values, r.dirty});
        }
        changes.push_back(std::move(c));
    }
    const std::vector<tablefile::Written> result = tablefile::WriteChanges(changes);
    for (std::size_t i = 0; i < written.size() && i < result.size(); ++i)
        written[i]->KeepImage(result[i]);
    for (Table* t : open) {
        t->ResetData();
        emit t->closed();
        emit t->currentChanged();
    }
}

void Table::KeepImage(const tablefile::Written& written)
{
    if (!written.version)
        return;
    try {
        // What the file holds now is what this table holds: it becomes the shared image, so
        // that the next opening of the file does not read it again. Its records go into it, as
        // the table is closing; pictures as Read leaves them, in the file.
        tablefile::Contents image;
        image.fields = fields_;
        std::size_t firstBlob = fields_.size();
        for (std::size_t f = 0; f < fields_.size() && firstBlob == fields_.size(); ++f)
            if (fields_[f].type == FieldType::Blob)
                firstBlob = f;
        std::size_t appended = 0;
        for (Record& r : records_) {
            if (r.deleted)
                continue;
            if (r.id == 0 && appended == written.appendedIds.size())
                return;
            image.ids.push_back(r.id != 0 ? r.id : written.appendedIds[appended++]);
            // As a reading of the file leaves them: pictures left in the file.
            for (std::size_t f = firstBlob; f < fields_.size(); ++f)
                if (!r.values[f].null && fields_[f].type == FieldType::Blob)
                    r.values[f] = Value::Deferred();
            image.rows.push_back(std::move(r.values));
        }
        image.stamp = {written.version->changeCounter, image.ids.empty() ? 0 : image.ids.back()};
        tablefile::Keep(fileName_, *written.version, std::move(image));
    } catch (const std::exception&) {
        // Without an image the next opening reads the file.
    }
}

void Table::Discard()
{
    if (!active_)
        return;
    ResetData();
    emit closed();
    emit currentChanged();
}

void Table::ResetData()
{
    if (active_)
        Unregister();
    active_ = false;
    editing_ = false;
    editBuffer_.reset();
    fields_.clear();
    records_.clear();
    view_.clear();
    columns_.clear();
    indexes_.clear();
    deletedIds_.clear();
    deferredField_ = -1;
    deferredBytes_ = std::string();
    compiled_.reset();
    cur_ = -1;
    bof_ = eof_ = true;
}

bool Table::Modified() const
{
    if (!active_)
        return false;
    if (!deletedIds_.empty() || editing_)
        return true;
    return std::any_of(records_.begin(), records_.end(),
                       [](const Record& r) { return !r.deleted && (r.id == 0 || !r.dirty.empty()); });
}

void Table::SetFilter(const std::string& text)
{
    if (active_) {
        PostIfEditing();
        // Compile before changing anything, so a bad filter leaves the view as it was.
        auto compiled = text.empty() ? nullptr : std::make_unique<class Filter>(text, fields_);
        filterText_ = text;
        compiled_ = std::move(compiled);
        if (filtered_) {
            Rebuild();
            emit currentChanged();
        }
    } else {
        filterText_ = text;
    }
}

void Table::SetFiltered(bool on)
{
    if (on == filtered_)
        return;
    if (active_)
        PostIfEditing();
    filtered_ = on;
    if (active_) {
        Rebuild();
        emit currentChanged();
    }
}

void Table::SetFilteredView(const std::string& text, std::vector<std::size_t> rows)
{
    RequireActive();
    PostIfEditing();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i] >= records_.size() || (i > 0 && rows[i] <= rows[i - 1]))
            throw Exception("絞り込みの結果が正しくありません");
    auto compiled = text.empty() ? nullptr : std::make_unique<class Filter>(text, fields_);
    filterText_ = text;
    compiled_ = std::move(compiled);
    filtered_ = true;
    view_ = std::move(rows);
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    emit currentChanged();
}

bool Table::Matches(std::size_t record) const
{
    const Record& r = records_[record];
    if (r.deleted)
        return false;
    if (!filtered_ || !compiled_)
        return true;
    return compiled_->Matches(r.values);
}

void Table::Rebuild()
{
    view_.clear();
    // The columns decide the integer conditions, and rule out the records whose text cannot be
    // equal; equalities first, as they leave the fewest records. A record is looked at itself
    // only for what the columns cannot tell: deletion, and the text conditions.
    bool first = true, exact = true;
    if (filtered_ && compiled_) {
        std::vector<const Filter::Condition*> order;
        for (const auto& c : compiled_->Conditions())
            order.push_back(&c);
        std::stable_partition(order.begin(), order.end(), [](const auto* c) { return c->op == Filter::Op::Eq; });
        for (const Filter::Condition* c : order) {
            const auto& column = columns_[std::size_t(c->field)];
            if (c->text) {
                exact = false;
                if (c->op != Filter::Op::Eq)
                    continue;
                NarrowBy(view_, first, column, c->op, TextKey(c->word));
            } else {
                NarrowBy(view_, first, column, c->op, c->number);
            }
            first = false;
        }
    }
    if (first) {
        for (std::size_t i = 0; i < records_.size(); ++i)
            view_.push_back(i);
    }
    std::erase_if(view_, [&](std::size_t i) { return exact ? records_[i].deleted : !Matches(i); });
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
}

void Table::BuildColumns()
{
    columns_.assign(fields_.size(), {});
    indexes_.assign(fields_.size(), std::nullopt);
    for (std::size_t f = 0; f < fields_.size(); ++f)
        if (fields_[f].type != FieldType::Blob)
            columns_[f].resize(records_.size());
    for (std::size_t r = 0; r < records_.size(); ++r)
        SetColumns(r);
}

void Table::SetColumns(std::size_t record)
{
    static const std::string empty;
    const Row& values = records_[record].values;
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        if (fields_[f].type == FieldType::Blob)
            continue;
        // A filter reads a null integer as 0 and a null text as empty; a deleted record has no values.
        const Value* v = f < values.size() && !values[f].null ? &values[f] : nullptr;
        const std::int32_t now = fields_[f].type == FieldType::Integer ? (v ? v->integer : 0) : TextKey(v ? v->bytes : empty);
        std::int32_t& entry = columns_[f][record];
        if (entry != now && indexes_[f])
            MoveRow(*indexes_[f], record, entry, now);
        entry = now;
    }
}

void Table::RequireActive() const
{
    if (!active_)
        throw Exception(kClosed);
}

void Table::RequireCurrent() const
{
    RequireActive();
    if (cur_ < 0)
        throw Exception(kNoRecord);
}

int Table::RecordCount() const
{
    RequireActive();
    return int(view_.size());
}

const std::vector<FieldDef>& Table::Fields() const
{
    RequireActive();
    return fields_;
}

int Table::FieldIndex(const std::string& name) const
{
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name)
            return int(i);
    return -1;
}

Field Table::FieldByName(const std::string& name)
{
    RequireActive();
    const int i = FieldIndex(name);
    if (i < 0)
        throw Exception(FieldNotFound(name));
    return Field(this, i);
}

const Value& Table::CurrentValue(int field) const
{
    static const Value null;
    RequireActive();
    if (cur_ < 0)
        return null;   // an empty view reads as empty values
    if (editing_)
        return (*editBuffer_)[std::size_t(field)];
    return records_[view_[std::size_t(cur_)]].values.at(std::size_t(field));
}

const std::string& Table::DeferredBytes(int field) const
{
    RequireCurrent();
    const std::size_t record = view_[std::size_t(cur_)];
    if (deferredField_ != field || deferredRecord_ != record) {
        const Record& r = records_[record];
        deferredField_ = -1;
        deferredBytes_ = tablefile::ReadDeferred(fileName_, fields_, r.id, std::size_t(field), r.values, r.dirty, readAs_);
        deferredRecord_ = record;
        deferredField_ = field;
    }
    return deferredBytes_;
}

void Table::WriteCurrent(int field, Value v)
{
    RequireCurrent();
    if (!editing_)
        throw Exception("データセットが編集状態ではありません");
    (*editBuffer_)[std::size_t(field)] = std::move(v);
    editDirty_[std::size_t(field)] = true;
    emit dataChanged();
}

void Table::Edit()
{
    RequireCurrent();
    if (editing_)
        return;
    editBuffer_ = std::make_unique<Row>(records_[view_[std::size_t(cur_)]].values);
    editDirty_.assign(fields_.size(), false);
    editing_ = true;
}

void Table::Cancel()
{
    if (!editing_)
        return;
    editing_ = false;
    editBuffer_.reset();
    emit dataChanged();
}

void Table::Post()
{
    RequireActive();
    if (!editing_)
        return;
    const std::size_t index = view_[std::size_t(cur_)];
    Record& r = records_[index];
    bool changed = false;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!editDirty_[i] || (*editBuffer_)[i] == r.values[i])
            continue;
        r.values[i] = std::move((*editBuffer_)[i]);
        if (r.dirty.empty())
            r.dirty.assign(fields_.size(), false);
        r.dirty[i] = true;
        changed = true;
    }
    editing_ = false;
    editBuffer_.reset();
    if (changed)
        SetColumns(index);

    if (!Matches(index)) {
        // The record leaves the view: the next match becomes current, else the previous one.
        view_.erase(view_.begin() + cur_);
        if (cur_ >= int(view_.size()))
            cur_ = int(view_.size()) - 1;
        bof_ = view_.empty();
        eof_ = view_.empty();
        emit currentChanged();
    } else if (changed) {
        emit dataChanged();
    }
}

void Table::PostIfEditing()
{
    if (editing_)
        Post();
}

void Table::AppendRecord(const Row& values)
{
    RequireActive();
    PostIfEditing();
    if (values.size() != fields_.size())
        throw Exception("レコードの項目数が定義と合いません");
    Record r;
    r.values.resize(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Value& v = values[i];
        const FieldDef& f = fields_[i];
        if (v.null) continue;
        if (f.type == FieldType::Integer)
            r.values[i] = Value(v.integer);
        else if (f.type == FieldType::Text)
            r.values[i] = Value(eucjp::Truncate(v.bytes, std::size_t(f.size)));
        else if (v.deferred)
            throw Exception("読み込んでいない値は追加できません: 項目 " + f.name);
        else
            r.values[i] = v;
    }
    records_.push_back(std::move(r));
    // The new record reads 0 everywhere until SetColumns gives it its values; the indexes say so.
    for (std::size_t f = 0; f < fields_.size(); ++f) {
        if (fields_[f].type != FieldType::Blob)
            columns_[f].push_back(0);
        if (indexes_[f])
            (*indexes_[f])[0].push_back(records_.size() - 1);
    }
    SetColumns(records_.size() - 1);
    if (Matches(records_.size() - 1)) {
        view_.push_back(records_.size() - 1);
        cur_ = int(view_.size()) - 1;
        bof_ = eof_ = false;
    }
    emit currentChanged();
}

void Table::Delete()
{
    RequireCurrent();
    if (editing_)
        Cancel();
    const std::size_t index = view_[std::size_t(cur_)];
    Record& r = records_[index];
    r.deleted = true;
    if (r.id != 0)
        deletedIds_.push_back(r.id);
    r.values.clear();
    r.values.shrink_to_fit();
    SetColumns(index);
    view_.erase(view_.begin() + cur_);
    if (cur_ >= int(view_.size()))
        cur_ = int(view_.size()) - 1;
    bof_ = view_.empty();
    eof_ = view_.empty();
    emit currentChanged();
}

void Table::First()
{
    RequireActive();
    PostIfEditing();
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    emit currentChanged();
}

void Table::Next()
{
    RequireActive();
    PostIfEditing();
    if (cur_ + 1 < int(view_.size())) {
        ++cur_;
        bof_ = eof_ = false;
        emit currentChanged();
    } else {
        eof_ = true;
    }
}

void Table::Last()
{
    RequireActive();
    PostIfEditing();
    cur_ = int(view_.size()) - 1;
    eof_ = true;
    bof_ = view_.empty();
    emit currentChanged();
}

void Table::Prior()
{
    RequireActive();
    PostIfEditing();
    if (cur_ > 0) {
        --cur_;
        bof_ = eof_ = false;
        emit currentChanged();
    } else {
        bof_ = true;
    }
}

bool Table::Bof() const
{
    RequireActive();
    return bof_;
}

bool Table::Eof() const
{
    RequireActive();
    return eof_;
}

int Table::RecNo() const { return active_ ? cur_ : -1; }

void Table::MoveTo(int viewIndex)
{
    RequireActive();
    if (viewIndex < 0 || viewIndex >= int(view_.size()) || viewIndex == cur_)
        return;
    PostIfEditing();
    cur_ = viewIndex;
    bof_ = eof_ = false;
    emit currentChanged();
}

const Value& Table::ViewValue(int viewIndex, int fieldIndex) const
{
    RequireActive();
    return records_[view_.at(std::size_t(viewIndex))].values.at(std::size_t(fieldIndex));
}

std::size_t Table::StoredCount() const { return active_ ? records_.size() : 0; }

std::span<const std::int32_t> Table::IntegerColumn(int fieldIndex) const
{
    RequireActive();
    if (fieldIndex < 0 || std::size_t(fieldIndex) >= fields_.size() || fields_[std::size_t(fieldIndex)].type != FieldType::Integer)
        throw Exception("整数の項目ではありません");
    return columns_[std::size_t(fieldIndex)];
}

std::span<const std::size_t> Table::RowsWithValue(int fieldIndex, std::int32_t value) const
{
    const std::span<const std::int32_t> column = IntegerColumn(fieldIndex);
    std::optional<RowsByValue>& index = indexes_[std::size_t(fieldIndex)];
    if (!index) {
        RowsByValue made;
        for (std::size_t r = 0; r < column.size(); ++r)
            made[column[r]].push_back(r);
        index = std::move(made);
    }
    const auto it = index->find(value);
    if (it == index->end())
        return {};
    return it->second;
}

const Value& Table::StoredValue(std::size_t record, int fieldIndex) const
{
    static const Value null;
    const Record& r = records_.at(record);
    return r.deleted ? null : r.values.at(std::size_t(fieldIndex));
}

void Table::CreateFile(const std::string& path, const std::vector<FieldDef>& fields,
                       const std::vector<Row>& records)
{
    tablefile::Create(path, fields, records);
}
