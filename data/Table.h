#pragma once
// An in-memory table bound to one table file.
//
// Open reads every record of the file into memory in stored order and releases the file, except
// a record's pictures, which are read from the file when first asked for (every accessor gives
// the real value, never a placeholder); Close
// writes back, in one transaction, only what changed since Open (updated, deleted and appended
// records), so the file afterwards holds every record whatever the filter. An unchanged table
// leaves its file untouched. A failed write-back throws and leaves the table open with all its
// data, so that Close can be tried again. Tables still open with changes when the process ends
// through exit() (the window toolkit does so when the display goes away) are written back
// together then, and the reason is told on standard error.
//
// The view is the records that match the filter while Filtered is on, else all records, in
// stored order. Navigation works on the view:
//  - Open and First make the first record current; Bof is set, Eof is set only for an empty view.
//  - Next moves on; at the last record it sets Eof and stays there.
//  - Prior moves back; at the first record it sets Bof and stays there.
//  - Last makes the last record current and sets Eof (Bof only for an empty view).
//  - An empty view has both Bof and Eof set and no current record.
//  - Post: a record that no longer matches the filter leaves the view; the next match in stored
//    order becomes current, else the previous one, else the view is empty.
//  - Delete removes the current record and makes the next one current (else the previous one),
//    so `while (!Eof()) Delete();` empties any view.
//  - Switching the filter on, or changing it while on, makes the first match current.
//  - A filter set on a closed table is applied at Open.
// Writing a field needs Edit first; Post stores it (moving away or closing posts too).
//
// Filters: `Field op literal` joined by " AND ", op one of = >= <= > (single blanks around
// it). A literal is a decimal integer (possibly negative) for an integer field, or an unquoted
// word for a text field, compared with the stored bytes ("Bango = 0042" matches the text
// "0042"). A null integer compares as 0. A filter is compiled once, when it is applied.
//
// Beside the records the table keeps one contiguous column per integer field (null and deleted
// records read 0) and per text field (a hash of the bytes), updated on every Post, append and
// deletion. Filters test those columns first and the records only where they pass, and the
// drill's search reads the integer columns directly: a scan over a few int32 arrays instead of
// one heap block per record. For an integer field asked for by value (RowsWithValue), the table
// also keeps which records hold each value, updated with the column.

#include "Fields.h"
#include "TableFile.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

class Table;
class Filter;

// The current record's field, as returned by Table::FieldByName.
class Field {
public:
    const std::string& FieldName() const;
    FieldType DataType() const;
    int Size() const;
    bool IsNull() const;

    int AsInteger() const;                   // null and non-integers read as 0
    void SetAsInteger(int value);
    const std::string& AsString() const;     // the stored bytes (EUC-JP for text)
    void SetAsString(const std::string& bytes);  // cut to the field's size at a character boundary
    QString AsText() const;                  // text decoded from EUC-JP, for display
    void SetAsText(const QString& text);     // encoded to EUC-JP; throws if it cannot be
    void SetNull();

private:
    friend class Table;
    Field(Table* table, int index) : table_(table), index_(index) {}
    const FieldDef& Def() const;
    Table* table_;
    int index_;
};

class Table : public QObject {
    Q_OBJECT
public:
    explicit Table(QObject* parent = nullptr);
    ~Table() override;   // closes the table, writing back what changed; never throws

    // The file this table reads and writes. Empty until set.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& path);

    // Fields that the file must hold (by name and type) for Open to succeed; none by default.
    // When they are a registered layout's, its optional fields, where the file has them, must
    // have their types too.
    void SetRequiredFields(std::vector<FieldDef> fields);

    void Open();
    void Close();
    // Closes every table given, writing back what changed in all of them as one unit: the files
    // get all of their changes or none. On failure it throws and every table stays open with
    // all its data, so that it can be tried again.
    static void CloseTogether(std::initializer_list<Table*> tables);
    static void CloseTogether(const std::vector<Table*>& tables);
    bool Active() const { return active_; }
    // Closes without writing anything: every change since Open is dropped. For a unit of work
    // that could not be stored whole, where storing a part would be worse than storing nothing.
    void Discard();

    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);
    // SetFilter(TEXT) and SetFiltered(true) for a caller that already knows which records pass
    // TEXT (from the integer columns): ROWS, stored positions in ascending order, become the view
    // without the filter being run again. ROWS must be exactly the records that pass.
    void SetFilteredView(const std::string& text, std::vector<std::size_t> rows);

    int RecordCount() const;
    const std::vector<FieldDef>& Fields() const;
    Field FieldByName(const std::string& name);
    int FieldIndex(const std::string& name) const;   // -1 when absent

    void Edit();
    void Post();
    void Cancel();
    bool Editing() const { return editing_; }
    void AppendRecord(const Row& values);
    void Delete();

    void First();
    void Next();
    void Last();
    void Prior();
    bool Bof() const;
    bool Eof() const;

    // Position of the current record in the view (0-based), -1 for an empty view.
    int RecNo() const;
    void MoveTo(int viewIndex);
    // The value of a field in the view's row, for the grid; no navigation.
    const Value& ViewValue(int viewIndex, int fieldIndex) const;

    // Every stored record regardless of the filter, in stored order; no navigation. For scans
    // that must see the whole table in one pass.
    std::size_t StoredCount() const;
    const Value& StoredValue(std::size_t record, int fieldIndex) const;
    // An integer field's values over every stored record, in stored order, as the filters compare
    // them: null and deleted records read 0. Valid until the table is changed or closed. Throws
    // for a field that is not an integer field.
    std::span<const std::int32_t> IntegerColumn(int fieldIndex) const;
    // The stored positions, ascending, whose entry in that column is VALUE. The first call for a
    // field makes its index in one pass over the column; from then on every Post, append and
    // deletion keeps it, until the table closes. Valid until the table is changed or closed.
    // Throws for a field that is not an integer field.
    std::span<const std::size_t> RowsWithValue(int fieldIndex, std::int32_t value) const;

    // True when something changed since Open and Close would write.
    bool Modified() const;

    // Creates a new table file with these fields and records, replacing PATH only once the new
    // file is complete.
    static void CreateFile(const std::string& path, const std::vector<FieldDef>& fields,
                           const std::vector<Row>& records);

signals:
    void opened();
    void closed();
    void currentChanged();   // another record became current, or the view changed
    void dataChanged();      // the current record's values changed

private:
    friend class Field;
    struct Record;

    void RequireActive() const;
    void RequireCurrent() const;
    void Rebuild();          // recompute the view and make its first record current
    bool Matches(std::size_t record) const;
    void BuildColumns();
    void SetColumns(std::size_t record);   // from the record's values (a deleted one: empty)
    const Value& CurrentValue(int field) const;
    // The bytes of a deferred picture of the current record, read from the file once per record
    // and field and kept until another is asked for.
    const std::string& DeferredBytes(int field) const;
    void WriteCurrent(int field, Value v);
    void PostIfEditing();
    void ResetData();
    void Unregister();   // from the open tables that the exit hook writes back
    void KeepImage(const tablefile::Written& written);   // after a write-back; takes the records

    std::string fileName_;
    std::vector<FieldDef> required_;
    bool active_ = false;
    std::string filterText_;
    bool filtered_ = false;
    std::unique_ptr<class Filter> compiled_;

    std::vector<FieldDef> fields_;
    std::vector<Record> records_;
    std::vector<std::size_t> view_;   // indices into records_
    // Per field, one entry per record: the integer (integer fields) or the hash of the bytes
    // (text fields) that a filter compares; empty for blob fields.
    std::vector<std::vector<std::int32_t>> columns_;
    // Per field: for each value of its column, the records holding it in ascending order; made
    // by RowsWithValue, absent for a field never asked for.
    using RowsByValue = std::unordered_map<std::int32_t, std::vector<std::size_t>>;
    mutable std::vector<std::optional<RowsByValue>> indexes_;
    std::vector<std::int64_t> deletedIds_;
    mutable std::size_t deferredRecord_ = 0;
    mutable int deferredField_ = -1;   // -1: nothing read yet
    mutable std::string deferredBytes_;
    tablefile::Stamp readAs_;   // the file as it was read: a write-back goes into that file only
    int cur_ = -1;                    // index into view_
    bool bof_ = true;
    bool eof_ = true;
    bool editing_ = false;
    std::unique_ptr<Row> editBuffer_;
    std::vector<bool> editDirty_;
};
