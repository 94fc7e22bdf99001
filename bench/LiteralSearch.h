#pragma once
// The question search as a loop of tries: the reference behaviour that the drill's one-scan
// search must reproduce (tests/drill) and is measured against (the benchmarks here).

#include "Search.h"
#include "Table.h"

// One try per difficulty from START down to -1, each try a filter text built, parsed and applied
// to the whole bank, the pass limit raised after every try at -1 (also after one that succeeds)
// until a try finds a question. MAXLIMIT stops it where the loop would run for ever: no limit
// past the largest settled count finds anything new.
inline bool LiteralSearch(Table& bank, int start, int& limit, int maxLimit)
{
    int n = start;
    for (;;) {
        bank.SetFilter(drill::SearchFilter(n, limit));
        bank.SetFiltered(true);
        if (n < 0) {
            ++limit;
            n = start;
        } else {
            --n;
        }
        if (bank.RecordCount() > 0)
            return true;
        if (limit > maxLimit)
            return false;
    }
}
