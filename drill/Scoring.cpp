#include "Scoring.h"

#include "Table.h"
#include "Layouts.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace field = layouts::field;

// The difficulty must be computed with a 64-bit significand: a double gives 40 where 3 right
// of 5 must give 39. On x86-64 with g++ that is long double.
static_assert(LDBL_MANT_DIG == 64, "long double must have a 64-bit significand");

namespace drill {

namespace {
int Saturate(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Adds one without running past the largest stored integer.
int Inc(int v) { return Saturate(std::int64_t(v) + 1); }

int Truncate(long double v)
{
    if (std::isnan(v))
        return 100;
    if (v >= static_cast<long double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<long double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);   // truncates toward zero
}
}  // namespace

int Difficulty(int s, int k)
{
    // volatile keeps each step rounded to long double even if the compiler could fold it.
    volatile long double ratio = static_cast<long double>(s) / static_cast<long double>(k);
    volatile long double percent = ratio * 100.0L;
    volatile long double rest = 100.0L - percent;
    return Truncate(rest);
}

Counters AfterAnswer(const Counters& before, bool right)
{
    Counters after = before;
    after.kaisu = Inc(before.kaisu);
    if (right) {
        after.nkaisu = Inc(before.nkaisu);
        after.seikaisu = Inc(before.seikaisu);
        after.nani = Difficulty(after.seikaisu, after.kaisu);
    } else {
        const int d = Difficulty(before.seikaisu, after.kaisu);
        if (d > before.nani) {
            after.nkaisu = Inc(before.nkaisu);
            after.nani = d;
        } else {
            after.nani = Saturate(std::int64_t(d) + 5);
        }
    }
    return after;
}

std::string PercentText(int right, int answers)
{
    if (answers == 0)
        return "0";
    const long double percent = static_cast<long double>(right) / static_cast<long double>(answers) * 100.0L;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15Lg", percent);
    return buffer;
}

int PercentInteger(int right, int answers)
{
    if (answers == 0)
        return 0;
    return Saturate(std::int64_t(right) * 100 / answers);
}

std::string PercentLabel(int n) { return std::to_string(n) + " %"; }

int LevelChange(int sum, int count)
{
    if (count <= 0)
        return -2;   // no answers: a rate that is no number compares false everywhere
    // rate = sum / count * 100, compared exactly as the fraction: rate >= p <=> 100 sum >= p count.
    const std::int64_t s = std::int64_t(sum) * 100;
    const std::int64_t c = count;
    if (sum == count && count == 20)
        return 2;
    if (s >= 95 * c) return 1;
    if (s >= 90 * c) return 0;
    if (s >= 85 * c) return -1;
    if (s >= 80 * c) return -2;
    if (s >= 70 * c) return -3;
    if (count == 20) return -5;
    return -2;
}

int MoveLevel(int level, int sum, int count)
{
    const std::int64_t moved = std::int64_t(level) + LevelChange(sum, count);
    if (moved > 100)
        return 100;
    if (moved < 0)
        return 0;
    return int(moved);
}

RecentAnswers LastAnswers(Table& history)
{
    RecentAnswers r;
    history.Last();
    while (!history.Bof()) {
        r.sum += history.FieldByName(field::Seihi).AsInteger();
        ++r.count;
        if (r.count == 20)
            break;
        history.Prior();
    }
    return r;
}

}  // namespace drill
