#pragma once
// What reading a table file gives, and which version of the file it came from: shared by the
// table-file format (TableFile.h) and the image kept between runs (KeptImage.h).

#include "Fields.h"

#include <cstdint>
#include <vector>

namespace tablefile {

// What a write-back checks to know that the file is still the one that was read: SQLite's file
// change counter (every committed write raises it) and the last record id. A file written by
// someone else since it was read has another counter; one put in its place is told by either.
// Both are read without a scan, so the check costs nothing at the bank's size.
struct Stamp {
    std::uint32_t changeCounter = 0;
    std::int64_t lastId = 0;
    bool operator==(const Stamp&) const = default;
};

struct Contents {
    std::vector<FieldDef> fields;
    std::vector<std::int64_t> ids;   // stored order
    std::vector<Row> rows;
    Stamp stamp;
};

// Which version of a file an image is: SQLite's file change counter (every committed write in
// rollback-journal mode raises it, whoever makes it) and the file's identity on disk (device,
// inode, size, modification time), which tells a file copied or renamed over this one even
// when it carries the same counter.
struct Version {
    std::uint32_t changeCounter = 0;
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedNs = 0;
    bool operator==(const Version&) const = default;
};

}  // namespace tablefile
