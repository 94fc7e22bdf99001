#pragma once
// The question search: which question the drill shows next, for a start level and the drill's
// pass limit. Used by the drill start and by "次の問題".
//
// The search tries the difficulties S, S-1, ..., 0, -1 against the questions with KariHon >= 1
// whose settled count (NKaisu) is at most the pass limit, raising the limit by one after every
// try at -1 and starting again at S, until a try finds a question. It is computed here in at most
// one scan of the bank, with the same outcome (filter, current record, pass limit) as running those
// tries one by one, and it reports when no limit could ever find a question instead of trying
// for ever.

#include <cstddef>
#include <string>

class Table;

namespace drill {

// The filter of one try: "Nani = <level> AND NKaisu <= <limit> AND KariHon >= 1".
std::string SearchFilter(int level, int passLimit);

struct SearchOutcome {
    bool found = false;
    int level = 0;       // the difficulty at which the search stops
    int filterLimit = 0; // the pass limit of the successful try
    int passLimit = 0;   // the pass limit afterwards (one more when the stop was at -1)
    std::size_t from = 0;  // no stored record before this one passes the successful try
};

// Computes the search on the whole bank (every stored record, whatever its filter): the first try
// from the table's index of the difficulties, else one scan of its integer columns. Null
// integers count as 0.
SearchOutcome FindQuestion(const Table& bank, int startLevel, int passLimit);

// Runs the search, after storing an edit in progress as a filter change would: on success sets
// the bank's filter to the successful try's filter, turns filtering on (its first match becomes
// current) and updates PASSLIMIT. Returns false, leaving the bank's filter and view and PASSLIMIT
// as they were, when no question qualifies.
bool SearchQuestion(Table& bank, int startLevel, int& passLimit);

}  // namespace drill
