#include "LearningRecord.h"

#include "Exception.h"
#include "SafeFile.h"
#include "Sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include <unistd.h>

namespace record {
namespace {

// No value of ours comes near this; a hostile file's larger ones are refused while read.
constexpr int kMaxValueBytes = 1024 * 1024;
// Another process holding the record (tabletool's export, a second window) is waited for only
// briefly: an answer is never held up for long.
constexpr int kBusyMilliseconds = 250;

// Version 1, the first sketch: sessions and their answers.
constexpr const char* kVersion1 = R"(
CREATE TABLE sessions(
  id INTEGER PRIMARY KEY, kind TEXT NOT NULL,
  started_at TEXT NOT NULL, ended_at TEXT,
  level INTEGER, seed INTEGER, score INTEGER, max_score INTEGER, pass_mark INTEGER);
CREATE TABLE answers(
  id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL REFERENCES sessions(id),
  answered_at TEXT NOT NULL, source TEXT NOT NULL,
  bango TEXT NOT NULL, item INTEGER NOT NULL,
  bunrui INTEGER, answer INTEGER NOT NULL, correct INTEGER NOT NULL, seconds REAL);
)";

// Version 2: what the queries need to stay fast on a record that only grows. Each statement's
// latest answer and each session's counts are kept up to date by the answer's own transaction,
// so neither query scans the answers; the Bunrui index serves the rate per category.
constexpr const char* kVersion2 = R"(
CREATE TABLE latest(
  source TEXT NOT NULL, bango TEXT NOT NULL, item INTEGER NOT NULL,
  answer_id INTEGER NOT NULL REFERENCES answers(id),
  PRIMARY KEY(source, bango, item)) WITHOUT ROWID;
INSERT INTO latest(source, bango, item, answer_id)
  SELECT source, bango, item, max(id) FROM answers GROUP BY source, bango, item;
ALTER TABLE sessions ADD COLUMN answer_count INTEGER NOT NULL DEFAULT 0;
ALTER TABLE sessions ADD COLUMN correct_count INTEGER NOT NULL DEFAULT 0;
UPDATE sessions SET
  answer_count = (SELECT count(*) FROM answers WHERE session_id = sessions.id),
  correct_count = (SELECT count(*) FROM answers WHERE session_id = sessions.id AND correct <> 0);
CREATE INDEX answers_by_bunrui ON answers(bunrui, id, correct);
)";

// Version 3: the pupil's name and test date, one row at most. It travels with the answers, so the
// schedule toward the test and the printout's name follow the record to any PC.
constexpr const char* kVersion3 = R"(
CREATE TABLE pupil(
  id INTEGER PRIMARY KEY CHECK (id = 1),
  name TEXT, test TEXT, test_date TEXT);
)";

const char* const kSteps[] = {kVersion1, kVersion2, kVersion3};
static_assert(std::size(kSteps) == LearningRecord::kSchemaVersion);

// What each version holds: its objects and every table's columns in order, as SQLite reports
// them. A file with anything else (triggers, views, other tables or columns) is not ours.
struct Shape {
    std::set<std::pair<std::string, std::string>> objects;   // (type, name)
    std::map<std::string, std::vector<std::string>> columns;
};

Shape ShapeOf(int version)
{
    Shape s;
    s.objects = {{"table", "sessions"}, {"table", "answers"}};
    s.columns["sessions"] = {"id", "kind", "started_at", "ended_at", "level", "seed",
                             "score", "max_score", "pass_mark"};
    s.columns["answers"] = {"id", "session_id", "answered_at", "source", "bango", "item",
                            "bunrui", "answer", "correct", "seconds"};
    if (version >= 2) {
        s.objects.insert({{"table", "latest"}, {"index", "answers_by_bunrui"}});
        s.columns["latest"] = {"source", "bango", "item", "answer_id"};
        s.columns["sessions"].push_back("answer_count");
        s.columns["sessions"].push_back("correct_count");
    }
    if (version >= 3) {
        s.objects.insert({"table", "pupil"});
        s.columns["pupil"] = {"id", "name", "test", "test_date"};
    }
    return s;
}

std::string Now()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

class RecordDb : public sqlite::Connection {
public:
    RecordDb(const std::string& path, int flags, const std::string& uri)
        : Connection(path, flags, kMaxValueBytes, kBusyMilliseconds,
                     {"学習記録を開けません", "学習記録を読めません", "学習記録の読み書きに失敗しました",
                      "学習記録に書き込めません"},
                     uri)
    {
    }
    [[noreturn]] void Fail(const std::string& what) const override
    {
        const std::string detail = sqlite3_errmsg(get());
        if (sqlite::Busy(sqlite3_errcode(get())))
            throw FileInUse("学習記録は他のプログラムが使用中です (" + detail + ")");
        throw Exception(what + " (" + detail + ")");
    }
};

using Db = sqlite::Connection;
using Stmt = sqlite::Statement;
using Transaction = sqlite::Transaction;

int PragmaInt(Db& db, const char* pragma)
{
    Stmt st(db, std::string("PRAGMA ") + pragma);
    return st.Step() ? int(st.Int(0)) : 0;
}

[[noreturn]] void NotOurs(const std::string& path, const std::string& why)
{
    throw Exception("学習記録ではないか、壊れています: " + path + " (" + why + ")");
}

void CheckShape(Db& db, const std::string& path, int version)
{
    const Shape expected = ShapeOf(version);
    std::set<std::pair<std::string, std::string>> found;
    Stmt st(db, "SELECT type, name FROM sqlite_schema");
    while (st.Step()) {
        std::pair<std::string, std::string> object{st.Text(0), st.Text(1)};
        if (!expected.objects.count(object))
            NotOurs(path, "余分な " + object.first + " '" + object.second + "' があります");
        found.insert(std::move(object));
    }
    if (found != expected.objects)
        NotOurs(path, "表が足りません");
    for (const auto& [table, columns] : expected.columns) {
        // table_xinfo, unlike table_info, also lists generated columns, which are not ours.
        Stmt cols(db, "SELECT name FROM pragma_table_xinfo(?) ORDER BY cid");
        cols.Bind(1, table);
        std::vector<std::string> names;
        while (cols.Step())
            names.push_back(cols.Text(0));
        if (names != columns)
            NotOurs(path, table + " 表の形が違います");
    }
}

void CheckIntegrity(Db& db, const std::string& path)
{
    Stmt st(db, "PRAGMA quick_check");
    while (st.Step()) {
        if (st.Text(0) != "ok")
            NotOurs(path, st.Text(0));
    }
}

bool IsMockKind(const std::string& kind)
{
    const std::string_view prefix = kMockPrefix;
    return kind.size() > prefix.size() && kind.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(kind.begin() + std::ptrdiff_t(prefix.size()), kind.end(),
                       [](char c) { return c >= 'a' && c <= 'z'; });
}

void ValidateKind(const std::string& kind)
{
    if (kind != kDrill && kind != kPractice && !IsMockKind(kind))
        throw Exception("学習記録に書けない種類のセッションです: " + kind);
}

void ValidateAnswer(const Answer& a)
{
    const bool bank = a.source == kSourceBank, hazard = a.source == kSourceHazard;
    const bool itemOk = (bank && a.item == 0) || (hazard && a.item >= 1 && a.item <= 3);
    if (!itemOk || a.bango.empty() || a.answer < -1 || a.answer > 1 ||
        (a.seconds && !(*a.seconds >= 0)))
        throw Exception("学習記録に書けない解答です: " + a.source + " " + a.bango + " " +
                        std::to_string(a.item));
}

// Each statement's latest answer, through the latest table: one row per statement, never a scan
// of the answers. WHERE narrows it (empty: all).
std::vector<LatestResult> Latest(Db& db, const std::string& where)
{
    Stmt st(db, ("SELECT l.source, l.bango, l.item, a.bunrui, a.correct, a.answered_at "
                 "FROM latest l JOIN answers a ON a.id = l.answer_id " +
                 where + " ORDER BY l.source, l.bango, l.item").c_str());
    std::vector<LatestResult> out;
    while (st.Step())
        out.push_back(LatestResult{st.Text(0), st.Text(1), int(st.Int(2)), st.OptInt(3), st.Int(4) != 0,
                                   st.Text(5)});
    return out;
}

void Upgrade(Db& db, const std::string& path)
{
    for (;;) {
        Transaction tx(db);
        // Read again inside the write lock: another process may have upgraded meanwhile.
        const int current = PragmaInt(db, "user_version");
        if (current >= LearningRecord::kSchemaVersion)
            return;
        if (current > 0)
            CheckShape(db, path, current);
        const int next = current + 1;
        db.Exec(kSteps[next - 1], "学習記録を新しい版にできません");
        if (current == 0)
            db.Exec("PRAGMA application_id=" + std::to_string(LearningRecord::kApplicationId),
                    "学習記録を作れません");
        db.Exec("PRAGMA user_version=" + std::to_string(next), "学習記録を新しい版にできません");
        tx.Commit();
    }
}

void Prepare(Db& db, const std::string& path, bool forReading)
{
    int appId = 0, version = 0;
    bool empty = false;
    try {
        // The first read: SQLite's words for a file that is not a database are not the pupil's.
        appId = PragmaInt(db, "application_id");
        version = PragmaInt(db, "user_version");
        // Nothing of ours yet: a new file, or one whose creation was cut off before its first
        // version was committed (the switch to WAL writes a header before that).
        empty = appId == 0 && version == 0 && PragmaInt(db, "schema_version") == 0;
    } catch (const FileInUse&) {
        throw;
    } catch (const Exception& e) {
        NotOurs(path, e.Message());
    }
    if (!empty) {
        if (appId != LearningRecord::kApplicationId)
            NotOurs(path, "application_id が違います");
        if (version > LearningRecord::kSchemaVersion)
            throw Exception("この学習記録はこのプログラムより新しい版で作られたため開けません: " +
                            path + " (記録の版 " + std::to_string(version) + "、このプログラムは版 " +
                            std::to_string(LearningRecord::kSchemaVersion) + " まで)");
        if (version < 1)
            NotOurs(path, "版がありません");
        CheckShape(db, path, version);
        CheckIntegrity(db, path);
    } else if (forReading) {
        NotOurs(path, "空です");
    }
    if (forReading)
        return;
    // WAL: an answer's commit appends to the log and syncs nothing but the log. NORMAL sync
    // keeps every committed answer across a crash of the program.
    {
        Stmt wal(db, "PRAGMA journal_mode=WAL");
        if (!wal.Step() || wal.Text(0) != "wal")
            NotOurs(path, "WAL にできません");
    }
    db.Exec("PRAGMA synchronous=NORMAL", "学習記録を開けません");
    db.Exec("PRAGMA foreign_keys=ON", "学習記録を開けません");
    Upgrade(db, path);
}

Db& Need(const std::unique_ptr<Db>& db)
{
    if (!db) throw Exception("学習記録が開かれていません");
    return *db;
}

// The three statements that store one answer, prepared once for a run of answers.
struct AnswerWriter {
    explicit AnswerWriter(Db& db)
        : db(db),
          count(db, "UPDATE sessions SET answer_count = answer_count + 1, "
                    "correct_count = correct_count + ? WHERE id = ?"),
          ins(db, "INSERT INTO answers(session_id, answered_at, source, bango, item, bunrui, "
                  "answer, correct, seconds) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          latest(db, "INSERT INTO latest(source, bango, item, answer_id) VALUES(?, ?, ?, ?) "
                     "ON CONFLICT(source, bango, item) DO UPDATE SET answer_id = excluded.answer_id")
    {
    }
    void Insert(std::int64_t session, const Answer& a, const std::string& at)
    {
        ValidateAnswer(a);
        count.Reset();
        count.Bind(1, std::int64_t(a.correct ? 1 : 0)).Bind(2, session);
        count.Run();
        if (db.Changes() != 1)
            throw Exception("学習記録にないセッションです: " + std::to_string(session));
        ins.Reset();
        ins.Bind(1, session).Bind(2, at).Bind(3, a.source).Bind(4, a.bango).Bind(5, std::int64_t(a.item));
        ins.Bind(6, a.bunrui).Bind(7, std::int64_t(a.answer)).Bind(8, std::int64_t(a.correct ? 1 : 0));
        ins.Bind(9, a.seconds);
        ins.Run();
        latest.Reset();
        latest.Bind(1, a.source).Bind(2, a.bango).Bind(3, std::int64_t(a.item));
        latest.Bind(4, db.LastInsertId());
        latest.Run();
    }
    Db& db;
    Stmt count, ins, latest;
};


}  // namespace

LearningRecord::LearningRecord() = default;

LearningRecord::~LearningRecord() { Close(); }

bool LearningRecord::IsOpen() const { return db_ != nullptr; }

int LearningRecord::Version() const { return PragmaInt(Need(db_), "user_version"); }

void LearningRecord::Close() { db_.reset(); }

void LearningRecord::Open(const std::string& path) { OpenFile(path, false); }

void LearningRecord::AllowLongValues()
{
    if (db_)
        sqlite3_limit(db_->get(), SQLITE_LIMIT_LENGTH, std::numeric_limits<int>::max());   // capped at SQLite's own
}

void LearningRecord::OpenForReading(const std::string& path) { OpenFile(path, true); }

namespace {
// PATH as an SQLite file URI that opens it unchanging ("immutable"): no lock and no shared
// memory file, so it is read from a folder or medium where nothing can be created.
std::string ImmutableUri(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static const char hex[] = "0123456789abcdef";
            uri += '%';
            uri += hex[(unsigned char)c >> 4];
            uri += hex[(unsigned char)c & 15];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

// A record in WAL mode is read through its shared-memory file (-shm) beside it. Reading needs no
// such file only where none can be made and no writer is at work: the folder (a teacher's
// account, a read-only mount) takes no new file, there is no -shm a writer made, and no log
// (-wal) holds answers the main file lacks. Such a record cannot change under the reader, and
// is opened immutable. Otherwise it is read as usual, through the writer's -shm when there is one.
bool ReadUnchanging(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path file(path);
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    if (::access(folder.c_str(), W_OK) == 0 || std::filesystem::exists(path + "-shm", ec))
        return false;
    const auto log = std::filesystem::file_size(path + "-wal", ec);
    return ec || log == 0;
}
}  // namespace

void LearningRecord::OpenFile(const std::string& path, bool forReading)
{
    Close();
    // A link planted in the record's place would have the record written wherever it leads, and
    // a pipe would block the first read; SQLite's own files beside it likewise.
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        safefile::CheckPlainOrMissing(path + suffix);
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    const bool unchanging = forReading && ReadUnchanging(path);
    const int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW | (unchanging ? SQLITE_OPEN_URI : 0) |
                      (forReading ? SQLITE_OPEN_READONLY
                                  : SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE));
    auto db = std::make_unique<RecordDb>(path, flags, unchanging ? ImmutableUri(path) : std::string());
    Prepare(*db, path, forReading);
    db_ = std::move(db);
}

std::int64_t LearningRecord::BeginSession(const SessionInfo& info)
{
    ValidateKind(info.kind);
    Stmt st(Need(db_), "INSERT INTO sessions(kind, started_at, level, seed) VALUES(?, ?, ?, ?)");
    st.Bind(1, info.kind).Bind(2, Now()).Bind(3, info.level).Bind(4, info.seed);
    st.Run();
    return db_->LastInsertId();
}

void LearningRecord::AddAnswer(std::int64_t session, const Answer& answer)
{
    AddAnswers(session, {answer});
}

void LearningRecord::AddAnswers(std::int64_t session, const std::vector<Answer>& answers)
{
    Transaction tx(Need(db_));
    const std::string at = Now();
    AnswerWriter writer(*db_);
    for (const Answer& a : answers)
        writer.Insert(session, a, at);
    tx.Commit();
}

void LearningRecord::EndSession(std::int64_t session)
{
    Stmt st(Need(db_), "UPDATE sessions SET ended_at = ? WHERE id = ?");
    st.Bind(1, Now()).Bind(2, session);
    st.Run();
    if (db_->Changes() != 1)
        throw Exception("学習記録にないセッションです: " + std::to_string(session));
}

namespace {
void StoreGrade(Db& db, std::int64_t session, int score, int maxScore, int passMark)
{
    if (maxScore < 1 || score < 0 || score > maxScore || passMark < 0 || passMark > maxScore)
        throw Exception("学習記録に書けない得点です: " + std::to_string(score) + "/" +
                        std::to_string(maxScore));
    Stmt st(db, "UPDATE sessions SET ended_at = ?, score = ?, max_score = ?, pass_mark = ? "
                "WHERE id = ?");
    st.Bind(1, Now()).Bind(2, std::int64_t(score)).Bind(3, std::int64_t(maxScore));
    st.Bind(4, std::int64_t(passMark)).Bind(5, session);
    st.Run();
    if (db.Changes() != 1)
        throw Exception("学習記録にないセッションです: " + std::to_string(session));
}
}  // namespace

void LearningRecord::EndGradedSession(std::int64_t session, int score, int maxScore, int passMark)
{
    StoreGrade(Need(db_), session, score, maxScore, passMark);
}

void LearningRecord::GradeSession(std::int64_t session, const std::vector<Answer>& answers, int score,
                                  int maxScore, int passMark)
{
    Transaction tx(Need(db_));
    const std::string at = Now();
    AnswerWriter writer(*db_);
    for (const Answer& a : answers)
        writer.Insert(session, a, at);
    StoreGrade(*db_, session, score, maxScore, passMark);
    tx.Commit();
}

std::vector<std::int64_t> LearningRecord::Append(const std::vector<SessionSummary>& sessions,
                                                 const std::vector<RecordedAnswer>& answers)
{
    Transaction tx(Need(db_));
    std::vector<std::int64_t> ids;
    ids.reserve(sessions.size());
    Stmt st(*db_, "INSERT INTO sessions(kind, started_at, ended_at, level, seed, score, max_score, pass_mark) "
                  "VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    for (const SessionSummary& s : sessions) {
        ValidateKind(s.kind);
        st.Reset();
        st.Bind(1, s.kind).Bind(2, s.startedAt);
        if (s.endedAt)
            st.Bind(3, *s.endedAt);
        else
            st.BindNull(3);
        st.Bind(4, s.level).Bind(5, s.seed).Bind(6, s.score).Bind(7, s.maxScore).Bind(8, s.passMark);
        st.Run();
        ids.push_back(db_->LastInsertId());
    }
    AnswerWriter writer(*db_);
    for (const RecordedAnswer& a : answers) {
        if (a.session >= ids.size())
            throw Exception("学習記録にないセッションです: " + std::to_string(a.session));
        writer.Insert(ids[a.session], a.answer, a.answeredAt);
    }
    tx.Commit();
    return ids;
}

std::optional<UnfinishedDrill> LearningRecord::LatestUnfinishedDrill() const
{
    Stmt latest(Need(db_), "SELECT id, started_at, ended_at, level, answer_count FROM sessions "
                           "WHERE kind = ? ORDER BY id DESC LIMIT 1");
    latest.Bind(1, std::string(kDrill));
    if (!latest.Step() || !latest.IsNull(2))
        return std::nullopt;
    UnfinishedDrill drill;
    drill.session = latest.Int(0);
    drill.startedAt = latest.Text(1);
    drill.level = latest.OptInt(3);
    // Read backwards from the newest answer and stopped at the session's count: the latest
    // drill's answers are at the end of the log, so the rest of it is never read.
    Stmt st(*db_, "SELECT source, bango, item, bunrui, answer, correct, seconds FROM answers "
                  "WHERE session_id = ? ORDER BY id DESC LIMIT ?");
    st.Bind(1, drill.session).Bind(2, latest.Int(4));
    while (st.Step()) {
        Answer a;
        a.source = st.Text(0);
        a.bango = st.Text(1);
        a.item = int(st.Int(2));
        a.bunrui = st.OptInt(3);
        a.answer = int(st.Int(4));
        a.correct = st.Int(5) != 0;
        a.seconds = st.IsNull(6) ? std::nullopt : std::optional<double>(st.Double(6));
        drill.answers.push_back(std::move(a));
    }
    std::reverse(drill.answers.begin(), drill.answers.end());
    return drill;
}

PupilProfile LearningRecord::Pupil() const
{
    PupilProfile p;
    if (Version() < 3)
        return p;
    Stmt st(*db_, "SELECT name, test, test_date FROM pupil WHERE id = 1");
    if (st.Step()) {
        if (!st.IsNull(0)) p.name = st.Text(0);
        if (!st.IsNull(1)) p.test = st.Text(1);
        if (!st.IsNull(2)) p.testDate = st.Text(2);
    }
    return p;
}

namespace {
int Utf8Chars(const std::string& s)
{
    return int(std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool IsIsoDate(const std::string& d)
{
    if (d.size() != 10 || d[4] != '-' || d[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (d[i] < '0' || d[i] > '9')
            return false;
    const int month = std::stoi(d.substr(5, 2)), day = std::stoi(d.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

void BindText(Stmt& st, int i, const std::optional<std::string>& v)
{
    if (v)
        st.Bind(i, *v);
    else
        st.BindNull(i);
}
}  // namespace

void LearningRecord::SetPupilName(const std::string& name)
{
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (control || Utf8Chars(name) > kMaxNameChars)
        throw Exception("名前は改行などを含まない" + std::to_string(kMaxNameChars) + "文字までにしてください");
    Stmt st(Need(db_), "INSERT INTO pupil(id, name) VALUES(1, ?) "
                       "ON CONFLICT(id) DO UPDATE SET name = excluded.name");
    BindText(st, 1, name.empty() ? std::nullopt : std::optional<std::string>(name));
    st.Run();
}

void LearningRecord::SetTestDate(const std::string& test, const std::string& date)
{
    const bool word = std::all_of(test.begin(), test.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    if (!test.empty() && (!word || !IsIsoDate(date)))
        throw Exception("学習記録に書けない試験日です: " + test + " " + date);
    Stmt st(Need(db_), "INSERT INTO pupil(id, test, test_date) VALUES(1, ?, ?) "
                       "ON CONFLICT(id) DO UPDATE SET test = excluded.test, test_date = excluded.test_date");
    BindText(st, 1, test.empty() ? std::nullopt : std::optional<std::string>(test));
    BindText(st, 2, test.empty() ? std::nullopt : std::optional<std::string>(date));
    st.Run();
}

std::vector<LatestResult> LearningRecord::LatestResults() const { return Latest(Need(db_), ""); }

std::vector<LatestResult> LearningRecord::LatestWrong() const
{
    return Latest(Need(db_), "WHERE a.correct = 0");
}

std::vector<CategoryRate> LearningRecord::RateByCategory(int lastN) const
{
    if (lastN < 1)   // SQLite reads a negative LIMIT as none
        return {};
    // The categories are found by stepping through the Bunrui index (one seek each) rather than
    // numbering every answer: only the last N of each category are ever read.
    Stmt st(Need(db_), R"(
WITH RECURSIVE categories(bunrui) AS (
  SELECT min(bunrui) FROM answers WHERE bunrui IS NOT NULL
  UNION ALL
  SELECT (SELECT min(a.bunrui) FROM answers a WHERE a.bunrui > c.bunrui)
    FROM categories c WHERE c.bunrui IS NOT NULL)
SELECT c.bunrui, count(*), total(a.correct <> 0)
  FROM categories c JOIN answers a
    ON a.id IN (SELECT id FROM answers WHERE bunrui = c.bunrui ORDER BY id DESC LIMIT ?)
 WHERE c.bunrui IS NOT NULL
 GROUP BY c.bunrui ORDER BY c.bunrui)");
    st.Bind(1, std::int64_t(lastN));
    std::vector<CategoryRate> out;
    while (st.Step())
        out.push_back(CategoryRate{int(st.Int(0)), int(st.Int(1)), int(st.Int(2))});
    return out;
}

std::vector<SessionSummary> LearningRecord::Sessions(std::int64_t afterId) const
{
    Stmt st(Need(db_), "SELECT id, kind, started_at, ended_at, level, seed, score, max_score, "
                  "pass_mark, answer_count, correct_count FROM sessions WHERE id > ? ORDER BY id");
    st.Bind(1, afterId);
    std::vector<SessionSummary> out;
    while (st.Step()) {
        SessionSummary s;
        s.id = st.Int(0);
        s.kind = st.Text(1);
        s.startedAt = st.Text(2);
        if (!st.IsNull(3)) s.endedAt = st.Text(3);
        s.level = st.OptInt(4);
        if (!st.IsNull(5)) s.seed = st.Int(5);
        s.score = st.OptInt(6);
        s.maxScore = st.OptInt(7);
        s.passMark = st.OptInt(8);
        s.answers = int(st.Int(9));
        s.correct = int(st.Int(10));
        out.push_back(std::move(s));
    }
    return out;
}

void LearningRecord::ForEachReview(const std::function<void(const Review&)>& visit, std::int64_t afterId) const
{
    Stmt st(Need(db_), "SELECT id, answered_at, source, bango, item, answer, correct FROM answers WHERE id > ? "
                       "ORDER BY id");
    st.Bind(1, afterId);
    Review row;
    while (st.Step()) {
        row.id = st.Int(0);
        row.answeredAt = st.TextView(1);
        row.source = st.TextView(2);
        row.bango = st.TextView(3);
        row.item = int(st.Int(4));
        row.answer = int(st.Int(5));
        row.correct = st.Int(6) != 0;
        visit(row);
    }
}

void LearningRecord::ForEachAnswer(const std::function<void(const AnswerInSession&)>& visit, std::int64_t afterId,
                                   int limit) const
{
    // Columns of the first version only, so that an older record reads as it stands.
    Stmt st(Need(db_), "SELECT a.id, a.session_id, s.kind, s.started_at, s.ended_at, s.level, "
                       "a.answered_at, a.source, a.bango, a.item, a.bunrui, a.answer, a.correct, "
                       "a.seconds FROM answers a JOIN sessions s ON s.id = a.session_id WHERE a.id > ? "
                       "ORDER BY a.id LIMIT ?");
    st.Bind(1, afterId).Bind(2, std::int64_t(limit));
    AnswerInSession row;
    while (st.Step()) {
        row.id = st.Int(0);
        row.session = st.Int(1);
        row.kind = st.Text(2);
        row.sessionStartedAt = st.Text(3);
        row.sessionEndedAt = st.IsNull(4) ? std::nullopt : std::optional<std::string>(st.Text(4));
        row.level = st.OptInt(5);
        row.answeredAt = st.Text(6);
        row.answer.source = st.Text(7);
        row.answer.bango = st.Text(8);
        row.answer.item = int(st.Int(9));
        row.answer.bunrui = st.OptInt(10);
        row.answer.answer = int(st.Int(11));
        row.answer.correct = st.Int(12) != 0;
        row.answer.seconds = st.IsNull(13) ? std::nullopt : std::optional<double>(st.Double(13));
        visit(row);
    }
}

int LearningRecord::CountAnswersAfter(std::int64_t afterId) const
{
    Stmt st(Need(db_), "SELECT count(*) FROM answers WHERE id > ?");
    st.Bind(1, afterId);
    st.Step();
    return int(st.Int(0));
}

}  // namespace record
