#include "SqliteHardening.h"

#include <sqlite3.h>

namespace sqlite_hardening {

void Apply(sqlite3* db, int maxValueBytes)
{
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, maxValueBytes);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
}

}  // namespace sqlite_hardening
