// tabletool's CSV import from arbitrary text, with each record layout. A "file:" cell is always
// refused here (the reader throws), so only the text decides. Rows that import must fit their
// layout, and exporting them and importing the export must give the same rows back.

#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"

#include <cstdint>
#include <string>

#include "FuzzSupport.h"

namespace {

void Check(const std::vector<FieldDef>& layout, layouts::RowCheck check, const std::string& text)
{
    const csvtable::FileReader refuse = [](const std::string& path) -> std::string {
        throw Exception("no files here: " + path);
    };
    std::vector<Row> rows;
    try {
        rows = csvtable::Import(layout, text, refuse);
    } catch (const Exception&) {
        return;
    }
    for (const Row& row : rows) {
        FUZZ_CHECK(row.size() == layout.size());
        for (std::size_t i = 0; i < layout.size(); ++i)
            if (layout[i].type == FieldType::Text && !row[i].null)
                FUZZ_CHECK(int(row[i].bytes.size()) <= layout[i].size);
    }
    if (check) {   // what tabletool checks beyond the types
        try {
            check(layout, rows);
        } catch (const Exception&) {
        }
    }

    const std::string exported = csvtable::Export(layout, rows);
    std::vector<Row> again;
    try {
        again = csvtable::Import(layout, exported, refuse);
    } catch (const Exception& e) {
        fuzz::Fail(("the export does not import: " + std::string(e.what())).c_str(), __FILE__, __LINE__);
    }
    FUZZ_CHECK(again == rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const layouts::Layout& layout : layouts::All()) {
        Check(*layout.fields, layout.check, text);
        if (!layout.optional.empty())
            Check(layouts::FieldsFor(layout, {layout.optional.front().name}), layout.check, text);
    }
    return 0;
}
