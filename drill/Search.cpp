#include "Search.h"

#include "Exception.h"
#include "FilterText.h"
#include "Table.h"
#include "Layouts.h"

#include <algorithm>
#include <climits>
#include <cstdint>
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

}  // namespace

SearchOutcome FindQuestion(const Table& bank, int startLevel, int passLimit)
{
    const auto nani = bank.IntegerColumn(FieldOf(bank, field::Nani));
    const auto nkaisu = bank.IntegerColumn(FieldOf(bank, field::NKaisu));
    const auto karihon = bank.IntegerColumn(FieldOf(bank, field::KariHon));

    const std::size_t count = nani.size();
    // The first try (the start level within the pass limit) finds a question in most searches:
    // looked at first, it costs a pass over one column, which stops at the first question.
    for (std::size_t r = 0; r < count; ++r) {
        if (nani[r] == startLevel && karihon[r] >= 1 && nkaisu[r] <= passLimit) {
            const std::int64_t after = startLevel < 0 ? std::int64_t(passLimit) + 1 : passLimit;
            return {true, startLevel, passLimit, int(std::min<std::int64_t>(after, INT_MAX)), r};
        }
    }

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
    const SearchOutcome out = FindQuestion(bank, startLevel, passLimit);
    if (!out.found)
        return false;
    // The view is the successful try's matches, taken from the same columns the scan read
    // instead of parsing and running the try's filter over the bank again. Deleted records read
    // 0 in every column, so KariHon >= 1 leaves them out as the filter does.
    const auto nani = bank.IntegerColumn(FieldOf(bank, field::Nani));
    const auto nkaisu = bank.IntegerColumn(FieldOf(bank, field::NKaisu));
    const auto karihon = bank.IntegerColumn(FieldOf(bank, field::KariHon));
    std::vector<std::size_t> rows;
    for (std::size_t r = out.from; r < nani.size(); ++r)
        if (nani[r] == out.level && karihon[r] >= 1 && nkaisu[r] <= out.filterLimit)
            rows.push_back(r);
    bank.SetFilteredView(SearchFilter(out.level, out.filterLimit), std::move(rows));
    passLimit = out.passLimit;
    return true;
}

}  // namespace drill
