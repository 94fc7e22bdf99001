#pragma once
// The SQLite plumbing shared by the table files and the learning record: a connection opened
// with the settings every file from anywhere gets, statements that throw Exception with the
// words of the file they belong to, and a write transaction that rolls back unless committed.

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlite {

// What a pupil reads when something fails, for one kind of file.
struct Words {
    std::string open;    // the file cannot be opened
    std::string read;    // a statement cannot be prepared
    std::string step;    // a statement fails while it runs
    std::string write;   // a value cannot be bound, a write transaction cannot begin or commit
};

// True for SQLite's "another connection holds the file" results (after the busy timeout).
bool Busy(int rc);

class Connection {
public:
    // Opens PATH with FLAGS (sqlite3_open_v2's); throws Exception "<open>: PATH (why)". The
    // connection is hardened at once: no trusted schema, no writable-schema tricks, no
    // triggers, views or extensions run, no attached databases, values up to MAXVALUEBYTES.
    // URI, when given, is what SQLite opens instead (a file URI for PATH with parameters);
    // messages still name PATH.
    Connection(const std::string& path, int flags, int maxValueBytes, int busyMilliseconds, Words words,
               const std::string& uri = {});
    virtual ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return db_; }
    const std::string& path() const { return path_; }
    const Words& words() const { return words_; }

    // Throws for the last failure of this connection: FileInUse when another program holds the
    // file, Exception starting with WHAT otherwise. Each kind of file says it in its own way.
    [[noreturn]] virtual void Fail(const std::string& what) const = 0;
    // Runs SQL (one or more statements without results); a failure is Fail(WHAT).
    void Exec(const std::string& sql, const std::string& what);
    // The rows changed by the last statement, and the id of the last inserted row.
    int Changes() const;
    std::int64_t LastInsertId() const;

private:
    sqlite3* db_ = nullptr;
    std::string path_;
    Words words_;
};

class Statement {
public:
    // Prepares SQL; a failure is the connection's Fail(read).
    Statement(const Connection& db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return st_; }
    // True for a row, false when done; a failure is Fail(step).
    bool Step();
    // Steps to the end.
    void Run();
    // Back to the start, bindings cleared, for the next row of a loop.
    void Reset();

    // Binding failures are Fail(write).
    Statement& Bind(int i, std::int64_t v);
    Statement& Bind(int i, const std::string& text);   // as text, every byte
    Statement& BindBlob(int i, const std::string& bytes);  // as a blob; BYTES must outlive the step
    Statement& BindNull(int i);
    template <typename T>
    Statement& Bind(int i, const std::optional<T>& v)
    {
        if (!v)
            return BindNull(i);
        if constexpr (std::is_floating_point_v<T>)
            return BindDouble(i, *v);
        else
            return Bind(i, std::int64_t(*v));
    }

    std::int64_t Int(int i) const;
    std::optional<int> OptInt(int i) const;
    // A text column's bytes, every one (a NUL included).
    std::string Text(int i) const;
    // The same without a copy: valid until the next Step.
    std::string_view TextView(int i) const;
    bool IsNull(int i) const;
    double Double(int i) const;

private:
    Statement& BindDouble(int i, double v);
    Statement& Check(int rc);
    const Connection& db_;
    sqlite3_stmt* st_ = nullptr;
};

// BEGIN IMMEDIATE now; COMMIT by Commit(); ROLLBACK when left without it (an exception passing).
// Beginning or committing fails as Fail(write).
class Transaction {
public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Connection* db_;
};

}  // namespace sqlite
