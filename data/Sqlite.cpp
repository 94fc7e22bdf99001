#include "Sqlite.h"

#include "Exception.h"

#include <sqlite3.h>

namespace sqlite {

bool Busy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

Connection::Connection(const std::string& path, int flags, int maxValueBytes, int busyMilliseconds, Words words,
                       const std::string& uri)
    : path_(path), words_(std::move(words))
{
    const int rc = sqlite3_open_v2(uri.empty() ? path.c_str() : uri.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw Exception(words_.open + ": " + path + " (" + msg + ")");
    }
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, maxValueBytes);
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_busy_timeout(db_, busyMilliseconds);
}

Connection::~Connection() { sqlite3_close_v2(db_); }

void Connection::Exec(const std::string& sql, const std::string& what)
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(what);
}

int Connection::Changes() const { return sqlite3_changes(db_); }

std::int64_t Connection::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

Statement::Statement(const Connection& db, const std::string& sql) : db_(db)
{
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
        db.Fail(db.words().read);
}

Statement::~Statement() { sqlite3_finalize(st_); }

bool Statement::Step()
{
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        db_.Fail(db_.words().step);
    return false;
}

void Statement::Run()
{
    while (Step()) {
    }
}

void Statement::Reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

Statement& Statement::Check(int rc)
{
    if (rc != SQLITE_OK)
        db_.Fail(db_.words().write);
    return *this;
}

Statement& Statement::Bind(int i, std::int64_t v) { return Check(sqlite3_bind_int64(st_, i, v)); }

Statement& Statement::Bind(int i, const std::string& text)
{
    return Check(sqlite3_bind_text(st_, i, text.data(), int(text.size()), SQLITE_TRANSIENT));
}

Statement& Statement::BindBlob(int i, const std::string& bytes)
{
    return Check(sqlite3_bind_blob64(st_, i, bytes.data(), bytes.size(), SQLITE_STATIC));
}

Statement& Statement::BindNull(int i) { return Check(sqlite3_bind_null(st_, i)); }

Statement& Statement::BindDouble(int i, double v) { return Check(sqlite3_bind_double(st_, i, v)); }

std::int64_t Statement::Int(int i) const { return sqlite3_column_int64(st_, i); }

std::optional<int> Statement::OptInt(int i) const
{
    if (IsNull(i))
        return std::nullopt;
    return int(sqlite3_column_int64(st_, i));
}

std::string Statement::Text(int i) const
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return t ? std::string(t, std::size_t(sqlite3_column_bytes(st_, i))) : std::string();
}

std::string_view Statement::TextView(int i) const
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return t ? std::string_view(t, std::size_t(sqlite3_column_bytes(st_, i))) : std::string_view();
}

bool Statement::IsNull(int i) const { return sqlite3_column_type(st_, i) == SQLITE_NULL; }

double Statement::Double(int i) const { return sqlite3_column_double(st_, i); }

Transaction::Transaction(Connection& db) : db_(&db) { db.Exec("BEGIN IMMEDIATE", db.words().write); }

Transaction::~Transaction()
{
    if (db_)
        sqlite3_exec(db_->get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    db_->Exec("COMMIT", db_->words().write);
    db_ = nullptr;
}

}  // namespace sqlite
