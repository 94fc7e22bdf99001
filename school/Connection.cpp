#include "Connection.h"

#include "Client.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>

namespace school {

namespace {

std::string Trimmed(const char* s)
{
    std::string t = s ? s : "";
    while (!t.empty() && (t.back() == '\n' || t.back() == ' '))
        t.pop_back();
    return t;
}

}  // namespace

Result::Result(pg_result* r) : r_(r) {}
Result::~Result()
{
    if (r_)
        PQclear(r_);
}
Result::Result(Result&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
int Result::Rows() const { return PQntuples(r_); }
bool Result::IsNull(int row, int col) const { return PQgetisnull(r_, row, col) != 0; }
std::string Result::Text(int row, int col) const
{
    return std::string(PQgetvalue(r_, row, col), static_cast<std::size_t>(PQgetlength(r_, row, col)));
}
int Result::Int(int row, int col) const { return std::atoi(PQgetvalue(r_, row, col)); }
long long Result::Int64(int row, int col) const { return std::atoll(PQgetvalue(r_, row, col)); }
int Result::Affected() const { return std::atoi(PQcmdTuples(r_)); }

Connection::Connection(const std::string& conninfo)
{
    // Defaults the connection string may override (it is expanded in place of dbname, after
    // them): a server that does not answer must not hold a PC for minutes, and a line that goes
    // dead mid-call must end the call, not hang the worker.
    const char* keys[] = {"connect_timeout", "keepalives_idle", "keepalives_interval", "keepalives_count",
                          "tcp_user_timeout", "fallback_application_name", "dbname", nullptr};
    const char* values[] = {"10", "10", "5", "3", "30000", "lentavo", conninfo.c_str(), nullptr};
    c_ = PQconnectdbParams(keys, values, 1);
    if (PQstatus(c_) != CONNECTION_OK) {
        const std::string why = Trimmed(PQerrorMessage(c_));
        PQfinish(c_);
        c_ = nullptr;
        throw Unreachable("学校のサーバーに接続できません / cannot reach the school's server: " + why);
    }
    PQsetClientEncoding(c_, "UTF8");
    // The server's notices ("already exists, skipping") are not for a pupil or a teacher.
    PQsetNoticeProcessor(c_, [](void*, const char*) {}, nullptr);
}

Connection::~Connection()
{
    if (c_)
        PQfinish(c_);
}

bool Connection::IsOk() const { return c_ && PQstatus(c_) == CONNECTION_OK; }

Result Connection::Exec(const std::string& sql, const std::vector<Param>& params, bool binaryResult)
{
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const Param& p : params)
        values.push_back(p ? p->c_str() : nullptr);
    return Checked(PQexecParams(c_, sql.c_str(), static_cast<int>(params.size()), nullptr, values.data(), nullptr,
                                nullptr, binaryResult ? 1 : 0));
}

void Connection::ExecScript(const std::string& sql)
{
    Checked(PQexec(c_, sql.c_str()));
}

Result Connection::Checked(pg_result* raw)
{
    Result r(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    // A broken connection is the server away, whatever the statement was.
    if (PQstatus(c_) != CONNECTION_OK)
        throw Unreachable("学校のサーバーとの接続が切れました / the connection to the school's server was lost: " +
                          Trimmed(PQerrorMessage(c_)));
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = raw ? PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const std::string message = primary ? primary : Trimmed(PQerrorMessage(c_));
    if (state && std::strcmp(state, "LV001") == 0)
        throw TokenRefused(message);
    // The server going down mid-statement (admin shutdown, crash) leaves the connection usable
    // for nothing: report it as away, so that the caller retries.
    if (state && (std::strncmp(state, "57P", 3) == 0 || std::strncmp(state, "08", 2) == 0))
        throw Unreachable("学校のサーバーとの接続が切れました / the connection to the school's server was lost: " + message);
    throw Exception("学校のサーバーがエラーを返しました / the school's server refused: " + message);
}

}  // namespace school
