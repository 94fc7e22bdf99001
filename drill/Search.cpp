#include "Search.h"

#include "Exception.h"
#include "Table.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

namespace drill {

std::string SearchFilter(int level, int passLimit)
{
    return "Nani = " + std::to_string(level) + " AND NKaisu <= " + std::to_string(passLimit)
        + " AND KariHon >= 1";
}

namespace {
int FieldOf(const Table& bank, const char* name)
{
    const int i = bank.FieldIndex(name);
    if (i < 0)
        throw Exception(std::string("項目 '") + name + "' が見つかりません");
    return i;
}

std::int64_t IntegerOf(const Value& v) { return v.null ? 0 : v.integer; }
}  // namespace

SearchOutcome FindQuestion(const Table& bank, int startLevel, int passLimit)
{
    const int nani = FieldOf(bank, "Nani");
    const int nkaisu = FieldOf(bank, "NKaisu");
    const int karihon = FieldOf(bank, "KariHon");

    // The difficulties one pass tries: S down to -1; a start level below 0 tries only itself,
    // and every such try ends its pass.
    const std::int64_t high = startLevel;
    const std::int64_t low = startLevel >= 0 ? -1 : startLevel;

    struct Candidate {
        std::int64_t nani;
        std::int64_t nkaisu;
    };
    std::vector<Candidate> eligible;
    std::optional<std::int64_t> lowestSettled;
    const std::size_t count = bank.StoredCount();
    for (std::size_t r = 0; r < count; ++r) {
        if (IntegerOf(bank.StoredValue(r, karihon)) < 1)
            continue;
        const std::int64_t n = IntegerOf(bank.StoredValue(r, nani));
        if (n < low || n > high)
            continue;
        const std::int64_t k = IntegerOf(bank.StoredValue(r, nkaisu));
        eligible.push_back({n, k});
        lowestSettled = std::min(lowestSettled.value_or(k), k);
    }
    if (!lowestSettled)
        return {};

    // The first pass that finds anything is the first limit reaching the lowest settled count;
    // within that pass the highest difficulty comes first.
    const std::int64_t limit = std::max<std::int64_t>(passLimit, *lowestSettled);
    std::int64_t level = low;
    for (const Candidate& c : eligible)
        if (c.nkaisu <= limit)
            level = std::max(level, c.nani);

    SearchOutcome out;
    out.found = true;
    out.level = int(level);
    out.filterLimit = int(limit);
    // The try at -1 raises the limit whether or not it found something.
    const std::int64_t after = level < 0 ? limit + 1 : limit;
    out.passLimit = int(std::min<std::int64_t>(after, INT_MAX));
    return out;
}

bool SearchQuestion(Table& bank, int startLevel, int& passLimit)
{
    const SearchOutcome out = FindQuestion(bank, startLevel, passLimit);
    if (!out.found)
        return false;
    bank.SetFilter(SearchFilter(out.level, out.filterLimit));
    bank.SetFiltered(true);
    passLimit = out.passLimit;
    return true;
}

}  // namespace drill
