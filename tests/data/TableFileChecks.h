#pragma once
// Shared by the table-store tests: a file's bytes, raw SQL run on a table file (to damage it or
// to play another program writing it), and the check that opening a file is refused.

#include "Exception.h"
#include "Table.h"

#include <QString>
#include <QTest>

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <string>

inline std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Sql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    const std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, msg.c_str());
}

// Opening PATH fails with an Exception whose message holds FRAGMENT; the table stays closed.
inline void ExpectOpenRefused(const std::string& path, const QString& fragment)
{
    Table t;
    t.SetFileName(path);
    try {
        t.Open();
        QFAIL("opened a file that should be refused");
    } catch (const Exception& e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(fragment), e.what());
    }
    QVERIFY(!t.Active());
}
