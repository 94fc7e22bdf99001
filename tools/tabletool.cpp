// tabletool: creates, exports and checks table files, for bank authors and tests, and exports
// the learning record for a spreadsheet.
//
//   tabletool export FILE                               CSV (UTF-8) to standard output
//   tabletool import --layout LAYOUT CSV FILE           LAYOUT: bank, history, advice, hazard
//   tabletool check FILE
//   tabletool record-export RECORD.sqlite [OUT.csv]     CSV (UTF-8) to OUT.csv or standard output

#include "Csv.h"
#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Syllabus.h"
#include "TableFile.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

using Args = std::vector<std::string>;

std::string LayoutNames()
{
    std::string names;
    for (const auto& l : layouts::All())
        names += (names.empty() ? "" : "|") + l.name;
    return names;
}

// Writes TEXT to PATH whole (never half a file), or to standard output when PATH is empty.
int Output(const std::string& text, const std::string& path = {})
{
    if (path.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QSaveFile out(QString::fromStdString(path));
    if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), qint64(text.size())) != qint64(text.size()) ||
        !out.commit())
        throw Exception("書き込めません: " + path + " (" + out.errorString().toStdString() + ")");
    return 0;
}

int Export(const Args& a)
{
    const tablefile::Contents c = tablefile::Read(a[0]);
    return Output(csvtable::Export(c.fields, c.rows));
}

int Import(const std::string& layoutName, const std::string& csvPath, const std::string& out)
{
    const layouts::Layout* layout = layouts::Find(layoutName);
    if (!layout)
        throw Exception("レイアウトは " + LayoutNames() + " のどれかです: " + layoutName);
    const std::string text = csvtable::ReadFile(csvPath);
    const auto records = csv::Parse(text);
    const auto fields = layouts::FieldsFor(*layout, records.empty() ? csv::Record{} : records.front());
    const auto base = std::filesystem::path(csvPath).parent_path();
    const auto rows = csvtable::Import(fields, text, [&](const std::string& p) {
        return csvtable::ReadFile((base / p).string());
    });
    if (layout->check)
        layout->check(fields, rows);
    tablefile::Create(out, fields, rows);
    return 0;
}

int ImportCommand(const Args& a)
{
    if (a.size() == 4 && a[0] == "--layout")
        return Import(a[1], a[2], a[3]);
    if (a.size() == 3 && a[0].rfind("--layout=", 0) == 0)
        return Import(a[0].substr(9), a[1], a[2]);
    return -1;
}

int Check(const Args& a)
{
    const tablefile::Contents c = tablefile::Read(a[0]);
    const layouts::Layout* layout = layouts::Matching(c.fields);
    if (layout && layout->check)
        layout->check(c.fields, c.rows);
    std::cout << a[0] << ": " << (layout ? layout->name : "(独自)") << ", " << c.rows.size() << " records\n";
    for (const auto& f : c.fields)
        std::cout << "  " << f.name << " " << FieldTypeName(f.type)
                  << (f.type == FieldType::Text ? "(" + std::to_string(f.size) + ")" : "") << "\n";
    return 0;
}

std::string Optional(const std::optional<int>& v) { return v ? std::to_string(*v) : std::string(); }

// One row per answer, oldest first, with its session; a UTF-8 byte-order mark first, so that a
// spreadsheet reads the 教習項目 names as UTF-8.
int RecordExport(const Args& a)
{
    record::LearningRecord rec;
    rec.OpenForReading(a[0]);
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
    return Output(out, a.size() > 1 ? a[1] : std::string());
}

struct Command {
    const char* name;
    const char* usage;
    std::size_t minArgs, maxArgs;
    int (*run)(const Args&);   // -1: the arguments do not fit
};

const Command kCommands[] = {
    {"export", "export FILE", 1, 1, Export},
    {"import", "import --layout LAYOUT CSV FILE", 3, 4, ImportCommand},
    {"check", "check FILE", 1, 1, Check},
    {"record-export", "record-export RECORD.sqlite [OUT.csv]", 1, 2, RecordExport},
};

// The commands, then each layout with its columns (optional ones in brackets).
void PrintUsage(std::ostream& out)
{
    out << "使い方:\n";
    for (const Command& c : kCommands)
        out << "  tabletool " << c.usage << "\n";
    out << "LAYOUT:\n";
    for (const auto& l : layouts::All()) {
        out << "  " << l.name << " (" << l.file << "):";
        for (const auto& f : *l.fields)
            out << " " << f.name;
        for (const auto& f : l.optional)
            out << " [" << f.name << "]";
        out << "\n";
    }
}

int Usage()
{
    PrintUsage(std::cerr);
    return 1;
}

int Run(const Args& args)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        PrintUsage(std::cout);
        return 0;
    }
    if (args.empty())
        return Usage();
    for (const Command& c : kCommands) {
        if (args[0] != c.name)
            continue;
        const Args rest(args.begin() + 1, args.end());
        if (rest.size() < c.minArgs || rest.size() > c.maxArgs)
            return Usage();
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
