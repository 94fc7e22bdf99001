// tabletool: creates, updates, exports and checks table files, for bank authors and tests, and
// exports the learning record for a spreadsheet. `tabletool --help` lists the commands and the
// layouts.

#include "BankMerge.h"
#include "Csv.h"
#include "CsvTable.h"
#include "DirectoryLock.h"
#include "Exception.h"
#include "HonyakuCommand.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Picture.h"
#include "SafeFile.h"
#include "SchoolCommand.h"
#include "StudyCommand.h"
#include "Syllabus.h"
#include "TableFile.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

namespace field = layouts::field;

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

std::string LayoutNames()
{
    std::string names;
    for (const auto& l : layouts::All())
        names += (names.empty() ? "" : "|") + l.name;
    return names;
}

std::string FieldText(const FieldDef& f)
{
    return f.name + " " + FieldTypeName(f.type) + (f.type == FieldType::Text ? "(" + std::to_string(f.size) + ")" : "");
}

// What a command was given: options taken out, the rest in order.
struct Options {
    std::string layout;
    bool deleteMissing = false;
    bool excel = false;
    bool force = false;
    Args rest;
};

// nullopt for an option the command does not take.
std::optional<Options> Parse(const Args& a, const std::vector<std::string>& allowed)
{
    Options o;
    const auto allows = [&](const std::string& name) {
        return std::find(allowed.begin(), allowed.end(), name) != allowed.end();
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == "--layout" && allows("--layout") && i + 1 < a.size())
            o.layout = a[++i];
        else if (a[i].rfind("--layout=", 0) == 0 && allows("--layout"))
            o.layout = a[i].substr(9);
        else if (a[i] == "--delete-missing" && allows(a[i]))
            o.deleteMissing = true;
        else if (a[i] == "--excel" && allows(a[i]))
            o.excel = true;
        else if (a[i] == "--force" && allows(a[i]))
            o.force = true;
        else if (a[i].rfind("--", 0) == 0)
            return std::nullopt;
        else
            o.rest.push_back(a[i]);
    }
    return o;
}

// Writes TEXT to PATH whole (never half a file, never through a link), or to standard output
// when PATH is empty. FOLDER Refuse: PATH's folder must not be a link either.
int Output(const std::string& text, const std::string& path = {}, safefile::Links folder = safefile::Links::Follow)
{
    if (path.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    safefile::Write(path, text, folder);
    return 0;
}

// The data directory of table file PATH, held for as long as the command reads and writes it: a
// running program with a drill open there would otherwise write its old copy back over ours, or
// fail at every 終了.
std::unique_ptr<DirectoryLock> HoldDirectoryOf(const std::string& path)
{
    const fs::path dir = fs::absolute(path).parent_path();
    auto lock = std::make_unique<DirectoryLock>();
    if (lock->Acquire(dir.string() + "/") == DirectoryLock::Result::InUse)
        throw Exception("データフォルダ " + dir.string() +
                        " は実行中の Lentavo が使っています。ドリルを終了してからもう一度実行してください。ファイルは変えていません / "
                        "the data directory is in use by a running Lentavo; close its drill and run this again. "
                        "Nothing was changed");
    // Unavailable (no folder, or one we cannot write into): writing the file will say why.
    return lock;
}

// Removes what a killed run of tabletool left beside table file PATH: the new file it was
// building (PATH.new-PID) and its journal for process ids that no longer run, and the backup it
// was copying (PATH.bak.tmp; the folder is locked, so no live run of ours is copying it).
void RemoveLeftovers(const std::string& path)
{
    const fs::path file = fs::absolute(path);
    safefile::RemoveLeftovers(file.parent_path().string(), file.filename().string() + ".new-");
    std::error_code ec;
    fs::remove(path + ".bak.tmp", ec);
}

// PATH.bak, or when a backup is already there the first free PATH.bak.1, PATH.bak.2, ...: no
// backup is ever replaced, since a second run on a bad CSV would otherwise leave only its own
// damage.
std::string FreeBackupName(const std::string& path)
{
    std::string bak = path + ".bak";
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(bak, ec)); ++n)
        bak = path + ".bak." + std::to_string(n);
    return bak;
}

// Writes the table file PATH whole, keeping the file it replaces as a new backup (see
// FreeBackupName). Returns what the success line should add.
std::string Replace(const std::string& path, const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    RemoveLeftovers(path);
    std::string kept;
    if (fs::exists(path)) {
        // Copied, not linked: a USB stick's file system has no links. Via a temporary name so
        // that the backup appears only whole.
        const std::string bak = FreeBackupName(path), tmp = path + ".bak.tmp";
        std::error_code ec;
        fs::copy_file(path, tmp, fs::copy_options::overwrite_existing, ec);
        if (!ec)
            fs::rename(tmp, bak, ec);
        if (ec) {
            fs::remove(tmp, ec);
            throw Exception("控えを作れません: " + bak + " / cannot keep the previous file as " + bak);
        }
        kept = " (前のファイルは " + bak + " / previous file kept as " + bak + ")";
    }
    tablefile::Create(path, fields, rows);
    return kept;
}

// Rows of CSV_PATH for LAYOUT (its required fields and the optional ones the CSV has), checked
// as new input.
struct CsvRows {
    std::vector<FieldDef> fields;
    std::vector<Row> rows;
};

CsvRows ReadCsv(const layouts::Layout& layout, const std::string& csvPath)
{
    const std::string text = csvtable::DecodeCsv(csvtable::ReadFile(csvPath));
    CsvRows c;
    c.fields = layouts::FieldsFor(layout, csvtable::Columns(text));
    c.rows = csvtable::Import(c.fields, text, csvtable::PictureFiles(fs::path(csvPath).parent_path().string()));
    layouts::CheckInput(layout, c.fields, c.rows);
    return c;
}

const layouts::Layout& LayoutNamed(const std::string& name)
{
    const layouts::Layout* layout = layouts::Find(name);
    if (!layout)
        throw Exception("レイアウトは " + LayoutNames() + " のどれかです / the layout is one of " + LayoutNames() +
                        ": " + name);
    return *layout;
}

int Export(const Args& a)
{
    const auto o = Parse(a, {"--excel"});
    if (!o || o->rest.empty() || o->rest.size() > 2)
        return -1;
    const std::string out = o->rest.size() > 1 ? o->rest[1] : std::string();
    const tablefile::Contents c = tablefile::Read(o->rest[0]);
    std::string text;
    if (o->excel) {
        // What a spreadsheet opens right: a byte-order mark (else it guesses the encoding), CRLF,
        // the columns in reading order, numbers as ="0042" so that their leading zeros stay, no
        // text that it would compute.
        const layouts::Layout* layout = layouts::Matching(c.fields);
        const auto bango = std::find_if(c.fields.begin(), c.fields.end(), [](const FieldDef& f) {
            return f.name == field::Bango && f.type == FieldType::Text;
        });
        // A spreadsheet cell holds at most 32,767 characters, less than a picture in base64: with
        // OUT.csv the figures go to files in a folder beside it, named by question number.
        csvtable::BlobCell toFile;
        const std::string folder = fs::path(out).stem().string() + "-figures";
        const fs::path folderPath = fs::absolute(out).parent_path() / folder;
        if (!out.empty())
            toFile = [&](std::size_t r, const FieldDef& f, const std::string& bytes) {
                // Only pictures become files, as only pictures are read back from files; other
                // bytes stay inline.
                const picture::Format format = picture::Sniff(bytes);
                if (format == picture::Format::None)
                    return "base64:" + QByteArray(bytes.data(), qsizetype(bytes.size())).toBase64().toStdString();
                // The number names the file only when it is digits: a stored one is not trusted.
                const std::string number =
                    bango == c.fields.end() ? std::string() : c.rows[r][std::size_t(bango - c.fields.begin())].bytes;
                const bool digits = !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
                const std::string name = (digits ? number : "row" + std::to_string(r + 2)) +
                                         (f.name == field::Zu ? "" : "-" + f.name) + picture::Extension(format);
                std::error_code ec;
                fs::create_directory(folderPath, ec);
                // A folder planted as a link would have the pictures written wherever it leads.
                Output(bytes, (folderPath / name).string(), safefile::Links::Refuse);
                return "file:" + folder + "/" + name;
            };
        text = "\xEF\xBB\xBF" + csvtable::Export(c.fields, c.rows,
                                                  layout ? layouts::NaturalOrder(*layout, c.fields)
                                                         : std::vector<std::size_t>{},
                                                  toFile, csvtable::Reader::Spreadsheet);
        bool figures = false;
        for (const Row& row : c.rows)
            for (std::size_t i = 0; i < c.fields.size(); ++i)
                figures = figures || (c.fields[i].type == FieldType::Blob && !row[i].null);
        if (out.empty() && figures)
            std::cerr << "tabletool: 図は base64: のまま書きました。表計算ソフトは 32,767 文字を超えるセルを切るので、"
                         "OUT.csv を指定して図をファイルにしてください / figures were written as base64:, which a "
                         "spreadsheet may cut; give OUT.csv to write them as files\n";
    } else {
        text = csvtable::Export(c.fields, c.rows);
    }
    Output(text, out);
    if (!out.empty())
        std::cout << out << ": " << c.rows.size() << " 件を書き出しました / exported " << c.rows.size() << " records\n";
    return 0;
}

int Import(const Args& a)
{
    const auto o = Parse(a, {"--layout"});
    if (!o || o->layout.empty() || o->rest.size() != 2)
        return -1;
    const layouts::Layout& layout = LayoutNamed(o->layout);
    const std::string& file = o->rest[1];
    const CsvRows c = ReadCsv(layout, o->rest[0]);
    const auto lock = HoldDirectoryOf(file);
    const std::string kept = Replace(file, c.fields, c.rows);
    std::cout << file << ": " << layout.name << ", " << c.rows.size() << " 件で作成しました / created with "
              << c.rows.size() << " records" << kept << "\n";
    return 0;
}

int Merge(const Args& a)
{
    const auto o = Parse(a, {"--layout", "--delete-missing", "--force"});
    if (!o || o->layout.empty() || o->rest.size() != 2)
        return -1;
    if (o->layout != "bank")
        throw Exception("merge は bank だけに使えます。ほかは import してください / merge works on the bank "
                        "only; import the other layouts");
    const layouts::Layout& layout = LayoutNamed(o->layout);
    const std::string& file = o->rest[1];
    const CsvRows c = ReadCsv(layout, o->rest[0]);
    const auto lock = HoldDirectoryOf(file);   // before reading: no drill may write in between
    if (!fs::exists(file))
        throw Exception(file + " がありません。新しく作るには import を使ってください / " + file +
                        " does not exist; use import to create it");
    const tablefile::Contents bank = tablefile::Read(file);
    if (layouts::Matching(bank.fields) != &layout)
        throw Exception(file + " は問題集 (bank) ではありません / " + file + " is not a question bank");
    const auto merged = bankmerge::Merge(bank.fields, bank.rows, c.fields, c.rows, o->deleteMissing);
    // A header-only or cut-short CSV would otherwise empty the bank, every pupil's counters with it.
    if (!o->force && merged.report.removed.size() * 2 > bank.rows.size())
        throw Exception("CSV にない " + std::to_string(merged.report.removed.size()) + " 問は問題集 " +
                        std::to_string(bank.rows.size()) + " 問の半分を超えます。CSV が正しければ --force を付けて"
                        "もう一度実行してください。ファイルは変えていません / " +
                        std::to_string(merged.report.removed.size()) + " of the bank's " +
                        std::to_string(bank.rows.size()) + " questions are not in the CSV, more than half; if the "
                        "CSV is right, run again with --force. Nothing was changed");
    const std::string kept = Replace(file, merged.fields, merged.rows);
    std::cout << bankmerge::Describe(merged.report) << file << ": " << merged.rows.size()
              << " 件に更新しました / updated to " << merged.rows.size() << " records" << kept << "\n";
    return 0;
}

int Check(const Args& a)
{
    if (a.size() != 1 || a[0].rfind("--", 0) == 0)
        return -1;
    const tablefile::Contents c = tablefile::Read(a[0]);
    const layouts::Layout* layout = layouts::Matching(c.fields);
    const auto warnings = layout ? layouts::CheckStored(*layout, c.fields, c.rows) : std::vector<std::string>{};
    for (const std::string& w : warnings)
        std::cerr << "警告 / warning: " << w << "\n";
    std::cout << a[0] << ": " << (layout ? layout->name : "(独自)") << ", " << c.rows.size() << " records"
              << (warnings.empty() ? "" : ", " + std::to_string(warnings.size()) + " warnings") << "\n";
    for (const auto& f : c.fields)
        std::cout << "  " << FieldText(f) << "\n";
    return 0;
}

std::string Optional(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

// One row per answer, oldest first, with its session; a UTF-8 byte-order mark first, so that a
// spreadsheet reads the 教習項目 names as UTF-8.
int RecordExport(const Args& a)
{
    if (a.empty() || a.size() > 2)
        return -1;
    record::LearningRecord rec;
    rec.OpenForReading(a[0]);
    rec.AllowLongValues();   // whatever the program appends to, this exports
    std::string out = "\xEF\xBB\xBF" + csv::Format({"answer_id", "session_id", "session_kind", "session_started_at",
                                                   "session_ended_at", "level", "answered_at", "source", "bango",
                                                   "item", "bunrui", "bunrui_name", "answer", "correct", "seconds"});
    rec.ForEachAnswer([&](const record::AnswerInSession& r) {
        const auto* item = r.answer.bunrui ? syllabus::Find(*r.answer.bunrui) : nullptr;
        std::ostringstream seconds;
        if (r.answer.seconds)
            seconds << *r.answer.seconds;
        out += csv::Format({std::to_string(r.id), std::to_string(r.session), r.kind, r.sessionStartedAt,
                            r.sessionEndedAt.value_or(""), Optional(r.level), r.answeredAt, r.answer.source,
                            r.answer.bango, std::to_string(r.answer.item), Optional(r.answer.bunrui),
                            item ? std::string(item->name) : std::string(), std::to_string(r.answer.answer),
                            r.answer.correct ? "1" : "0", seconds.str()});
    });
    Output(out, a.size() > 1 ? a[1] : std::string());
    if (a.size() > 1)
        std::cout << a[1] << ": 学習記録を書き出しました / learning record exported\n";
    return 0;
}

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args&);   // -1: the arguments do not fit
};

const Command kCommands[] = {
    {"export", "export [--excel] FILE [OUT.csv]           CSV (UTF-8); --excel: for a spreadsheet", Export},
    {"import", "import --layout LAYOUT CSV FILE           creates FILE from the CSV", Import},
    {"merge", "merge --layout bank CSV FILE [--delete-missing [--force]]\n"
              "                                                     updates the bank, keeping the pupils' counters;\n"
              "                                                     removing over half of it needs --force", Merge},
    {"check", "check FILE                                checks FILE, prints its layout", Check},
    {"record-export", "record-export RECORD.sqlite [OUT.csv]     the learning record as CSV", RecordExport},
    {"study", "study due DIR [--on YYYY-MM-DD]           today's review queue, with the predicted recall", StudyCommand},
    {"school", "school init                               creates or migrates the school's schema\n"
               "  tabletool school pupils import ROSTER.csv | pupils list | pupils reset-pin NUMBER\n"
               "  tabletool school answers --csv [--pupil NUMBER]\n"
               "  tabletool school report --csv FILE [--ready karimen|honmen|gaimen]   the teacher's overview as CSV\n"
               "  tabletool school bank push DIR              mondai.cds, advice.cds, kiken.cds as a new version\n"
               "                                                     school commands take --db CONNINFO (else PGHOST, ...)",
     SchoolCommand},
    {"honyaku", "honyaku import DIR LANG CSV               DIR's translations of LANG (en|vi|zh-Hans) from the CSV\n"
                "  tabletool honyaku export DIR LANG [OUT.csv]   the texts with their Japanese, for a translator\n"
                "  tabletool honyaku check DIR                   missing and stale translations; 1 when any is stale",
     HonyakuCommand},
};

int Usage(std::ostream& out = std::cerr, int rc = 1)
{
    out << "使い方 / usage:\n";
    for (const Command& c : kCommands)
        out << "  tabletool " << c.usage << "\n";
    out << "\nLAYOUT (file: columns):\n";
    for (const layouts::Layout& l : layouts::All()) {
        out << "  " << l.name << " (" << l.file << "):";
        for (const FieldDef& f : *l.fields)
            out << " " << FieldText(f);
        for (const FieldDef& f : l.optional)
            out << " [" << FieldText(f) << "]";
        out << "\n";
    }
    out << "CSV: UTF-8 (BOM any) or Shift_JIS (CP932), one for the whole file. file: cells name PNG, JPEG, GIF or BMP\n"
           "pictures in the CSV's folder or below it. A command that writes FILE keeps the previous one as FILE.bak\n"
           "(FILE.bak.1, FILE.bak.2, ... when there is one already)\n"
           "and refuses while a running Lentavo uses FILE's folder.\n";
    return rc;
}

int Run(const Args& args)
{
    if (args.empty())
        return Usage();
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h"))
        return Usage(std::cout, 0);
    for (const Command& c : kCommands) {
        if (args[0] != c.name)
            continue;
        const Args rest(args.begin() + 1, args.end());
        const int rc = c.run(rest);
        return rc < 0 ? Usage() : rc;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // the EUC-JP codec needs no event loop, only Qt Core
    const Args args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const std::exception& e) {
        std::cerr << "tabletool: " << e.what() << "\n";
        return 1;
    }
}
