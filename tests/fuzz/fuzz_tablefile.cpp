// A table file made of arbitrary bytes. Opening must either succeed or throw Exception; a file
// that opens must hold only values that fit its fields, show its text (bad bytes as U+FFFD), take
// an edit, an appended and a deleted record, and read back with exactly those changes.

#include "EucJp.h"
#include "Exception.h"
#include "Table.h"
#include "TableFile.h"

#include <cstdint>
#include <string>

#include "FuzzSupport.h"

namespace {

void Exercise(const std::string& path)
{
    Table t;
    t.SetFileName(path);
    try {
        t.Open();
    } catch (const Exception&) {
        return;
    }
    const auto fields = t.Fields();
    FUZZ_CHECK(!fields.empty());
    const int count = t.RecordCount();
    FUZZ_CHECK(std::size_t(count) == t.StoredCount());

    Row firstRow;
    for (t.First(); !t.Eof(); t.Next()) {
        Row row;
        for (const FieldDef& f : fields) {
            Field v = t.FieldByName(f.name);
            if (f.type == FieldType::Text) {
                FUZZ_CHECK(int(v.AsString().size()) <= f.size);
                const QString text = v.AsText();
                FUZZ_CHECK(v.AsString().empty() || !text.isEmpty());
            }
            row.push_back(v.IsNull() ? Value::Null()
                          : f.type == FieldType::Integer ? Value(v.AsInteger())
                                                         : Value(v.AsString()));
        }
        if (firstRow.empty())
            firstRow = row;
    }

    // One change of each kind, written back in one go.
    int expected = count;
    std::string edited;
    try {
        if (count > 0) {
            t.First();
            t.Edit();
            for (const FieldDef& f : fields)
                if (f.type == FieldType::Text) {
                    t.FieldByName(f.name).SetAsString("\xA4\xA2" "fz");
                    edited = t.FieldByName(f.name).AsString();
                    break;
                }
            t.Post();
            t.Last();
            t.Delete();
            --expected;
        }
        if (firstRow.empty())
            firstRow.assign(fields.size(), Value::Null());
        t.AppendRecord(firstRow);
        ++expected;
        FUZZ_CHECK(t.RecordCount() == expected);
        t.Close();
    } catch (const Exception&) {
        // The write-back may be refused (a file that reads but cannot be written); then the
        // table must still hold its data.
        FUZZ_CHECK(t.Active());
        FUZZ_CHECK(t.RecordCount() == expected);
        return;
    }
    FUZZ_CHECK(!t.Active());

    const tablefile::Contents c = tablefile::Read(path);   // must open again, as written
    FUZZ_CHECK(int(c.rows.size()) == expected);
    FUZZ_CHECK(c.fields.size() == fields.size());
    if (!edited.empty() && count > 1) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].type == FieldType::Text) {
                FUZZ_CHECK(c.rows.front()[i].bytes == edited);
                break;
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz::ScratchDir() + "/table.cds";
    std::remove((path + "-journal").c_str());
    fuzz::WriteFile(path, data, size);
    Exercise(path);
    return 0;
}
