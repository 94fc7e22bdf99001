#pragma once
// The settings every connection to a file that may come from anywhere gets (table files, the
// learning record): no trusted schema, no writable-schema tricks, no triggers, views or
// extensions run, no attached databases, bounded values.

struct sqlite3;

namespace sqlite_hardening {

void Apply(sqlite3* db, int maxValueBytes);

}  // namespace sqlite_hardening
