#pragma once
// The table-file format: an SQLite database holding the field list and the records
// (docs/table-files.md). Only the table store and tabletool reach files through here.

#include "Fields.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tablefile {

struct Contents {
    std::vector<FieldDef> fields;
    std::vector<std::int64_t> ids;   // stored order
    std::vector<Row> rows;
};

// Reads a whole table file. Throws Exception for a missing file, a file that is not ours, of
// another version, with another schema or with extra objects, or with values that do not fit.
Contents Read(const std::string& path);

struct Update {
    std::int64_t id;
    const Row* row;
    std::vector<bool> dirty;   // which fields to write
};

// Writes deletions, updates and appended rows in one transaction: afterwards the file holds
// either all of them or none. Throws Exception on failure.
void WriteChanges(const std::string& path, const std::vector<FieldDef>& fields,
                  const std::vector<std::int64_t>& deleted, const std::vector<Update>& updated,
                  const std::vector<const Row*>& appended);

// Writes a new file with these fields and rows, in place of PATH once it is complete.
void Create(const std::string& path, const std::vector<FieldDef>& fields,
            const std::vector<Row>& rows);

// Checks that a field list is valid for a table file (names, types, sizes). Throws otherwise.
void CheckFields(const std::vector<FieldDef>& fields);

}  // namespace tablefile
