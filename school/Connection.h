#pragma once
// One libpq connection. Values always go as parameters (PQexecParams), never into the SQL text.
// Failures throw: school::Unreachable when the connection is gone, TokenRefused for SQLSTATE
// LV001, Exception otherwise with the server's message.

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;
struct pg_result;

namespace school {

using Param = std::optional<std::string>;   // nullopt: SQL NULL

// A query's rows, as text (bytea columns: their bytes, see Connection::Exec's binary flag).
class Result {
public:
    explicit Result(pg_result* r);
    ~Result();
    Result(Result&& o) noexcept;
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    int Rows() const;
    bool IsNull(int row, int col) const;
    std::string Text(int row, int col) const;
    int Int(int row, int col) const;
    long long Int64(int row, int col) const;
    // How many rows the command changed (INSERT/UPDATE/DELETE).
    int Affected() const;

private:
    pg_result* r_;
};

class Connection {
public:
    // Connects to CONNINFO (a connection string, or empty: libpq's environment). Throws
    // Unreachable.
    explicit Connection(const std::string& conninfo);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool IsOk() const;
    // Runs SQL with PARAMS as text parameters; BINARY_RESULT returns every column in binary
    // (for bytea).
    Result Exec(const std::string& sql, const std::vector<Param>& params = {}, bool binaryResult = false);
    // Runs a script of several statements of our own (migrations): no parameters.
    void ExecScript(const std::string& sql);

private:
    // R, or throws what its failure means.
    Result Checked(pg_result* r);
    pg_conn* c_;
};

}  // namespace school
