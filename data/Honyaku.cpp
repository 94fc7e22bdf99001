#include "Honyaku.h"

#include "Csv.h"
#include "EucJp.h"
#include "Exception.h"
#include "Layouts.h"
#include "SafeFile.h"
#include "Sqlite.h"
#include "TableFile.h"

#include <sqlite3.h>

#include <QCryptographicHash>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace honyaku {
namespace {

namespace field = layouts::field;

// A translation is a statement or an explanation: a few KiB at most. Larger values from a
// hostile file are refused while read.
constexpr int kMaxValueBytes = 256 * 1024;
constexpr int kBusyMilliseconds = 250;

constexpr const char* kSchema = R"(
CREATE TABLE translations(
  lang TEXT NOT NULL, source TEXT NOT NULL, bango TEXT NOT NULL, field TEXT NOT NULL,
  text TEXT NOT NULL, source_hash BLOB NOT NULL,
  PRIMARY KEY(lang, source, bango, field)) WITHOUT ROWID;
)";

const std::vector<std::string> kColumns = {"lang", "source", "bango", "field", "text", "source_hash"};

const char* const kBankFields[] = {field::Mondai, field::Kaisetsu};
// The advice the drill shows under a verdict, keyed by the advice table's level (Nani).
const char* const kAdviceFields[] = {field::Seikai, field::Fuseikai};
const std::vector<std::string>& HazardFields()
{
    static const std::vector<std::string> fields = {
        field::Jokyo,
        field::Part(field::Mondai, 0), field::Part(field::Mondai, 1), field::Part(field::Mondai, 2),
        field::Part(field::Kaisetsu, 0), field::Part(field::Kaisetsu, 1), field::Part(field::Kaisetsu, 2)};
    return fields;
}

class HonyakuDb : public sqlite::Connection {
public:
    HonyakuDb(const std::string& path, int flags)
        : Connection(path, flags, kMaxValueBytes, kBusyMilliseconds,
                     {"翻訳ファイルを開けません", "翻訳ファイルを読めません", "翻訳ファイルの読み書きに失敗しました",
                      "翻訳ファイルに書き込めません"})
    {
    }
    [[noreturn]] void Fail(const std::string& what) const override
    {
        const std::string detail = sqlite3_errmsg(get());
        if (sqlite::Busy(sqlite3_errcode(get())))
            throw FileInUse("翻訳ファイルは他のプログラムが使用中です (" + detail + ")");
        throw Exception(what + " (" + detail + ")");
    }
};

using Stmt = sqlite::Statement;

int PragmaInt(sqlite::Connection& db, const char* pragma)
{
    Stmt st(db, std::string("PRAGMA ") + pragma);
    return st.Step() ? int(st.Int(0)) : 0;
}

[[noreturn]] void NotOurs(const std::string& path, const std::string& why)
{
    throw Exception("翻訳ファイルではないか、壊れています: " + path + " (" + why + ")");
}

// Exactly the one table of the schema, its columns in order: nothing else runs or hides in it.
void CheckShape(sqlite::Connection& db, const std::string& path)
{
    Stmt objects(db, "SELECT type, name FROM sqlite_schema");
    int tables = 0;
    while (objects.Step()) {
        if (objects.Text(0) != "table" || objects.Text(1) != "translations")
            NotOurs(path, "余分な " + objects.Text(0) + " '" + objects.Text(1) + "' があります");
        ++tables;
    }
    if (tables != 1)
        NotOurs(path, "表がありません");
    Stmt cols(db, "SELECT name FROM pragma_table_xinfo('translations') ORDER BY cid");
    std::vector<std::string> names;
    while (cols.Step())
        names.push_back(cols.Text(0));
    if (names != kColumns)
        NotOurs(path, "translations 表の形が違います");
}

std::string Key(const std::string& source, const std::string& bango, const std::string& field)
{
    return source + '\x1f' + bango + '\x1f' + field;
}

std::string Hash(const QByteArray& utf8)
{
    return QCryptographicHash::hash(utf8, QCryptographicHash::Sha256).toStdString();
}

// The texts of one table file's rows: FIELDS of each row, by Bango.
// The texts of FIELDS of every row of C, each under its key: the row's Bango, or for the advice
// table its level (Nani) written as a number.
void AppendTexts(std::vector<SourceText>& out, const tablefile::Contents& c, const char* source,
                 const std::vector<std::string>& fields, const char* keyField = field::Bango)
{
    const auto index = [&](const std::string& name, FieldType type) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < c.fields.size(); ++i)
            if (c.fields[i].name == name && c.fields[i].type == type)
                return std::ptrdiff_t(i);
        return -1;
    };
    const bool numbered = keyField != std::string(field::Bango);
    const std::ptrdiff_t key = index(keyField, numbered ? FieldType::Integer : FieldType::Text);
    if (key < 0)
        throw Exception(std::string(keyField) + " のない表です / a table without " + keyField + ": " + source);
    for (const ::Row& row : c.rows) {
        const ::Value& k = row[std::size_t(key)];
        if (numbered && k.null)
            continue;
        const std::string number = numbered ? std::to_string(k.integer) : eucjp::ToUtf8(eucjp::Decode(k.bytes));
        for (const std::string& name : fields) {
            const std::ptrdiff_t i = index(name, FieldType::Text);
            if (i < 0 || row[std::size_t(i)].null || row[std::size_t(i)].bytes.empty())
                continue;
            out.push_back({source, number, name, eucjp::Decode(row[std::size_t(i)].bytes)});
        }
    }
}

const SourceText* FindText(const std::map<std::string, const SourceText*>& byKey, const std::string& key)
{
    const auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : it->second;
}

}  // namespace

const std::vector<Language>& Languages()
{
    static const std::vector<Language> languages = {
        {"en", "en", "English", "en"}, {"vi", "vi", "Tiếng Việt", "vi"}, {"zh-Hans", "zh", "中文", "zh_CN"}};
    return languages;
}

const Language* FindLanguage(const std::string& name)
{
    for (const Language& l : Languages())
        if (name == l.code || name == l.shortName)
            return &l;
    return nullptr;
}

bool IsTranslatedField(const std::string& source, const std::string& name)
{
    if (source == "bank")
        return std::find(std::begin(kBankFields), std::end(kBankFields), name) != std::end(kBankFields);
    if (source == "hazard")
        return std::find(HazardFields().begin(), HazardFields().end(), name) != HazardFields().end();
    if (source == kAdviceSource)
        return std::find(std::begin(kAdviceFields), std::end(kAdviceFields), name) != std::end(kAdviceFields);
    return false;
}

std::string SourceHash(const QString& japanese) { return Hash(japanese.toUtf8()); }

std::string SourceHashOfCopy(const QString& japanese)
{
    try {
        return SourceHash(eucjp::Decode(eucjp::Encode(japanese)));
    } catch (const Exception&) {
        // No text of the bank has that character: the translation can only be stale.
        return SourceHash(japanese);
    }
}

std::vector<SourceText> BankTexts(const std::string& directory)
{
    const std::filesystem::path dir(directory);
    std::vector<SourceText> texts;
    AppendTexts(texts, tablefile::Read((dir / layouts::kBankFile).string()), "bank",
                {std::begin(kBankFields), std::end(kBankFields)});
    std::error_code ec;
    if (std::filesystem::exists(dir / layouts::kHazardFile, ec))
        AppendTexts(texts, tablefile::Read((dir / layouts::kHazardFile).string()), "hazard", HazardFields());
    if (std::filesystem::exists(dir / layouts::kAdviceFile, ec))
        AppendTexts(texts, tablefile::Read((dir / layouts::kAdviceFile).string()), kAdviceSource,
                    {std::begin(kAdviceFields), std::end(kAdviceFields)}, field::Nani);
    return texts;
}

// ---- Store ----------------------------------------------------------------------------------

Store::Store() = default;
Store::~Store() = default;

void Store::Open(const std::string& path) { OpenFile(path, false); }
void Store::OpenForReading(const std::string& path) { OpenFile(path, true); }
void Store::Close() { db_.reset(); }

void Store::OpenFile(const std::string& path, bool forReading)
{
    Close();
    for (const char* suffix : {"", "-journal"})
        safefile::CheckPlainOrMissing(path + suffix);
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (forReading && !exists)
        throw Exception("翻訳ファイルがありません: " + path);
    const int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW |
                      (forReading ? SQLITE_OPEN_READONLY
                                  : SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE));
    auto db = std::make_unique<HonyakuDb>(path, flags);
    int appId = 0, version = 0, schema = 0;
    try {
        appId = PragmaInt(*db, "application_id");
        version = PragmaInt(*db, "user_version");
        schema = PragmaInt(*db, "schema_version");
    } catch (const FileInUse&) {
        throw;
    } catch (const Exception& e) {
        NotOurs(path, e.Message());
    }
    const bool empty = appId == 0 && version == 0 && schema == 0;
    if (empty && forReading)
        NotOurs(path, "空です");
    if (empty) {
        sqlite::Transaction tx(*db);
        db->Exec(kSchema, "翻訳ファイルを作れません");
        db->Exec("PRAGMA application_id=" + std::to_string(kApplicationId), "翻訳ファイルを作れません");
        db->Exec("PRAGMA user_version=" + std::to_string(kSchemaVersion), "翻訳ファイルを作れません");
        tx.Commit();
    } else {
        if (appId != kApplicationId)
            NotOurs(path, "application_id が違います");
        if (version > kSchemaVersion)
            throw Exception("この翻訳ファイルはこのプログラムより新しい版で作られたため読めません: " + path);
        if (version < 1)
            NotOurs(path, "版がありません");
        CheckShape(*db, path);
    }
    db_ = std::move(db);
}

std::vector<Row> Store::Rows(const std::string& lang) const
{
    if (!db_)
        throw Exception("翻訳ファイルが開かれていません");
    Stmt st(*db_, lang.empty() ? "SELECT lang, source, bango, field, text, source_hash FROM translations "
                                 "ORDER BY lang, source, bango, field"
                               : "SELECT lang, source, bango, field, text, source_hash FROM translations "
                                 "WHERE lang = ? ORDER BY lang, source, bango, field");
    if (!lang.empty())
        st.Bind(1, lang);
    std::vector<Row> rows;
    while (st.Step())
        rows.push_back({st.Text(0), st.Text(1), st.Text(2), st.Text(3), st.Text(4), st.Text(5)});
    return rows;
}

std::vector<std::string> Store::Languages() const
{
    if (!db_)
        throw Exception("翻訳ファイルが開かれていません");
    Stmt st(*db_, "SELECT DISTINCT lang FROM translations ORDER BY lang");
    std::vector<std::string> langs;
    while (st.Step())
        langs.push_back(st.Text(0));
    return langs;
}

void Store::Replace(const std::string& lang, const std::vector<Row>& rows)
{
    if (!db_)
        throw Exception("翻訳ファイルが開かれていません");
    sqlite::Transaction tx(*db_);
    Stmt del(*db_, "DELETE FROM translations WHERE lang = ?");
    del.Bind(1, lang);
    del.Run();
    Stmt ins(*db_, "INSERT INTO translations(lang, source, bango, field, text, source_hash) VALUES(?, ?, ?, ?, ?, ?)");
    for (const Row& r : rows) {
        if (r.lang != lang)
            throw Exception("言語が違う行です / a row of another language: " + r.lang);
        ins.Bind(1, r.lang).Bind(2, r.source).Bind(3, r.bango).Bind(4, r.field).Bind(5, r.text);
        ins.BindBlob(6, r.sourceHash);
        ins.Run();
        ins.Reset();
    }
    tx.Commit();
}

// ---- Catalogue ------------------------------------------------------------------------------

Catalogue Catalogue::Load(const std::string& path, const std::string& lang)
{
    Catalogue c;
    std::error_code ec;
    if (lang.empty() || !std::filesystem::exists(path, ec))
        return c;
    Store store;
    store.OpenForReading(path);
    for (Row& r : store.Rows(lang))
        c.rows_[Key(r.source, r.bango, r.field)] = {QString::fromStdString(r.text), std::move(r.sourceHash)};
    return c;
}

Lookup Catalogue::Find(const std::string& source, const std::string& bango, const std::string& field,
                       const QString& japanese) const
{
    const auto it = rows_.find(Key(source, bango, field));
    if (it == rows_.end())
        return {};
    if (it->second.hash != SourceHash(japanese))
        return {Lookup::Status::Stale, {}};
    return {Lookup::Status::Current, it->second.text};
}

const char* ModeName(Mode mode)
{
    switch (mode) {
    case Mode::Translation: return "translation";
    case Mode::Both: return "both";
    case Mode::Japanese: break;
    }
    return "japanese";
}

std::optional<Mode> ModeNamed(const std::string& word)
{
    for (Mode m : {Mode::Japanese, Mode::Translation, Mode::Both})
        if (word == ModeName(m))
            return m;
    return std::nullopt;
}

QString Present(const Lookup& found, Mode mode, const QString& japanese, const QString& staleNote)
{
    if (mode == Mode::Japanese || found.status == Lookup::Status::Missing)
        return japanese;
    const QString translation = found.status == Lookup::Status::Current ? found.text : staleNote;
    if (mode == Mode::Translation && found.status == Lookup::Status::Current)
        return translation;
    return japanese + QLatin1Char('\n') + translation;
}

// ---- Checking, reading and writing a translator's CSV ------------------------------------

std::vector<LanguageCheck> Check(const Store& store, const std::vector<SourceText>& bank)
{
    std::vector<LanguageCheck> out;
    for (const std::string& lang : store.Languages()) {
        std::map<std::string, std::string> hashes;
        for (Row& r : store.Rows(lang))
            hashes[Key(r.source, r.bango, r.field)] = std::move(r.sourceHash);
        LanguageCheck check{lang, 0, {}, {}};
        for (const SourceText& t : bank) {
            const auto it = hashes.find(Key(t.source, t.bango, t.field));
            if (it == hashes.end())
                check.missing.push_back(t);
            else if (it->second != SourceHash(t.japanese))
                check.stale.push_back(t);
            else
                ++check.current;
        }
        out.push_back(std::move(check));
    }
    return out;
}

std::vector<Row> ReadCsv(const std::string& csvText, const std::string& lang, const std::vector<SourceText>& bank)
{
    const std::vector<csv::Record> records = csv::Parse(csvText);
    if (records.empty())
        throw Exception("CSV が空です / the CSV is empty");
    const csv::Record& header = records[0];
    const auto column = [&](const std::string& name) -> std::ptrdiff_t {
        const auto it = std::find(header.begin(), header.end(), name);
        return it == header.end() ? -1 : it - header.begin();
    };
    const std::ptrdiff_t source = column("source"), bango = column("bango"), fieldCol = column("field"),
                         japanese = column("japanese"), text = column("text");
    if (source < 0 || bango < 0 || fieldCol < 0 || text < 0)
        throw Exception("CSV の見出しは source,bango,field,japanese,text です / the CSV's header is "
                        "source,bango,field,japanese,text");
    std::map<std::string, const SourceText*> byKey;
    std::set<std::string> numbers;
    for (const SourceText& t : bank) {
        byKey[Key(t.source, t.bango, t.field)] = &t;
        numbers.insert(t.source + '\x1f' + t.bango);
    }
    std::vector<Row> rows;
    std::set<std::string> seen;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const csv::Record& rec = records[r];
        const std::string line = std::to_string(r + 1);
        if (rec.size() == 1 && rec[0].empty())
            continue;   // a blank line
        if (rec.size() != header.size())
            throw Exception(line + " 行目: 列の数が見出しと違います / line " + line +
                            ": not as many columns as the header");
        const std::string& src = rec[std::size_t(source)];
        const std::string& number = rec[std::size_t(bango)];
        const std::string& name = rec[std::size_t(fieldCol)];
        if (src != "bank" && src != "hazard" && src != kAdviceSource)
            throw Exception(line + " 行目: source は bank か hazard か advice です / line " + line +
                            ": source is bank, hazard or advice, not '" + src + "'");
        if (!numbers.count(src + '\x1f' + number))
            throw Exception(line + " 行目: 番号 " + number + " は" +
                            (src == "bank" ? "問題集" : src == "hazard" ? "危険予測" : "アドバイスの表") +
                            "にありません / line " + line + ": Bango " + number + " is not in the " +
                            (src == "bank" ? "bank" : src == "hazard" ? "hazard items" : "advice table"));
        if (!IsTranslatedField(src, name))
            throw Exception(line + " 行目: 翻訳する欄ではありません / line " + line + ": " + name +
                            " is not a translated field of " + src);
        const std::string key = Key(src, number, name);
        if (!seen.insert(key).second)
            throw Exception(line + " 行目: 同じ欄が二度あります / line " + line + ": " + src + " " + number +
                            " " + name + " appears twice");
        const std::string& translated = rec[std::size_t(text)];
        if (translated.empty())
            continue;
        if (translated.size() > std::size_t(kMaxValueBytes))
            throw Exception(line + " 行目: 訳が長すぎます / line " + line + ": the text is too long");
        const SourceText* today = FindText(byKey, key);
        const std::string copied = japanese >= 0 ? rec[std::size_t(japanese)] : std::string();
        std::string hash;
        if (!copied.empty())
            hash = SourceHashOfCopy(QString::fromStdString(copied));
        else if (today)
            hash = SourceHash(today->japanese);
        else
            throw Exception(line + " 行目: この欄は日本語が空です / line " + line + ": " + src + " " + number +
                            " " + name + " has no Japanese text to translate");
        rows.push_back({lang, src, number, name, translated, hash});
    }
    return rows;
}

std::string WriteCsv(const Store& store, const std::string& lang, const std::vector<SourceText>& bank, int* stale)
{
    std::map<std::string, Row> stored;
    for (Row& r : store.Rows(lang))
        stored[Key(r.source, r.bango, r.field)] = std::move(r);
    int staleCount = 0;
    std::string out = csv::Format({"source", "bango", "field", "japanese", "text"});
    for (const SourceText& t : bank) {
        const auto it = stored.find(Key(t.source, t.bango, t.field));
        std::string text;
        if (it != stored.end()) {
            if (it->second.sourceHash == SourceHash(t.japanese))
                text = it->second.text;
            else
                ++staleCount;
        }
        out += csv::Format({t.source, t.bango, t.field, eucjp::ToUtf8(t.japanese), text});
    }
    if (stale)
        *stale = staleCount;
    return out;
}

}  // namespace honyaku
