#pragma once
// What the question search is measured against, side by side in the same run.

#include "BenchData.h"
#include "LiteralSearch.h"

#include <cstdint>
#include <string>

class Table;
struct sqlite3;
struct sqlite3_stmt;

namespace peers {

// The same selection as a prepared SQLite query on a copy of the bank file with an index on
// Nani: the lowest settled count reachable, then the highest difficulty at that limit, then the
// first question stored there.
class SqliteSearch {
public:
    // Copies BANKFILE into the scratch folder and adds the index to the copy.
    explicit SqliteSearch(const std::string& bankFile);
    ~SqliteSearch();
    SqliteSearch(const SqliteSearch&) = delete;
    SqliteSearch& operator=(const SqliteSearch&) = delete;

    struct Result {
        bool found = false;
        int level = 0;
        int filterLimit = 0;
        int passLimit = 0;      // after the search, as the drill keeps it
        std::string bango;      // the question that becomes current
    };
    Result Find(int start, int passLimit);
    // The query plan, one line per step, for the record.
    std::string Plan();

private:
    std::string path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};

// The memory-bandwidth floor: one pass over three int32 columns (Nani, NKaisu, KariHon),
// counting the questions a pass at START could reach and their lowest settled count.
struct ScanResult {
    std::int64_t eligible = 0;
    std::int32_t lowest = 0;
};
ScanResult ColumnScan(const benchdata::SearchColumns& c, int start);

// The drill's search computed over the same three columns instead of the table's rows: what
// the search would cost if the table store kept its integer fields in columns.
struct ColumnSearchResult {
    bool found = false;
    int level = 0;
    int filterLimit = 0;
    std::size_t first = 0;   // stored position of the question found
};
ColumnSearchResult ColumnSearch(const benchdata::SearchColumns& c, int start, int passLimit);

}  // namespace peers
