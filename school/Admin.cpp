#include "Admin.h"

#include "Csv.h"
#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"
#include "SafeFile.h"
#include "Syllabus.h"
#include "TableFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <regex>

namespace school {

namespace {

// Migrations: :/school/sql/NNN_name.sql, applied in the order of NNN.
struct Migration {
    int version;
    QString file;
};

std::vector<Migration> Migrations()
{
    std::vector<Migration> out;
    for (const QString& name : QDir(":/school/sql").entryList({"*.sql"}, QDir::Files, QDir::Name))
        out.push_back({name.section('_', 0, 0).toInt(), ":/school/sql/" + name});
    std::sort(out.begin(), out.end(), [](const Migration& a, const Migration& b) { return a.version < b.version; });
    return out;
}

std::string Trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

struct Tx {
    explicit Tx(Connection& db) : db_(db) { db_.Exec("BEGIN"); }
    ~Tx()
    {
        if (!done_) {
            try {
                db_.Exec("ROLLBACK");
            } catch (const std::exception&) {
            }
        }
    }
    void Commit()
    {
        db_.Exec("COMMIT");
        done_ = true;
    }
    Connection& db_;
    bool done_ = false;
};

}  // namespace

int SchemaVersion(Connection& db)
{
    const Result r = db.Exec("SELECT to_regclass('lentavo.schema_version') IS NOT NULL");
    if (r.Text(0, 0) != "t")
        return 0;
    return db.Exec("SELECT coalesce(max(version), 0) FROM lentavo.schema_version").Int(0, 0);
}

int Migrate(Connection& db)
{
    Tx tx(db);
    // Two inits at once wait for each other instead of both applying the same step.
    db.Exec("SELECT pg_advisory_xact_lock(1280590412)");
    db.Exec("CREATE SCHEMA IF NOT EXISTS lentavo");
    db.Exec("CREATE TABLE IF NOT EXISTS lentavo.schema_version ("
            "version integer PRIMARY KEY, applied_at timestamptz NOT NULL DEFAULT now())");
    db.Exec("REVOKE ALL ON lentavo.schema_version FROM PUBLIC");
    const int current = SchemaVersion(db);
    int applied = 0;
    for (const Migration& m : Migrations()) {
        if (m.version <= current)
            continue;
        QFile f(m.file);
        if (!f.open(QIODevice::ReadOnly))
            throw Exception("migration " + m.file.toStdString() + " is missing from the program");
        db.ExecScript(f.readAll().toStdString());
        db.Exec("INSERT INTO lentavo.schema_version (version) VALUES ($1)", {std::to_string(m.version)});
        ++applied;
    }
    tx.Commit();
    return applied;
}

std::string NewPin()
{
    std::string pin;
    for (int i = 0; i < 6; ++i)
        pin += char('0' + QRandomGenerator::system()->bounded(10));
    return pin;
}

std::vector<Pupil> ReadRoster(const std::string& path)
{
    const std::vector<csv::Record> records = csv::Parse(csvtable::DecodeCsv(csvtable::ReadFile(path)));
    if (records.empty())
        throw Exception(path + ": 名簿が空です / the roster is empty");
    std::vector<std::string> header;
    for (const std::string& c : records[0])
        header.push_back(Trim(c));
    if (!header.empty() && header[0].rfind("\xEF\xBB\xBF", 0) == 0)
        header[0] = header[0].substr(3);
    const auto column = [&](const char* name) -> int {
        const auto it = std::find(header.begin(), header.end(), name);
        return it == header.end() ? -1 : int(it - header.begin());
    };
    const int number = column("教習生番号"), name = column("氏名"), furigana = column("ふりがな"), pin = column("PIN");
    if (number < 0 || name < 0)
        throw Exception(path + ": 1 行目に 教習生番号 と 氏名 の列が必要です / the header needs 教習生番号 and 氏名");
    static const std::regex digits("[0-9]{4,8}"), pinDigits("[0-9]{4,12}");
    std::vector<Pupil> pupils;
    std::vector<std::string> seen;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const csv::Record& r = records[i];
        if (r.size() == 1 && Trim(r[0]).empty())
            continue;   // a blank line
        const auto cell = [&](int c) { return c >= 0 && std::size_t(c) < r.size() ? Trim(r[std::size_t(c)]) : ""; };
        const std::string row = std::to_string(i + 1);
        Pupil p{cell(number), cell(name), cell(furigana), cell(pin)};
        if (!std::regex_match(p.number, digits))
            throw Exception(path + ": " + row + " 行目: 教習生番号は 4〜8 桁の数字です / row " + row +
                            ": the number must be 4 to 8 digits: " + p.number);
        if (p.name.empty())
            throw Exception(path + ": " + row + " 行目: 氏名がありません / row " + row + ": no name");
        if (!p.pin.empty() && !std::regex_match(p.pin, pinDigits))
            throw Exception(path + ": " + row + " 行目: PIN は 4〜12 桁の数字です / row " + row +
                            ": the PIN must be 4 to 12 digits");
        if (std::find(seen.begin(), seen.end(), p.number) != seen.end())
            throw Exception(path + ": " + row + " 行目: 教習生番号 " + p.number + " が二度あります / row " + row +
                            ": number " + p.number + " appears twice");
        seen.push_back(p.number);
        pupils.push_back(std::move(p));
    }
    return pupils;
}

std::vector<Pupil> ImportPupils(Connection& db, const std::vector<Pupil>& pupils)
{
    std::vector<Pupil> made;
    Tx tx(db);
    for (Pupil p : pupils) {
        const bool exists = db.Exec("SELECT 1 FROM lentavo.pupils WHERE number = $1", {p.number}).Rows() > 0;
        if (p.pin.empty() && !exists) {
            p.pin = NewPin();
            made.push_back(p);
        }
        const Param pin = p.pin.empty() ? Param() : Param(p.pin);
        db.Exec("INSERT INTO lentavo.pupils AS x (number, name, furigana, pin_hash) "
                "VALUES ($1, $2, $3, coalesce(lentavo.crypt($4, lentavo.gen_salt('bf', 8)), '!')) "
                "ON CONFLICT (number) DO UPDATE SET name = EXCLUDED.name, furigana = EXCLUDED.furigana, "
                "pin_hash = CASE WHEN $4::text IS NULL THEN x.pin_hash ELSE EXCLUDED.pin_hash END",
                {p.number, p.name, p.furigana, pin});
    }
    tx.Commit();
    return made;
}

std::vector<PupilListing> ListPupils(Connection& db)
{
    const Result r = db.Exec("SELECT number, name, furigana, coalesce(to_char(locked_until, 'YYYY-MM-DD HH24:MI'), ''), "
                             "answers FROM lentavo.pupil_overview ORDER BY number");
    std::vector<PupilListing> out;
    for (int i = 0; i < r.Rows(); ++i)
        out.push_back({r.Text(i, 0), r.Text(i, 1), r.Text(i, 2), r.Text(i, 3), r.Int64(i, 4)});
    return out;
}

std::string ResetPin(Connection& db, const std::string& number, std::string pin)
{
    if (pin.empty())
        pin = NewPin();
    if (db.Exec("SELECT lentavo.set_pin($1, $2)", {number, pin}).Text(0, 0) != "t")
        throw Exception("教習生番号 " + number + " の教習生はいません / no pupil has the number " + number);
    return pin;
}

std::string AnswersCsv(Connection& db, const std::optional<std::string>& pupil)
{
    const auto iso = [](const char* column) {
        return std::string("to_char(") + column + " AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS\"Z\"')";
    };
    const Result r = db.Exec("SELECT number, answer_uuid, session_uuid, kind, " + iso("started_at") + ", " +
                                 iso("ended_at") + ", level, " + iso("answered_at") +
                                 ", source, bango, item, bunrui, answer, CASE WHEN correct THEN 1 ELSE 0 END, seconds "
                                 "FROM lentavo.answers_export WHERE $1::text IS NULL OR number = $1 "
                                 "ORDER BY number, answered_at, answer_uuid",
                             {pupil ? Param(*pupil) : Param()});
    std::string out = "\xEF\xBB\xBF" + csv::Format({"pupil", "answer_id", "session_id", "session_kind",
                                                   "session_started_at", "session_ended_at", "level", "answered_at",
                                                   "source", "bango", "item", "bunrui", "bunrui_name", "answer",
                                                   "correct", "seconds"});
    for (int i = 0; i < r.Rows(); ++i) {
        const auto text = [&](int c) { return r.IsNull(i, c) ? std::string() : r.Text(i, c); };
        const auto* item = r.IsNull(i, 11) ? nullptr : syllabus::Find(r.Int(i, 11));
        out += csv::Format({text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7), text(8), text(9),
                            text(10), text(11), item ? std::string(item->name) : std::string(), text(12), text(13),
                            text(14)});
    }
    return out;
}

int PushBank(Connection& db, const std::string& dir)
{
    const std::string d = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    std::vector<std::string> bytes;
    for (const char* file : {layouts::kBankFile, layouts::kAdviceFile, layouts::kHazardFile}) {
        tablefile::Read(d + file, true);   // a table file of ours, or a clear message
        bytes.push_back(safefile::Read(d + file, std::size_t(1) << 30));
    }
    // bytea in its hex text form: any byte goes as data.
    const auto hex = [](const std::string& b) { return "\\x" + QByteArray::fromStdString(b).toHex().toStdString(); };
    return db.Exec("INSERT INTO lentavo.bank_versions (mondai, advice, kiken) VALUES ($1, $2, $3) RETURNING version",
                   {hex(bytes[0]), hex(bytes[1]), hex(bytes[2])})
        .Int(0, 0);
}

}  // namespace school
