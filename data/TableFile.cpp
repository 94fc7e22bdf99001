#include "TableFile.h"

#include "Exception.h"
#include "KeptImage.h"
#include "Sqlite.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <list>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace tablefile {
namespace {

constexpr int kApplicationId = 1280590412;   // 0x4C54424C
constexpr int kFormatVersion = 1;
// Larger values are refused before they are read into memory: no field of ours needs more.
constexpr int kMaxValueBytes = 64 * 1024 * 1024;

const char* const kMissing = "データプロバイダ/パケットがありません";

// Names and schema names here are ours or checked identifiers: no quote inside.
std::string Quote(const std::string& name) { return "\"" + name + "\""; }
std::string Literal(const std::string& text) { return "'" + text + "'"; }

class Db : public sqlite::Connection {
public:
    // A table file may come from anywhere: opened hardened.
    Db(const std::string& path, int flags)
        : Connection(path, flags, kMaxValueBytes, 2000,
                     {"テーブルファイルを開けません", "テーブルファイルを読めません",
                      "テーブルファイルの読み書きに失敗しました", "テーブルファイルに書き込めません"})
    {
    }
    // SQLITE_BUSY and SQLITE_LOCKED: another program holds the file for the moment (after the
    // busy timeout). Said as such, so that the start-up does not take the file for a missing one.
    [[noreturn]] void Fail(const std::string& what) const override
    {
        if (sqlite::Busy(sqlite3_extended_errcode(get())))
            throw FileInUse("データファイルが、ほかのプログラムで使用中のため使えません。しばらくしてから、もう一度始めてください。: " + path());
        throw Exception(what + ": " + path() + " (" + sqlite3_errmsg(get()) + ")");
    }
};

using Stmt = sqlite::Statement;

// SQLite's file change counter, header bytes 24 to 27, read through the connection's own file
// handle of SCHEMA; the caller holds a lock, so no other writer can change it meanwhile.
std::uint32_t ChangeCounter(Db& db, const std::string& schema = "main")
{
    sqlite3_file* file = nullptr;
    unsigned char b[4] = {};
    if (sqlite3_file_control(db.get(), schema.c_str(), SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods || file->pMethods->xRead(file, b, 4, 24) != SQLITE_OK)
        db.Fail("テーブルファイルを読めません");
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

[[noreturn]] void NotOurs(const std::string& path, const std::string& why)
{
    throw Exception("テーブルファイルではないか、壊れています: " + path + " (" + why + ")");
}

int PragmaInt(Db& db, const char* pragma)
{
    Stmt st(db, std::string("PRAGMA ") + pragma);
    return st.Step() ? sqlite3_column_int(st.get(), 0) : 0;
}

std::string Column(sqlite3_stmt* st, int i)
{
    const auto* t = sqlite3_column_text(st, i);
    return t ? reinterpret_cast<const char*>(t) : "";
}

// A text or blob column's exact bytes.
std::string Bytes(sqlite3_stmt* st, int i)
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(st, i));
    return data ? std::string(data, std::size_t(sqlite3_column_bytes(st, i))) : std::string();
}

const char* ColumnType(FieldType t) { return t == FieldType::Integer ? "INTEGER" : "BLOB"; }

// Checks the header and the schema of the database SCHEMA ("main", or an attached one), and
// returns the declared fields.
std::vector<FieldDef> ReadSchema(Db& db, const std::string& path, const std::string& schema = "main")
{
    const std::string in = Quote(schema) + ".";
    if (PragmaInt(db, (in + "application_id").c_str()) != kApplicationId)
        NotOurs(path, "application_id が違います");
    if (PragmaInt(db, (in + "user_version").c_str()) != kFormatVersion)
        NotOurs(path, "形式の版が違います");

    // Exactly our two tables and the index of the UNIQUE constraint; nothing else (no
    // triggers, views or further indices, which could run code or change what is read).
    {
        Stmt st(db, "SELECT type, name, tbl_name FROM " + in + "sqlite_schema ORDER BY name");
        std::set<std::string> seen;
        while (st.Step()) {
            const std::string type = Column(st.get(), 0), name = Column(st.get(), 1);
            const bool ours = (type == "table" && (name == "fields" || name == "records")) ||
                              (type == "index" && name == "sqlite_autoindex_fields_1");
            if (!ours)
                NotOurs(path, "余分な " + type + " '" + name + "' があります");
            seen.insert(name);
        }
        if (!seen.count("fields") || !seen.count("records"))
            NotOurs(path, "表がありません");
    }
    {
        // table_xinfo, unlike table_info, also lists generated columns, which are not ours.
        Stmt st(db, "SELECT name, type, pk, hidden FROM pragma_table_xinfo('fields', " + Literal(schema) + ") ORDER BY cid");
        const char* expected[][2] = {{"position", "INTEGER"}, {"name", "TEXT"}, {"type", "TEXT"}, {"size", "INTEGER"}};
        int i = 0;
        while (st.Step()) {
            if (i >= 4 || Column(st.get(), 0) != expected[i][0] || Column(st.get(), 1) != expected[i][1] ||
                sqlite3_column_int(st.get(), 3) != 0)
                NotOurs(path, "fields 表の形が違います");
            ++i;
        }
        if (i != 4)
            NotOurs(path, "fields 表の形が違います");
    }

    std::vector<FieldDef> fields;
    {
        Stmt st(db, "SELECT position, name, type, size, typeof(position), typeof(name), typeof(type), typeof(size) FROM " + in + "fields ORDER BY position");
        std::set<std::string> names;
        while (st.Step()) {
            if (Column(st.get(), 4) != "integer" || Column(st.get(), 5) != "text" ||
                Column(st.get(), 6) != "text" || Column(st.get(), 7) != "integer")
                NotOurs(path, "項目の定義が正しくありません");
            const auto position = sqlite3_column_int64(st.get(), 0);
            FieldDef f;
            f.name = Column(st.get(), 1);
            const auto type = FieldTypeFromName(Column(st.get(), 2));
            const auto size = sqlite3_column_int64(st.get(), 3);
            if (position != std::int64_t(fields.size()) || !IsFieldName(f.name) || !type ||
                !names.insert(f.name).second)
                NotOurs(path, "項目の定義が正しくありません");
            f.type = *type;
            if (f.type == FieldType::Text ? (size < 1 || size > 65535) : size != 0)
                NotOurs(path, "項目 " + f.name + " の大きさが正しくありません");
            f.size = int(size);
            fields.push_back(std::move(f));
        }
        if (fields.empty())
            NotOurs(path, "項目がありません");
    }
    {
        Stmt st(db, "SELECT name, type, pk, hidden FROM pragma_table_xinfo('records', " + Literal(schema) + ") ORDER BY cid");
        std::size_t i = 0;
        while (st.Step()) {
            const std::string name = Column(st.get(), 0), type = Column(st.get(), 1);
            if (sqlite3_column_int(st.get(), 3) != 0)
                NotOurs(path, "records 表に生成列 " + name + " があります");
            if (i == 0) {
                if (name != "id" || type != "INTEGER" || sqlite3_column_int(st.get(), 2) != 1)
                    NotOurs(path, "records 表の形が違います");
            } else if (i > fields.size() || name != fields[i - 1].name || type != ColumnType(fields[i - 1].type)) {
                NotOurs(path, "records 表の列が項目の定義と合いません");
            }
            ++i;
        }
        if (i != fields.size() + 1)
            NotOurs(path, "records 表の列が項目の定義と合いません");
    }
    return fields;
}

// The file's field list is FIELDS, name and type, position by position (sizes may differ: a text
// is cut to its field's size when it is set).
bool SameFields(Db& db, const std::string& path, const std::vector<FieldDef>& fields,
                const std::string& schema = "main")
{
    const std::vector<FieldDef> stored = ReadSchema(db, path, schema);
    return std::equal(stored.begin(), stored.end(), fields.begin(), fields.end(),
                      [](const FieldDef& a, const FieldDef& b) { return a.name == b.name && a.type == b.type; });
}

// The record id, then one column per field. A deferred blob field gives only its size: SQLite
// tells a blob's length without reading it, and a text's (not ours, but possible in a file
// from elsewhere) as a blob's; anything else comes as -1.
std::string SelectList(const std::vector<FieldDef>& fields, bool deferBlobs = false)
{
    std::string cols = "id";
    for (const auto& f : fields) {
        const std::string q = Quote(f.name);
        if (deferBlobs && f.type == FieldType::Blob)
            cols += ", CASE typeof(" + q + ") WHEN 'null' THEN NULL WHEN 'blob' THEN length(" + q +
                    ") WHEN 'text' THEN length(CAST(" + q + " AS BLOB)) ELSE -1 END";
        else
            cols += ", " + q;
    }
    return cols;
}

// The value of column COL of ST for field F, checked as the table store needs it.
Value TakeValue(sqlite3_stmt* st, int col, const FieldDef& f, const std::string& path)
{
    const int type = sqlite3_column_type(st, col);
    if (type == SQLITE_NULL)
        return Value::Null();
    if (f.type == FieldType::Integer) {
        const auto x = sqlite3_column_int64(st, col);
        if (type != SQLITE_INTEGER || x < std::numeric_limits<std::int32_t>::min() ||
            x > std::numeric_limits<std::int32_t>::max())
            NotOurs(path, "項目 " + f.name + " に 32 ビットの整数でない値があります");
        return Value(int(x));
    }
    if (type != SQLITE_BLOB && type != SQLITE_TEXT)
        NotOurs(path, "項目 " + f.name + " に文字列でない値があります");
    std::string bytes = Bytes(st, col);
    if (f.type == FieldType::Text && bytes.size() > std::size_t(f.size))
        NotOurs(path, "項目 " + f.name + " の値が長すぎます");
    return Value(std::move(bytes));
}

[[noreturn]] void TooBig(const std::string& path)
{
    // The words SQLite itself uses when a value passes the length limit.
    throw Exception("テーブルファイルの読み書きに失敗しました: " + path + " (string or blob too big)");
}

void Bind(Stmt& st, int index, const FieldDef& f, const Value& v)
{
    if (v.deferred)   // its bytes were never read: nothing could be written
        throw Exception("読み込んでいない値は書き込めません: 項目 " + f.name);
    if (v.null)
        st.BindNull(index);
    else if (f.type == FieldType::Integer)
        st.Bind(index, std::int64_t(v.integer));
    else
        st.BindBlob(index, v.bytes);
}

void CreateSchema(Db& db, const std::vector<FieldDef>& fields)
{
    std::string records = "CREATE TABLE records (id INTEGER PRIMARY KEY";
    for (const auto& f : fields)
        records += ", " + Quote(f.name) + " " + ColumnType(f.type);
    records += ")";
    db.Exec("PRAGMA application_id = " + std::to_string(kApplicationId) +
                "; PRAGMA user_version = " + std::to_string(kFormatVersion) + ";"
                "CREATE TABLE fields (position INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
                " type TEXT NOT NULL CHECK (type IN ('integer', 'text', 'blob')), size INTEGER NOT NULL);" +
                records,
            "テーブルファイルを作れません");
    Stmt st(db, "INSERT INTO fields (position, name, type, size) VALUES (?, ?, ?, ?)");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        st.Bind(1, std::int64_t(i)).Bind(2, fields[i].name).Bind(3, std::string(FieldTypeName(fields[i].type)));
        st.Bind(4, std::int64_t(fields[i].size));
        st.Step();
        st.Reset();
    }
}

std::string InsertSql(const std::vector<FieldDef>& fields, const std::string& table = "records")
{
    std::string cols, params;
    for (const auto& f : fields) {
        cols += (cols.empty() ? "" : ", ") + Quote(f.name);
        params += params.empty() ? "?" : ", ?";
    }
    return "INSERT INTO " + table + " (" + cols + ") VALUES (" + params + ")";
}

void FileExists(const std::string& path)
{
    std::error_code ec;
    // A NUL byte would cut the name short at the system call, naming another file.
    if (path.empty() || path.find('\0') != std::string::npos || !std::filesystem::is_regular_file(path, ec))
        throw Exception(kMissing);
}

}  // namespace

namespace {

std::atomic<std::uint64_t> wholeReads{0};

// Opens PATH for reading in a read transaction: the caller's first statement takes SQLite's
// shared lock, held until the connection goes.
std::unique_ptr<Db> OpenForReading(const std::string& path)
{
    FileExists(path);
    // Read-write, so that a journal left by an interrupted write-back is rolled back before
    // reading; a write-protected file is opened read-only by SQLite itself.
    auto db = std::make_unique<Db>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    {
        // A file left in WAL mode by another tool would be converted at write-back, which raises
        // its change counter: it would never again look like the file read. Converted here,
        // before the stamp is taken; a file that stays in WAL mode is refused now, not at 終了.
        Stmt mode(*db, "PRAGMA journal_mode = DELETE");
        if (!mode.Step() || Column(mode.get(), 0) != "delete")
            throw Exception("テーブルファイルを書き込める形に直せないため、使えません (WAL): " + path);
    }
    Stmt begin(*db, "BEGIN");
    begin.Step();
    return db;
}

// SQLite's own check of the structure of the database SCHEMA: a damaged file can give records
// twice or out of order, and a write-back into it could land anywhere. It visits every page, a
// picture's overflow pages too.
void CheckStructure(Db& db, const std::string& path, const std::string& schema = "main")
{
    bool ok = false;
    try {
        Stmt check(db, "PRAGMA " + Quote(schema) + ".quick_check(1)");
        ok = check.Step() && Column(check.get(), 0) == "ok";
    } catch (const FileInUse&) {
        throw;
    } catch (const Exception&) {
        ok = false;   // SQLite stopped at the damage itself
    }
    if (!ok)
        NotOurs(path, "ファイルの構造が壊れています");
}

// The versions of files whose structure this process has checked, or left by a write-back
// into a checked file: a write-back into one of them needs no check again. A handful, as the
// images.
class CheckedVersions {
public:
    bool Has(const std::string& path, const Version& version)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::find(list_.begin(), list_.end(), std::make_pair(path, version)) != list_.end();
    }
    void Put(const std::string& path, const Version& version)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::erase_if(list_, [&](const auto& e) { return e.first == path; });
        list_.emplace_front(path, version);
        if (list_.size() > 8)
            list_.pop_back();
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        list_.clear();
    }

private:
    std::mutex mutex_;
    std::list<std::pair<std::string, Version>> list_;
};
CheckedVersions& Checked()
{
    static CheckedVersions* const checked = new CheckedVersions;   // outlives the exit hook's write-back
    return *checked;
}

// The whole file, in the read transaction of DB. CHECK: the structure is checked first (see
// ReadShared for when it is not).
Contents ReadOpen(Db& db, const std::string& path, bool deferBlobs, bool check = true)
{
    ++wholeReads;
    Contents c;
    try {
        c.fields = ReadSchema(db, path);
        if (check)
            CheckStructure(db, path);
        Stmt st(db, "SELECT " + SelectList(c.fields, deferBlobs) + " FROM records ORDER BY id");
        const int n = int(c.fields.size());
        while (st.Step()) {
            const std::int64_t id = sqlite3_column_int64(st.get(), 0);
            if (!c.ids.empty() && id <= c.ids.back())
                NotOurs(path, "レコードの番号が重複しています");
            // SQLite gives our records ids from 1 on; the table store marks a record not yet
            // stored with 0, and a stored 0 would be written back twice and never deleted.
            if (id < 1)
                NotOurs(path, "レコードの番号が正しくありません");
            c.ids.push_back(id);
            Row row(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                const FieldDef& f = c.fields[std::size_t(i)];
                const int type = sqlite3_column_type(st.get(), i + 1);
                Value& v = row[std::size_t(i)];
                if (type == SQLITE_NULL)
                    continue;
                if (deferBlobs && f.type == FieldType::Blob) {
                    const auto bytes = sqlite3_column_int64(st.get(), i + 1);
                    if (bytes < 0)
                        NotOurs(path, "項目 " + f.name + " に文字列でない値があります");
                    if (bytes > kMaxValueBytes)
                        TooBig(path);
                    // An empty picture has no bytes to leave in the file: it reads as the
                    // empty value, which tells it from a picture that is there.
                    v = bytes == 0 ? Value(std::string()) : Value::Deferred();
                } else {
                    v = TakeValue(st.get(), i + 1, f, path);
                }
            }
            c.rows.push_back(std::move(row));
        }
        c.stamp = {ChangeCounter(db), c.ids.empty() ? 0 : c.ids.back()};
    } catch (...) {
        sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
    return c;
}

// The identity part of a file's version; none when it cannot be had.
std::optional<Version> Identity(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    Version v;
    v.device = std::uint64_t(st.st_dev);
    v.inode = std::uint64_t(st.st_ino);
    v.size = std::int64_t(st.st_size);
    v.modifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return v;
}

// The images of the files read last, the most recent first. A handful: a drill's three files,
// the exam's two, and room for a second data directory. Never destroyed, so that the tables
// written back at exit still find it.
struct Image {
    std::string path;
    Version version;
    std::shared_ptr<const Contents> contents;
};
struct Images {
    std::mutex mutex;
    std::list<Image> list;
    static constexpr std::size_t kMax = 8;

    std::shared_ptr<const Contents> Find(const std::string& path, const Version& version)
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = list.begin(); it != list.end(); ++it)
            if (it->path == path && it->version == version) {
                list.splice(list.begin(), list, it);
                return it->contents;
            }
        return nullptr;
    }
    void Put(const std::string& path, const Version& version, std::shared_ptr<const Contents> contents)
    {
        std::lock_guard<std::mutex> lock(mutex);
        list.remove_if([&](const Image& i) { return i.path == path; });
        list.push_front({path, version, std::move(contents)});
        if (list.size() > kMax)
            list.pop_back();
    }
};
Images& SharedImages()
{
    static Images* const images = new Images;
    return *images;
}

}  // namespace

Contents Read(const std::string& path, bool deferBlobs)
{
    const auto db = OpenForReading(path);
    return ReadOpen(*db, path, deferBlobs);
}

std::shared_ptr<const Contents> ReadShared(const std::string& path)
{
    const std::optional<Version> before = Identity(path);
    const auto db = OpenForReading(path);
    PragmaInt(*db, "application_id");   // takes the shared lock: no write can come between
    std::optional<Version> version = Identity(path);
    // Trusted only when nothing replaced or touched the file since it was looked at first (a
    // journal rolled back by this opening changes it too).
    if (version && before && *version == *before)
        version->changeCounter = ChangeCounter(*db);
    else
        version.reset();
    if (version) {
        if (auto image = SharedImages().Find(path, *version)) {
            sqlite3_exec(db->get(), "COMMIT", nullptr, nullptr, nullptr);
            return image;
        }
        // The first opening after start-up: the image an earlier run kept, read under the lock.
        if (auto kept = ReadKeptImage(path, *version)) {
            sqlite3_exec(db->get(), "COMMIT", nullptr, nullptr, nullptr);
            if (kept->checked)
                Checked().Put(path, *version);
            auto image = std::make_shared<const Contents>(std::move(kept->contents));
            SharedImages().Put(path, *version, image);
            return image;
        }
    }
    // The structural check is left to the first write-back of this version of the file
    // (WriteChanges): it visits every page, pictures' overflow pages too, which costs more than
    // the rest of the reading, and a damaged file does no harm until something is written into
    // it. Reading itself refuses records out of order, and SQLite what it cannot read.
    auto contents = std::make_shared<const Contents>(ReadOpen(*db, path, true, false));
    if (version) {
        SharedImages().Put(path, *version, contents);
        WriteKeptImage(path, *version, contents, false);
    }
    return contents;
}

void Keep(const std::string& path, const Version& version, Contents contents)
{
    auto image = std::make_shared<const Contents>(std::move(contents));
    SharedImages().Put(path, version, image);
    WriteKeptImage(path, version, image, Checked().Has(path, version));
}

void ForgetImages(bool evenKept)
{
    // As a process that ended: what it kept is on disk.
    WaitForKeptImages();
    {
        Images& images = SharedImages();
        std::lock_guard<std::mutex> lock(images.mutex);
        images.list.clear();
    }
    if (evenKept) {
        Checked().Clear();
        RemoveKeptImages();
    }
}

std::uint64_t WholeReads() { return wholeReads.load(); }

namespace {

[[noreturn]] void ChangedSince(const std::string& path)
{
    throw Exception("データファイルが、開いた後でほかから書き換えられたため、読めません: " + path);
}

// Opens PATH for a read of values the table store left in the file, in a read transaction, and
// checks that its fields are still FIELDS. UNCHANGED: no write came since the file was read as
// READ_AS.
std::unique_ptr<Db> OpenForDeferred(const std::string& path, const std::vector<FieldDef>& fields,
                                    const Stamp& readAs, bool& unchanged)
{
    FileExists(path);
    auto db = std::make_unique<Db>(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
    Stmt begin(*db, "BEGIN");
    begin.Step();
    if (!SameFields(*db, path, fields))
        ChangedSince(path);
    unchanged = ChangeCounter(*db) == readAs.changeCounter;
    return db;
}

// The row at ST (a select of SelectList(FIELDS)) is the record AS_READ: its texts that were read
// and that DIRTY does not mark (DIRTY empty: none) stand in it unchanged.
// A file written since it was read (UNCHANGED false) is trusted as far as the texts held tell
// (the question's number among them).
void SameTexts(sqlite3_stmt* st, const std::string& path, const std::vector<FieldDef>& fields, const Row& asRead,
               const std::vector<bool>& dirty, bool unchanged)
{
    if (unchanged)
        return;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].type != FieldType::Text || (!dirty.empty() && dirty[i]) || i >= asRead.size())
            continue;
        const int col = int(i) + 1;
        const bool null = sqlite3_column_type(st, col) == SQLITE_NULL;
        if (null != asRead[i].null || Bytes(st, col) != asRead[i].bytes)
            ChangedSince(path);
    }
}

}  // namespace

std::string ReadDeferred(const std::string& path, const std::vector<FieldDef>& fields, std::int64_t id,
                         std::size_t field, const Row& asRead, const std::vector<bool>& dirty, const Stamp& readAs)
{
    if (field >= fields.size() || fields[field].type != FieldType::Blob)
        ChangedSince(path);
    bool unchanged = false;
    const auto db = OpenForDeferred(path, fields, readAs, unchanged);
    Stmt st(*db, "SELECT " + SelectList(fields) + " FROM records WHERE id = ?");
    st.Bind(1, id);
    if (!st.Step())
        ChangedSince(path);
    SameTexts(st.get(), path, fields, asRead, dirty, unchanged);
    return Bytes(st.get(), int(field) + 1);
}

namespace {

// Writes one file's changes into the database SCHEMA of DB, inside the caller's transaction.
void WriteInto(Db& db, const std::string& schema, const Changes& c, std::vector<std::int64_t>& appendedIds)
{
    const std::string& path = c.path;
    const std::vector<FieldDef>& fields = *c.fields;
    const std::string records = Quote(schema) + ".records";
    // The drill start empties the history: when the deletions take every record, one
    // statement clears the table instead of one per record. (The ids are distinct ids of the
    // file as read, so as many of them as there are records means all of them.)
    bool all = false;
    if (c.deleted.size() >= 64) {
        Stmt count(db, "SELECT count(*) FROM " + records);
        all = count.Step() && sqlite3_column_int64(count.get(), 0) == std::int64_t(c.deleted.size());
    }
    if (all) {
        db.Exec("DELETE FROM " + records, "テーブルファイルに書き込めません");
    } else if (!c.deleted.empty()) {
        Stmt st(db, "DELETE FROM " + records + " WHERE id = ?");
        for (auto id : c.deleted) {
            st.Bind(1, id);
            st.Step();
            st.Reset();
        }
    }
    for (const Update& u : c.updated) {
        std::string sets;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (u.dirty[i])
                sets += (sets.empty() ? "" : ", ") + Quote(fields[i].name) + " = ?";
        if (sets.empty())
            continue;
        Stmt st(db, "UPDATE " + records + " SET " + sets + " WHERE id = ?");
        int p = 1;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (u.dirty[i])
                Bind(st, p++, fields[i], (*u.row)[i]);
        st.Bind(p, u.id);
        st.Step();
    }
    if (!c.appended.empty()) {
        // Past the largest id SQLite picks ids at random, which would put appended records
        // anywhere in stored order.
        Stmt top(db, "SELECT max(id) FROM " + records);
        if (top.Step() && sqlite3_column_int64(top.get(), 0) >
                              std::numeric_limits<std::int64_t>::max() - std::int64_t(c.appended.size()))
            NotOurs(path, "これ以上レコードを追加できません");
        Stmt st(db, InsertSql(fields, records));
        for (const Row* row : c.appended) {
            for (std::size_t i = 0; i < fields.size(); ++i)
                Bind(st, int(i) + 1, fields[i], (*row)[i]);
            st.Step();
            st.Reset();
            appendedIds.push_back(db.LastInsertId());
        }
    }
}

}  // namespace

std::vector<Written> WriteChanges(const std::vector<Changes>& files)
{
    if (files.empty())
        return {};
    for (const Changes& c : files)
        FileExists(c.path);
    // One connection, the other files attached to it: one transaction spans them all, and
    // SQLite commits attached rollback-journal databases together through a super-journal.
    Db db(files[0].path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    sqlite3_limit(db.get(), SQLITE_LIMIT_ATTACHED, int(files.size()) - 1);
    std::vector<std::string> schemas{"main"};
    for (std::size_t i = 1; i < files.size(); ++i) {
        schemas.push_back("f" + std::to_string(i));
        Stmt attach(db, "ATTACH DATABASE ? AS " + schemas.back());
        attach.Bind(1, files[i].path);
        try {
            attach.Step();
        } catch (const FileInUse&) {
            throw;
        } catch (const Exception&) {
            throw Exception("テーブルファイルを開けません: " + files[i].path + " (" + sqlite3_errmsg(db.get()) + ")");
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        // A file left in WAL mode would be committed on its own, outside the super-journal;
        // Read converts such files, so one found here was changed since.
        Stmt mode(db, "PRAGMA " + Quote(schemas[i]) + ".journal_mode = DELETE");
        if (!mode.Step() || Column(mode.get(), 0) != "delete")
            throw Exception("データファイルが、開いた後でほかから書き換えられたため、書き込めません: " + files[i].path);
        db.Exec("PRAGMA " + Quote(schemas[i]) + ".synchronous = FULL", "テーブルファイルに書き込めません");
    }
    sqlite::Transaction tx(db);
    // Every file is checked before any is written: the file may have been replaced or
    // written by another program while it was open, and then its record ids name other records.
    std::vector<std::optional<Version>> identities;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const Changes& c = files[i];
        if (!SameFields(db, c.path, *c.fields, schemas[i]))
            NotOurs(c.path, "項目の定義が変わっています");
        Stmt st(db, "SELECT coalesce(max(id), 0) FROM " + Quote(schemas[i]) + ".records");
        st.Step();
        const Stamp now{ChangeCounter(db, schemas[i]), sqlite3_column_int64(st.get(), 0)};
        if (!(now == c.readAs))
            throw Exception("データファイルが、開いた後でほかから書き換えられたため、書き込めません: " + c.path);
        std::optional<Version> identity = Identity(c.path);
        if (identity)
            identity->changeCounter = now.changeCounter;
        if (!identity || !Checked().Has(c.path, *identity))
            CheckStructure(db, c.path, schemas[i]);
        identities.push_back(identity);
    }
    std::vector<Written> written(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        WriteInto(db, schemas[i], files[i], written[i].appendedIds);
    tx.Commit();

    // The version each file was left at, for the shared images. The write is done: nothing here
    // may fail it. Under a new shared lock, a counter one past the one read means that no other
    // write came between the commit and now, and the same device and inode that no other file
    // took the name.
    try {
        Stmt begin(db, "BEGIN");
        begin.Step();
        for (std::size_t i = 0; i < files.size(); ++i) {
            PragmaInt(db, ("\"" + schemas[i] + "\".application_id").c_str());
            const std::uint32_t counter = ChangeCounter(db, schemas[i]);
            std::optional<Version> now = Identity(files[i].path);
            if (now && identities[i] && now->device == identities[i]->device && now->inode == identities[i]->inode &&
                counter == files[i].readAs.changeCounter + 1) {
                now->changeCounter = counter;
                written[i].version = now;
                Checked().Put(files[i].path, *now);   // SQLite wrote it, from a checked file
            }
        }
    } catch (const std::exception&) {
        for (Written& w : written)
            w.version.reset();
    }
    sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
    return written;
}

void Create(const std::string& path, const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    CheckFields(fields);
    if (path.empty() || path.find('\0') != std::string::npos)
        throw Exception("テーブルファイルを作れません: 名前が正しくありません");
    // Build beside the target and rename over it, so a failure never leaves half a file.
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    std::remove(temp.c_str());
    try {
        {
            Db db(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
            db.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL; BEGIN", "テーブルファイルを作れません");
            CreateSchema(db, fields);
            Stmt st(db, InsertSql(fields));
            for (const Row& row : rows) {
                if (row.size() != fields.size())
                    throw Exception("レコードの項目数が定義と合いません");
                for (std::size_t i = 0; i < fields.size(); ++i)
                    Bind(st, int(i) + 1, fields[i], row[i]);
                st.Step();
                st.Reset();
            }
            db.Exec("COMMIT", "テーブルファイルを作れません");
        }
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (ec)
            throw Exception("テーブルファイルを作れません: " + path + " (" + ec.message() + ")");
    } catch (...) {
        std::remove(temp.c_str());
        throw;
    }
}

}  // namespace tablefile
