#include "HonyakuCommand.h"

#include "CsvTable.h"
#include "Exception.h"
#include "Honyaku.h"
#include "SafeFile.h"

#include <filesystem>
#include <iostream>

namespace {

std::string StorePath(const std::string& dir)
{
    return (std::filesystem::path(dir) / honyaku::kFileName).string();
}

const honyaku::Language& LanguageNamed(const std::string& name)
{
    if (const honyaku::Language* l = honyaku::FindLanguage(name))
        return *l;
    std::string names;
    for (const honyaku::Language& l : honyaku::Languages())
        names += std::string(names.empty() ? "" : "|") + l.code;
    throw Exception("言語は " + names + " のどれかです / the language is one of " + names + ": " + name);
}

int Import(const std::string& dir, const std::string& lang, const std::string& csvPath)
{
    const std::string code = LanguageNamed(lang).code;
    const auto bank = honyaku::BankTexts(dir);
    const auto rows = honyaku::ReadCsv(csvtable::DecodeCsv(csvtable::ReadFile(csvPath)), code, bank);
    honyaku::Store store;
    store.Open(StorePath(dir));
    store.Replace(code, rows);
    std::cout << StorePath(dir) << ": " << code << " " << rows.size() << " 件 / rows imported\n";
    return 0;
}

int Export(const std::string& dir, const std::string& lang, const std::string& out)
{
    const std::string code = LanguageNamed(lang).code;
    const auto bank = honyaku::BankTexts(dir);
    honyaku::Store store;
    std::error_code ec;
    if (std::filesystem::exists(StorePath(dir), ec))
        store.OpenForReading(StorePath(dir));
    else
        store.Open(StorePath(dir));   // none yet: every text to translate, texts empty
    int stale = 0;
    const std::string text = honyaku::WriteCsv(store, code, bank, &stale);
    if (out.empty())
        std::cout << text;
    else
        safefile::Write(out, text);
    if (stale > 0)
        std::cerr << "tabletool: " << stale << " 件の訳は日本語が変わったため空にしました / " << stale
                  << " stale translations left empty: their Japanese has changed\n";
    return 0;
}

int Check(const std::string& dir)
{
    const auto bank = honyaku::BankTexts(dir);
    honyaku::Store store;
    store.OpenForReading(StorePath(dir));
    bool anyStale = false;
    for (const honyaku::LanguageCheck& c : honyaku::Check(store, bank)) {
        std::cout << c.lang << ": " << c.current << " current, " << c.missing.size() << " missing, "
                  << c.stale.size() << " stale\n";
        for (const honyaku::SourceText& t : c.stale)
            std::cout << "  stale " << t.source << " " << t.bango << " " << t.field << "\n";
        anyStale = anyStale || !c.stale.empty();
    }
    return anyStale ? 1 : 0;
}

}  // namespace

int HonyakuCommand(const std::vector<std::string>& a)
{
    if (a.size() == 4 && a[0] == "import")
        return Import(a[1], a[2], a[3]);
    if ((a.size() == 3 || a.size() == 4) && a[0] == "export")
        return Export(a[1], a[2], a.size() == 4 ? a[3] : std::string());
    if (a.size() == 2 && a[0] == "check")
        return Check(a[1]);
    return -1;
}
