#include "Counters.h"

#include "EucJp.h"
#include "Exception.h"
#include "Layouts.h"
#include "Outbox.h"
#include "SafeFile.h"
#include "TableFile.h"

#include <filesystem>
#include <map>
#include <sstream>

namespace school {

namespace {

namespace field = layouts::field;

struct CounterFields {
    std::size_t bango, kaisu, seikaisu, nkaisu, nani;
};

CounterFields Find(const std::vector<FieldDef>& fields, const std::string& path)
{
    const auto at = [&](const char* name) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == name)
                return i;
        throw Exception(path + " に " + name + " 欄がありません / " + path + " has no field " + name);
    };
    return {at(field::Bango), at(field::Kaisu), at(field::Seikaisu), at(field::NKaisu), at(field::Nani)};
}

Counter Of(const Row& row, const CounterFields& f)
{
    return {eucjp::ToUtf8(eucjp::Decode(row[f.bango].bytes)), row[f.kaisu].integer, row[f.seikaisu].integer,
            row[f.nkaisu].integer, row[f.nani].integer};
}

std::map<std::string, Counter> ReadBase(const std::string& folder)
{
    std::map<std::string, Counter> base;
    std::string text;
    try {
        text = safefile::Read(Dir(folder) + kCounterBaseFile, 64 << 20);
    } catch (const Exception&) {
        return base;   // none yet: everything the bank holds is this folder's own
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Counter c;
        if (std::getline(fields, c.bango, '\t') && fields >> c.kaisu >> c.seikaisu >> c.nkaisu >> c.nani)
            base[c.bango] = c;
    }
    return base;
}

}  // namespace

std::vector<Counter> ReadCounters(const std::string& bankPath)
{
    const tablefile::Contents c = tablefile::Read(bankPath, true);
    const CounterFields f = Find(c.fields, bankPath);
    std::vector<Counter> counters;
    counters.reserve(c.rows.size());
    for (const Row& row : c.rows)
        counters.push_back(Of(row, f));
    return counters;
}

void LayOver(const std::string& folder, const std::vector<Counter>& counters)
{
    const std::string path = Dir(folder) + layouts::kBankFile;
    // The base goes first: a folder caught between the new counters and the new base would
    // deliver the server's own counters back as its contribution. Without a base no counters are
    // delivered, and the next sign-in lays them over again.
    std::error_code ec;
    std::filesystem::remove(Dir(folder) + kCounterBaseFile, ec);
    if (ec)
        throw Exception(Dir(folder) + kCounterBaseFile + " を消せません / cannot remove: " + ec.message());
    tablefile::Contents c = tablefile::Read(path, true);
    const CounterFields f = Find(c.fields, path);
    std::map<std::string, const Counter*> server;
    for (const Counter& counter : counters)
        server[counter.bango] = &counter;

    std::vector<bool> dirty(c.fields.size(), false);
    dirty[f.kaisu] = dirty[f.seikaisu] = dirty[f.nkaisu] = dirty[f.nani] = true;
    tablefile::Changes changes{path, &c.fields, {}, {}, {}, c.stamp};
    std::string base;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        Row& row = c.rows[i];
        const Counter before = Of(row, f);
        const auto it = server.find(before.bango);
        const Counter now = it != server.end() ? *it->second : Counter{before.bango, 0, 0, 0, 0};
        if (now.kaisu != before.kaisu || now.seikaisu != before.seikaisu || now.nkaisu != before.nkaisu ||
            now.nani != before.nani) {
            row[f.kaisu] = Value(now.kaisu);
            row[f.seikaisu] = Value(now.seikaisu);
            row[f.nkaisu] = Value(now.nkaisu);
            row[f.nani] = Value(now.nani);
            changes.updated.push_back({c.ids[i], &row, dirty});
        }
        base += now.bango + "\t" + std::to_string(now.kaisu) + "\t" + std::to_string(now.seikaisu) + "\t" +
                std::to_string(now.nkaisu) + "\t" + std::to_string(now.nani) + "\n";
    }
    if (!changes.updated.empty())
        tablefile::WriteChanges({changes});
    // A new base: its contribution starts empty and belongs to the sign-in bound next.
    Outbox b = LoadOrMakeOutbox(folder);
    b.countersToken.clear();
    b.countersSeq = 0;
    b.countersSent.clear();
    SaveOutbox(folder, b);
    safefile::Write(Dir(folder) + kCounterBaseFile, base);
}

std::vector<Counter> Contribution(const std::string& folder)
{
    const std::map<std::string, Counter> base = ReadBase(folder);
    std::vector<Counter> changed;
    for (const Counter& now : ReadCounters(Dir(folder) + layouts::kBankFile)) {
        const auto it = base.find(now.bango);
        const Counter was = it != base.end() ? it->second : Counter{now.bango, 0, 0, 0, 0};
        if (now == was)
            continue;
        changed.push_back({now.bango, now.kaisu - was.kaisu, now.seikaisu - was.seikaisu, now.nkaisu - was.nkaisu,
                           now.nani});
    }
    return changed;
}

}  // namespace school
