#pragma once
// Learning records as earlier versions wrote them, made with raw SQL as another program would.

#include <QTest>

#include <sqlite3.h>

#include <string>

// A record as the first version wrote it: two sessions, four answers.
inline const char* const kVersion1Record = R"(
PRAGMA application_id = 1280594507; PRAGMA user_version = 1;
CREATE TABLE sessions(
  id INTEGER PRIMARY KEY, kind TEXT NOT NULL, started_at TEXT NOT NULL, ended_at TEXT,
  level INTEGER, seed INTEGER, score INTEGER, max_score INTEGER, pass_mark INTEGER);
CREATE TABLE answers(
  id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL REFERENCES sessions(id),
  answered_at TEXT NOT NULL, source TEXT NOT NULL, bango TEXT NOT NULL, item INTEGER NOT NULL,
  bunrui INTEGER, answer INTEGER NOT NULL, correct INTEGER NOT NULL, seconds REAL);
INSERT INTO sessions VALUES(1, 'drill', '2026-11-01T08:00:00Z', '2026-11-01T08:20:00Z', 3, NULL, NULL, NULL, NULL);
INSERT INTO sessions VALUES(2, 'mock-honmen', '2026-11-02T08:00:00Z', NULL, NULL, 77, NULL, NULL, NULL);
INSERT INTO answers VALUES(1, 1, '2026-11-01T08:01:00Z', 'bank', '0007', 0, 102, 1, 0, 4.5);
INSERT INTO answers VALUES(2, 1, '2026-11-01T08:02:00Z', 'bank', '0008', 0, 102, 0, 1, NULL);
INSERT INTO answers VALUES(3, 2, '2026-11-02T08:01:00Z', 'bank', '0007', 0, 102, 0, 1, NULL);
INSERT INTO answers VALUES(4, 2, '2026-11-02T08:02:00Z', 'hazard', '0007', 2, 201, 1, 0, NULL);
)";

// Raw SQL on a record file, as another program would run it.
inline void Sql(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open(path.c_str(), &db) == SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    const QString msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(msg));
}

// What version 2 added to a first-version record.
inline const char* const kVersion2Changes = R"(
CREATE TABLE latest(
  source TEXT NOT NULL, bango TEXT NOT NULL, item INTEGER NOT NULL,
  answer_id INTEGER NOT NULL REFERENCES answers(id),
  PRIMARY KEY(source, bango, item)) WITHOUT ROWID;
INSERT INTO latest SELECT source, bango, item, max(id) FROM answers GROUP BY source, bango, item;
ALTER TABLE sessions ADD COLUMN answer_count INTEGER NOT NULL DEFAULT 0;
ALTER TABLE sessions ADD COLUMN correct_count INTEGER NOT NULL DEFAULT 0;
CREATE INDEX answers_by_bunrui ON answers(bunrui, id, correct);
PRAGMA user_version = 2;)";
