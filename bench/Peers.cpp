#include "Peers.h"

#include "Exception.h"
#include "Search.h"
#include "Table.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace peers {

namespace {
void Check(sqlite3* db, int rc, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw Exception(std::string(what) + ": " + sqlite3_errmsg(db));
}

// One statement: the lowest settled count among the questions a pass can reach, raised to
// the current limit; the highest difficulty reachable at that limit; the first question stored
// at that difficulty. ?1 start level, ?2 lowest level of a pass, ?3 pass limit.
const char* const kQuery =
    "WITH lim(k) AS (SELECT max(?3, min(NKaisu)) FROM records"
    "                WHERE Nani BETWEEN ?2 AND ?1 AND KariHon >= 1),"
    "     lvl(n) AS (SELECT max(Nani) FROM records, lim"
    "                WHERE Nani BETWEEN ?2 AND ?1 AND KariHon >= 1 AND NKaisu <= lim.k)"
    " SELECT records.Bango, lvl.n, lim.k FROM records, lim, lvl"
    " WHERE records.Nani = lvl.n AND KariHon >= 1 AND NKaisu <= lim.k"
    " ORDER BY records.id LIMIT 1";
}  // namespace

SqliteSearch::SqliteSearch(const std::string& bankFile)
{
    path_ = benchdata::ScratchRoot() + "/sqlite-peer-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".db";
    std::filesystem::copy_file(bankFile, path_, std::filesystem::copy_options::overwrite_existing);
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw Exception("cannot open the SQLite copy");
    Check(db_, sqlite3_exec(db_, "CREATE INDEX records_nani ON records(Nani); ANALYZE;", nullptr, nullptr, nullptr),
          "index");
    // A page cache large enough for the index and the rows' first pages, so that warm runs
    // measure the query rather than reads from the file.
    Check(db_, sqlite3_exec(db_, "PRAGMA cache_size = -262144", nullptr, nullptr, nullptr), "cache");
    Check(db_, sqlite3_prepare_v2(db_, kQuery, -1, &st_, nullptr), "prepare");
}

SqliteSearch::~SqliteSearch()
{
    sqlite3_finalize(st_);
    sqlite3_close(db_);
    std::error_code ec;
    std::filesystem::remove(path_, ec);
}

SqliteSearch::Result SqliteSearch::Find(int start, int passLimit)
{
    Result r;
    sqlite3_reset(st_);
    sqlite3_bind_int(st_, 1, start);
    sqlite3_bind_int(st_, 2, start >= 0 ? -1 : start);
    sqlite3_bind_int(st_, 3, passLimit);
    const int rc = sqlite3_step(st_);
    Check(db_, rc, "step");
    if (rc != SQLITE_ROW)
        return r;
    r.found = true;
    const auto* b = static_cast<const char*>(sqlite3_column_blob(st_, 0));
    r.bango.assign(b ? b : "", std::size_t(sqlite3_column_bytes(st_, 0)));
    r.level = sqlite3_column_int(st_, 1);
    r.filterLimit = sqlite3_column_int(st_, 2);
    r.passLimit = r.level < 0 ? r.filterLimit + 1 : r.filterLimit;
    return r;
}

std::string SqliteSearch::Plan()
{
    sqlite3_stmt* st = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, (std::string("EXPLAIN QUERY PLAN ") + kQuery).c_str(), -1, &st, nullptr),
          "plan");
    sqlite3_bind_int(st, 1, 100);
    sqlite3_bind_int(st, 2, -1);
    sqlite3_bind_int(st, 3, 0);
    std::string plan;
    while (sqlite3_step(st) == SQLITE_ROW)
        plan += std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + "; ";
    sqlite3_finalize(st);
    return plan;
}

ScanResult ColumnScan(const benchdata::SearchColumns& c, int start)
{
    const std::int32_t high = start, low = start >= 0 ? -1 : start;
    const std::size_t n = c.nani.size();
    const std::int32_t* nani = c.nani.data();
    const std::int32_t* nkaisu = c.nkaisu.data();
    const std::int32_t* karihon = c.karihon.data();
    std::int64_t eligible = 0;
    std::int32_t lowest = INT_MAX;
    for (std::size_t r = 0; r < n; ++r) {
        const bool ok = karihon[r] >= 1 && nani[r] >= low && nani[r] <= high;
        eligible += ok;
        lowest = std::min(lowest, ok ? nkaisu[r] : INT_MAX);
    }
    return {eligible, lowest};
}

ColumnSearchResult ColumnSearch(const benchdata::SearchColumns& c, int start, int passLimit)
{
    const std::int32_t high = start, low = start >= 0 ? -1 : start;
    const ScanResult scan = ColumnScan(c, start);
    ColumnSearchResult out;
    if (scan.eligible == 0)
        return out;
    const std::int64_t limit = std::max<std::int64_t>(passLimit, scan.lowest);
    std::int32_t level = low - 1;
    std::size_t first = 0;
    for (std::size_t r = 0; r < c.nani.size(); ++r) {
        const std::int32_t n = c.nani[r];
        if (c.karihon[r] >= 1 && n >= low && n <= high && c.nkaisu[r] <= limit && n > level) {
            level = n;
            first = r;
        }
    }
    out.found = true;
    out.level = level;
    out.filterLimit = int(limit);
    out.first = first;
    return out;
}

}  // namespace peers
