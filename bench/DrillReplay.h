#pragma once
// The table work of the question window's handlers, without the window: what a drill asks of
// the table store and the search at its start, at each answer, at each "次の問題" and at its
// end. It follows the handlers step by step (the views' refreshes aside), so that the figures
// measure the same calls in the same order.

#include "Table.h"

#include <string>

namespace replay {

enum class SearchKind {
    OneScan,   // the drill's own search (drill::SearchQuestion)
    Literal,   // the loop of tries, for comparison (LiteralSearch)
};

class Drill {
public:
    Drill();

    Table bank;      // Table1
    Table history;   // Table2
    Table advice;    // Table3
    int DrillLevel = 5;
    int Total = 0;
    int Sei = 0;
    int Ans = 0;
    int LKaisu = 0;
    SearchKind search = SearchKind::OneScan;

    // The drill start: the settings file, the three tables, the advice filter, the counters,
    // the emptied history, the first search and the "Bango = " filter. False when no question
    // qualifies.
    bool Start(const std::string& settingsFile);
    // Judging an answer (1 "正", 0 "誤"): Edit, the four counters, Post, the history record and,
    // from the eleventh question on, the advice filter. True when the answer was right.
    bool Judge(int answer);
    // The answer that is right for the question on screen.
    int RightAnswer();
    // "次の問題": the level move over the last 20 answers, the search and the "Bango = " filter.
    bool Next();
    // The drill end: the bank's filter off, then the three tables closed (written back).
    void End();

private:
    bool ShowNextQuestion();
};

}  // namespace replay
