// tabletool: creates, exports and checks table files, for bank authors and tests.
//
//   tabletool export FILE                               CSV (UTF-8) to standard output
//   tabletool import --layout bank|history|advice CSV FILE
//   tabletool check FILE

#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"
#include "TableFile.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace {

const char* const kUsage =
    "使い方:\n"
    "  tabletool export FILE\n"
    "  tabletool import --layout bank|history|advice CSV FILE\n"
    "  tabletool check FILE\n";

int Export(const std::string& path)
{
    const tablefile::Contents c = tablefile::Read(path);
    const std::string out = csvtable::Export(c.fields, c.rows);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Import(const std::string& layoutName, const std::string& csvPath, const std::string& out)
{
    const auto* layout = layouts::ByName(layoutName);
    if (!layout)
        throw Exception("レイアウトは bank, history, advice のどれかです: " + layoutName);
    const auto base = std::filesystem::path(csvPath).parent_path();
    const auto rows = csvtable::Import(*layout, csvtable::ReadFile(csvPath), [&](const std::string& p) {
        return csvtable::ReadFile((base / p).string());
    });
    if (layoutName == "bank")
        csvtable::CheckBango(*layout, rows);
    tablefile::Create(out, *layout, rows);
    return 0;
}

int Check(const std::string& path)
{
    const tablefile::Contents c = tablefile::Read(path);
    std::string layoutName = "(独自)";
    for (const char* name : {"bank", "history", "advice"}) {
        const auto& l = *layouts::ByName(name);
        if (l.size() != c.fields.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < l.size(); ++i)
            same = same && l[i].name == c.fields[i].name && l[i].type == c.fields[i].type &&
                   l[i].size == c.fields[i].size;
        if (same)
            layoutName = name;
    }
    if (layoutName == "bank")
        csvtable::CheckBango(c.fields, c.rows);
    std::cout << path << ": " << layoutName << ", " << c.rows.size() << " records\n";
    for (const auto& f : c.fields)
        std::cout << "  " << f.name << " " << FieldTypeName(f.type)
                  << (f.type == FieldType::Text ? "(" + std::to_string(f.size) + ")" : "") << "\n";
    return 0;
}

int Run(const std::vector<std::string>& args)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() == 2 && args[0] == "export")
        return Export(args[1]);
    if (args.size() == 2 && args[0] == "check")
        return Check(args[1]);
    if (args.size() == 5 && args[0] == "import" && args[1] == "--layout")
        return Import(args[2], args[3], args[4]);
    if (args.size() == 4 && args[0] == "import" && args[1].rfind("--layout=", 0) == 0)
        return Import(args[1].substr(9), args[2], args[3]);
    std::cerr << kUsage;
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // the EUC-JP codec needs no event loop, only Qt Core
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return Run(args);
    } catch (const std::exception& e) {
        std::cerr << "tabletool: " << e.what() << "\n";
        return 1;
    }
}
