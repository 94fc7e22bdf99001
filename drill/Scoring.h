#pragma once
// The drill's arithmetic, apart from any window: a question's difficulty and counters after an
// answer, the drill's percentages, and the move of the drill level after an answer.

#include <string>

class Table;

namespace drill {

// 100 - (s / k) * 100 with every step rounded to a 64-bit significand, truncated toward zero.
// At exactly 60 % this gives 39, not 40. Counters no drill writes (k = 0, for one) still give
// a defined value: a result that is not a number counts as 100, others are held in int range.
int Difficulty(int s, int k);

// A question's counters, as stored in the bank.
struct Counters {
    int kaisu = 0;      // answers
    int seikaisu = 0;   // right answers
    int nkaisu = 0;     // settled count
    int nani = 0;       // difficulty
    bool operator==(const Counters&) const = default;
};

// The counters after one answer. A right answer settles the question; a wrong one settles it
// only when its difficulty rises, and otherwise gives it the recomputed difficulty plus 5.
Counters AfterAnswer(const Counters& before, bool right);

// The share of right answers in percent with a 64-bit significand, in the general format with
// at most 15 significant digits ("66.6666666666667", "75", "33.3333333333333").
std::string PercentText(int right, int answers);
// The same share by integer division, truncated (the bar and its label).
int PercentInteger(int right, int answers);
// "<n> %", the way the window shows a level or a rate.
std::string PercentLabel(int n);

// The change of the drill level for SUM right answers among the last COUNT (at most 20).
int LevelChange(int sum, int count);
// LEVEL moved by that change and held within 0..100.
int MoveLevel(int level, int sum, int count);

struct RecentAnswers {
    int sum = 0;     // right answers
    int count = 0;   // answers looked at, at most 20
};
// Walks the history back from its last record, over at most 20 records, summing Seihi.
RecentAnswers LastAnswers(Table& history);

}  // namespace drill
