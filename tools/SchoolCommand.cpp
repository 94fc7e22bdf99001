#include "SchoolCommand.h"

#include "Admin.h"
#include "Connection.h"
#include "Exception.h"
#include "Overview.h"
#include "SafeFile.h"

#include <cstdio>
#include <iostream>
#include <optional>

namespace {

using Args = std::vector<std::string>;

// ARGS without --db CONNINFO / --db=CONNINFO, and the connection string (empty: libpq's
// environment, PGHOST, PGDATABASE, ...).
std::string TakeDb(Args& args)
{
    std::string db;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] == "--db" && i + 1 < args.size()) {
            db = args[i + 1];
            args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
        } else if (args[i].rfind("--db=", 0) == 0) {
            db = args[i].substr(5);
            args.erase(args.begin() + long(i));
        } else {
            ++i;
        }
    }
    return db;
}

int Init(school::Connection& db)
{
    const int applied = school::Migrate(db);
    std::cout << "schema lentavo: version " << school::SchemaVersion(db) << " ("
              << (applied ? std::to_string(applied) + " 件適用 / applied" : std::string("変更なし / unchanged")) << ")\n";
    return 0;
}

int Pupils(school::Connection& db, const Args& a)
{
    if (a.size() == 2 && a[0] == "import") {
        const std::vector<school::Pupil> pupils = school::ReadRoster(a[1]);
        const std::vector<school::Pupil> made = school::ImportPupils(db, pupils);
        std::cout << pupils.size() << " 人を登録しました / pupils imported\n";
        if (!made.empty())
            std::cout << "新しい PIN (一度だけ表示します) / new PINs, shown once:\n";
        for (const school::Pupil& p : made)
            std::cout << p.number << "\t" << p.name << "\t" << p.pin << "\n";
        return 0;
    }
    if (a.size() == 1 && a[0] == "list") {
        for (const school::PupilListing& p : school::ListPupils(db))
            std::cout << p.number << "\t" << p.name << "\t" << p.furigana << "\t" << p.answers
                      << (p.lockedUntil.empty() ? "" : "\tロック中 / locked until " + p.lockedUntil) << "\n";
        return 0;
    }
    if (a.size() == 2 && a[0] == "reset-pin") {
        std::cout << a[1] << "\t" << school::ResetPin(db, a[1]) << "\n";
        return 0;
    }
    return -1;
}

int Answers(school::Connection& db, const Args& a)
{
    std::optional<std::string> pupil;
    bool csv = false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--csv")
            csv = true;
        else if (a[i] == "--pupil" && i + 1 < a.size())
            pupil = a[++i];
        else
            return -1;
    }
    if (!csv)
        return -1;
    const std::string out = school::AnswersCsv(db, pupil);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// report --csv FILE [--ready TEST]: the teacher's overview as its CSV, for a nightly job.
int Report(school::Connection& db, const Args& a)
{
    std::string file;
    school::OverviewFilter filter;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--csv" && i + 1 < a.size()) {
            file = a[++i];
        } else if (a[i] == "--ready" && i + 1 < a.size()) {
            const exam::TestDefinition* test = exam::FindByKey(a[++i]);
            if (!test)
                throw Exception("--ready の後には " + exam::Keys() + " のどれかを書いてください / --ready takes " +
                                exam::Keys());
            filter.ready = test->test;
        } else {
            return -1;
        }
    }
    if (file.empty())
        return -1;
    school::RequireTeacher(db);
    const std::vector<school::OverviewRow> rows = school::LoadOverview(db);
    std::vector<const school::OverviewRow*> shown;
    for (const school::OverviewRow& row : rows)
        if (school::Matches(row, filter, QDate::currentDate()))
            shown.push_back(&row);
    safefile::Write(file, school::OverviewCsv(shown));
    std::cout << shown.size() << " 人 / pupils: " << file << "\n";
    return 0;
}

}  // namespace

int SchoolCommand(const Args& given)
{
    Args args = given;
    const std::string conninfo = TakeDb(args);
    if (args.empty())
        return -1;
    const std::string what = args[0];
    const Args rest(args.begin() + 1, args.end());
    if (what == "init" && !rest.empty())
        return -1;
    if (what != "init" && what != "pupils" && what != "answers" && what != "report" && !(what == "bank" && rest.size() == 2 && rest[0] == "push"))
        return -1;
    school::Connection db(conninfo);
    if (what == "init")
        return Init(db);
    if (what == "pupils")
        return Pupils(db, rest);
    if (what == "answers")
        return Answers(db, rest);
    if (what == "report")
        return Report(db, rest);
    const int version = school::PushBank(db, rest[1]);
    std::cout << "問題集の版 " << version << " を登録しました / bank version " << version << " pushed\n";
    return 0;
}
