#pragma once
// One drill on the three tables of a data directory, without a window: its state (drill level,
// pass limit, counters, answered or not, which advice text shows) and its steps — Start, Judge,
// Next, End. The question window calls these and shows what they return; the benchmarks drive
// the same class. The table calls come in the order the question window has always made them,
// so the files a drill stores are the same byte for byte whoever drives it.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class Table;

namespace record {
class LearningRecord;
struct Answer;
}

namespace drill {

// The question search a session runs: on success the bank's view holds the candidates (the
// first current) and PASSLIMIT is updated; false when no question qualifies. SearchQuestion
// unless a benchmark measures another.
using SearchFunction = bool (*)(Table& bank, int startLevel, int& passLimit);

struct Verdict {
    bool right = false;
    int shownAnswer = 0;        // the right answer's code as the window states it: 1 正, 0 誤
    const char* adviceField;    // the advice table's field to show: "Seikai" or "Fuseikai"
};

struct Statistics {
    int right = 0;              // Sei
    int answers = 0;            // Ans
    std::string percentText;    // "66.6666666666667"
    int percent = 0;            // truncated, for the bar and its label
};

class Session {
public:
    // The tables belong to the caller (the window binds its views to them); the session only
    // works on them while they are open.
    Session(Table& bank, Table& history, Table& advice);

    // The difficulty the question search aims at; set before Start (0, 5 or 15 from the menu).
    int DrillLevel = 0;
    // The question on screen (1 for the first), right answers, answers, and the pass limit.
    int Total = 0;
    int Sei = 0;
    int Ans = 0;
    int LKaisu = 0;
    // When true, Start resets every question's settled count.
    bool ResetSettledCounts = false;
    SearchFunction search;

    bool Answered() const { return answered_; }
    // The advice table's text field the advice shows: the last verdict's, "Seikai" before any.
    const char* AdviceField() const { return adviceField_; }
    Statistics Stats() const;

    // The drill start on the open tables: the advice table narrowed to "Nani = -1" and back,
    // the counters reset, the history emptied, the settled counts reset when asked, the first
    // question searched and the bank narrowed to it. When no question qualifies nothing is
    // changed (the previous drill's history stays) and the result is false.
    bool Start();
    // Judges ANSWER (1 正, 0 誤) against the question on screen: its counters and difficulty
    // posted, one history record appended, the drill level lowered on a wrong answer, the
    // advice narrowed to the level from the eleventh question on. Offered only while unanswered.
    Verdict Judge(int answer);
    // "次の問題": the level moved by the last 20 answers, the next question searched and the
    // bank narrowed to it. False when no question qualifies (the drill should end).
    bool Next();
    // Writes the bank and the history back and closes the three tables. Both files are checked
    // before either is written; on any failure it throws and every table stays open showing
    // what it showed, so that End can be tried again.
    void End();

    // A drill cut off before its end (the program killed), stored again from the answers the
    // learning record kept: the start's changes (the history emptied, the settled counts reset
    // when asked), then each answer judged on its question in order, as the drill judged it. End
    // then stores the files exactly as the drill's own end would have. Throws, changing no file,
    // when an answer is not one of the bank's statements.
    void Replay(const std::vector<record::Answer>& answers);

    // The answer that is right for the question on screen (its Seikai).
    int RightAnswer();

    // The learning record every answer is also written to (session kind "drill", from Start to
    // End); none by default. Set before Start. A record that fails is let go and the drill goes
    // on as before: RecordFailure says why.
    void UseRecord(record::LearningRecord* record) { record_ = record; }
    // The message of the record's failure since the last call; empty when none.
    std::string TakeRecordFailure();

private:
    void ClearForStart();
    bool ShowNextQuestion();
    void AppendHistory(const std::string& bango, int seihi, const std::string& mondai);
    void FilterAdvice();
    void CheckWritable(const Table& table) const;
    // Runs a write to the record; a failure lets the record go for the rest of the drill.
    template <typename F> void ToRecord(F write);
    void RecordAnswer(const std::string& bango, int answer, bool right);

    Table& bank_;
    Table& history_;
    Table& advice_;
    bool answered_ = false;
    const char* adviceField_ = "Seikai";
    record::LearningRecord* record_ = nullptr;
    std::int64_t recordSession_ = 0;   // 0: none begun
    std::string recordFailure_;
    std::chrono::steady_clock::time_point shownAt_;   // when the question on screen was found
};

}  // namespace drill
