#pragma once
// The table-file format: an SQLite database holding the field list and the records
// (docs/table-files.md). Only the table store and tabletool reach files through here.

#include "Fields.h"
#include "TableContents.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tablefile {

// Reads a whole table file. Throws FileInUse when another program holds the file locked, and
// Exception for a missing file, a file that is not ours, of
// another version, with another schema or with extra objects, or with values that do not fit.
// With DEFER_BLOBS the blob fields' bytes stay in the file (each value that is not null comes as
// Value::Deferred(), its size and type checked), to be read by ReadDeferred when shown: a bank
// with a picture on every question opens without holding every picture in memory.
Contents Read(const std::string& path, bool deferBlobs = false);

// Read(PATH, true), shared within the process, with the structural check left to the first
// write-back of the version (WriteChanges): while the file's version is the one an earlier
// read (or a write-back of this process, see Keep) left, the same image comes back without the
// file being read again; only the version is checked, under SQLite's lock. The image is kept on
// disk too (KeptImage.h), so that the first opening after start-up finds it there while the file
// is at that version. Throws as Read.
std::shared_ptr<const Contents> ReadShared(const std::string& path);
// Makes CONTENTS the image of PATH at VERSION, in the process and on disk: what a write-back of
// this process left in the file.
void Keep(const std::string& path, const Version& version, Contents contents);
// Drops every image of the process, once those still to write are on disk: the next opening of
// each file goes as in a process just started, to the image kept on disk. EVEN_KEPT: those go too, and the file is read, as on the
// first start ever.
void ForgetImages(bool evenKept = false);
// How many times this process has read a table file whole (Read, and ReadShared when its image
// was missing or out of date).
std::uint64_t WholeReads();

// The bytes of blob FIELD of record ID, deferred by Read. READ_AS is the file as the caller read
// it; when it has been written since, the text fields of AS_READ (the record as the caller
// holds it) that were read and that DIRTY does not mark (DIRTY empty: none) must still stand in
// the file, so that a file replaced since shows no other record's picture. Throws
// Exception otherwise.
std::string ReadDeferred(const std::string& path, const std::vector<FieldDef>& fields, std::int64_t id,
                         std::size_t field, const Row& asRead, const std::vector<bool>& dirty, const Stamp& readAs);

struct Update {
    std::int64_t id;
    const Row* row;
    std::vector<bool> dirty;   // which fields to write
};

// One file's deletions, updates and appended rows, and the stamp of the file as read.
struct Changes {
    std::string path;
    const std::vector<FieldDef>* fields;
    std::vector<std::int64_t> deleted;
    std::vector<Update> updated;
    std::vector<const Row*> appended;
    Stamp readAs;
};

// What a write-back left in one file: the ids SQLite gave the appended rows, in order, and the
// file's version right after the commit when no other write came between (else none).
struct Written {
    std::vector<std::int64_t> appendedIds;
    std::optional<Version> version;
};

// Writes the changes of every file in one transaction: afterwards the files hold either all of
// them or none. Every file's stamp and field list, and its structure unless this process
// checked that version of it before, are checked before anything is written; a file
// whose stamp is no longer the one read (replaced or changed since: the record ids would name
// other records) gets nothing, and then neither does any other. Throws Exception on failure,
// FileInUse when another program holds a file locked.
std::vector<Written> WriteChanges(const std::vector<Changes>& files);

// Writes a new file with these fields and rows, in place of PATH once it is complete.
void Create(const std::string& path, const std::vector<FieldDef>& fields,
            const std::vector<Row>& rows);

}  // namespace tablefile
