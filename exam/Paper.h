#pragma once
// A mock exam or a practice set without widgets: which questions are asked, how they are drawn
// and how the answers are scored. What each mock asks is its test's definition (TestDefinition.h).
// A test whose hazard items the data directory cannot give runs with its statements alone, its
// pass mark by the same rule over the smaller maximum, and the paper says so.

#include "LearningRecord.h"
#include "TestDefinition.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace exam {

// A statement of the bank as the draw sees it; ROW is its position in the bank, stored order.
struct BankStatement {
    int row = 0;
    std::string bango;
    int karihon = 0;
    std::optional<int> bunrui;
    int seikai = 0;    // 1 正, 0 誤
    bool hasFigure = false;
};

struct HazardItem {
    int row = 0;
    std::string bango;
    std::optional<int> bunrui;
    std::array<int, 3> seikai{};
};

// What can be drawn from a data directory.
struct Pool {
    std::vector<BankStatement> statements;
    std::vector<HazardItem> hazards;
    bool hasBunrui = false;      // the bank carries the Bunrui field
    std::string hazardProblem;   // why there are no hazard items (UTF-8); empty when there are
};

struct Question {
    enum class Kind { Statement, Hazard };
    Kind kind = Kind::Statement;
    int row = 0;                 // in the bank, or in the hazard file
    std::string bango;
    std::optional<int> bunrui;
    std::array<int, 3> right{};  // a statement uses right[0]
    int points = 1;              // when every part is right

    bool IsHazard() const { return kind == Kind::Hazard; }
    int Parts() const { return IsHazard() ? 3 : 1; }
    int Points() const { return points; }
};

struct Paper {
    std::optional<Test> test;            // none: a practice set
    std::int64_t seed = 0;
    std::vector<Question> questions;
    int maxScore = 0;
    int passMark = 0;
    std::chrono::seconds timeLimit{0};   // 0: no clock (practice)
    std::string note;                    // shown with the results when the format was changed

    bool IsPractice() const { return !test; }
};

inline constexpr int kUnanswered = -1;
// Per question, one answer per part: 1 正, 0 誤, kUnanswered.
using Answers = std::vector<std::array<int, 3>>;

// Whether S is one of the statements TEST asks.
bool InScope(const Scope& scope, const BankStatement& s);

// Draws a mock exam of TEST from POOL, the same draw for the same seed. Throws Exception naming
// the counts when the bank has too few statements in the test's scope.
Paper DrawMock(Test test, const Pool& pool, std::int64_t seed);

Answers BlankAnswers(const Paper& paper);
bool IsAnswered(const Question& q, const std::array<int, 3>& answer);
// Questions with at least one part left unanswered.
int CountUnanswered(const Paper& paper, const Answers& answers);
bool IsPartRight(const Question& q, const std::array<int, 3>& answer, int part);

struct QuestionResult {
    bool right = false;                 // every part right
    std::array<bool, 3> partRight{};
    int points = 0;
};
struct CategoryScore {
    int bunrui = 0;                     // 0: questions without a syllabus code
    int score = 0;
    int maxScore = 0;
};
struct Result {
    int score = 0;
    int maxScore = 0;
    int passMark = 0;
    bool passed = false;
    int unanswered = 0;
    std::vector<QuestionResult> questions;
    std::vector<CategoryScore> categories;   // by code
};
Result Grade(const Paper& paper, const Answers& answers);

// Every part of every question as the learning record keeps it; an unanswered part is answer -1,
// wrong.
std::vector<record::Answer> RecordAnswers(const Paper& paper, const Answers& answers);
// One part, as recorded the moment it is answered (practice).
record::Answer RecordAnswer(const Question& q, int part, int answer);

// ---- Practice sets: no clock, no pass mark; at most kPracticeSize questions, in random order ----
inline constexpr int kPracticeSize = 50;
// What a practice set asks.
enum class PracticeKind {
    LatestWrong,    // the statements and hazard items whose latest answer in the record was wrong
    SyllabusItem,   // the statements of one syllabus item (its code given)
    HazardItems,    // the hazard items
    TodaysReview,   // 今日の復習: what the pupil's memory says is due today, lowest recall first
};
// The questions of PAPER that RESULT scored wrong.
Paper PracticeMissed(const Paper& paper, const Result& result, std::int64_t seed);
// The statements of one syllabus item.
Paper PracticeCategory(const Pool& pool, int bunrui, std::int64_t seed);
// The statements and hazard items one of whose latest answers in the record was wrong.
Paper PracticeLatestWrong(const Pool& pool, const std::vector<record::LatestResult>& latest,
                          std::int64_t seed);
// The hazard items.
Paper PracticeHazards(const Pool& pool, std::int64_t seed);

// A statement or hazard item as the record names it: its source and Bango.
struct QuestionKey {
    std::string source;
    std::string bango;
};
// The statements and hazard items KEYS name, in that order, each once (a hazard item asked for
// one sub-statement is asked whole); keys the pool does not hold are left out. Kept in order and
// not cut to kPracticeSize: the list is already the day's, its order the point (今日の復習).
Paper PracticeInOrder(const Pool& pool, const std::vector<QuestionKey>& keys, std::int64_t seed);

}  // namespace exam
