#include "Search.h"

#include "Exception.h"
#include "FilterText.h"
#include "Table.h"
#include "Layouts.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <vector>

namespace field = layouts::field;

namespace drill {

std::string SearchFilter(int level, int passLimit)
{
    return FilterText().Equals(field::Nani, level).AtMost(field::NKaisu, passLimit).AtLeast(field::KariHon, 1);
}

namespace {
int FieldOf(const Table& bank, const char* name)
{
    const int i = bank.FieldIndex(name);
    if (i < 0)
        throw Exception(std::string("項目 '") + name + "' が見つかりません");
    return i;
}

// What the search reads of the bank: the three integer columns, and the difficulty's field for
// the table's index of which questions hold each difficulty.
struct Columns {
    explicit Columns(const Table& bank)
        : naniField(FieldOf(bank, field::Nani)), nani(bank.IntegerColumn(naniField)),
          nkaisu(bank.IntegerColumn(FieldOf(bank, field::NKaisu))),
          karihon(bank.IntegerColumn(FieldOf(bank, field::KariHon)))
    {
    }
    bool Passes(std::size_t r, int limit) const { return karihon[r] >= 1 && nkaisu[r] <= limit; }

    int naniField;
    std::span<const std::int32_t> nani, nkaisu, karihon;
};

}  // namespace

SearchOutcome FindQuestion(const Table& bank, int startLevel, int passLimit)
{
    const Columns c(bank);
    // The first try (the start level within the pass limit) finds a question in most searches:
    // looked at first, it reads only the questions of the start level.
    for (const std::size_t r : bank.RowsWithValue(c.naniField, startLevel)) {
        if (c.Passes(r, passLimit)) {
            const std::int64_t after = startLevel < 0 ? std::int64_t(passLimit) + 1 : passLimit;
            return {true, startLevel, passLimit, int(std::min<std::int64_t>(after, INT_MAX)), r};
        }
    }
    const auto& nani = c.nani;
    const auto& nkaisu = c.nkaisu;
    const auto& karihon = c.karihon;
    const std::size_t count = nani.size();

    // The difficulties one pass tries: S down to -1; a start level below 0 tries only itself,
    // and every such try ends its pass.
    const std::int64_t high = startLevel;
    const std::int64_t low = startLevel >= 0 ? -1 : startLevel;

    // The first pass that finds anything is the first limit reaching the lowest settled count;
    // within that pass the highest difficulty comes first. One scan keeps what both possible
    // limits need: the lowest settled count with the highest difficulty at it, and the highest
    // difficulty already within the pass limit given.
    std::int64_t lowestSettled = INT64_MAX, highestAtLowest = 0;
    std::int64_t highestWithinLimit = INT64_MIN;
    for (std::size_t r = 0; r < count; ++r) {
        const std::int64_t n = nani[r];
        if (karihon[r] < 1 || n < low || n > high)
            continue;
        const std::int64_t k = nkaisu[r];
        if (k < lowestSettled) {
            lowestSettled = k;
            highestAtLowest = n;
        } else if (k == lowestSettled && n > highestAtLowest) {
            highestAtLowest = n;
        }
        if (k <= passLimit && n > highestWithinLimit)
            highestWithinLimit = n;
    }
    if (lowestSettled == INT64_MAX)
        return {};

    const bool withinLimit = lowestSettled <= passLimit;
    const std::int64_t limit = withinLimit ? passLimit : lowestSettled;
    const std::int64_t level = withinLimit ? highestWithinLimit : highestAtLowest;

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
    // As each try's filter would: an edit in progress is stored before the bank is searched.
    bank.Post();
    const SearchOutcome out = FindQuestion(bank, startLevel, passLimit);
    if (!out.found)
        return false;
    // The view is the successful try's matches: the questions of its difficulty that pass, from
    // the table's index instead of a pass over the bank, and no record before the first one
    // found. Deleted records read 0 in every column, so KariHon >= 1 leaves them out as the
    // filter does.
    const Columns c(bank);
    const std::span<const std::size_t> level = bank.RowsWithValue(c.naniField, out.level);
    std::vector<std::size_t> rows;
    for (auto it = std::lower_bound(level.begin(), level.end(), out.from); it != level.end(); ++it)
        if (c.Passes(*it, out.filterLimit))
            rows.push_back(*it);
    bank.SetFilteredView(SearchFilter(out.level, out.filterLimit), std::move(rows));
    passLimit = out.passLimit;
    return true;
}

}  // namespace drill
