#pragma once
// A mock exam or a practice set without widgets: which questions are asked, how they are drawn
// and how the answers are scored.
//
// 仮免: 50 statements (KariHon 1), 30 minutes, pass at 45 of 50. 本免: 90 statements (KariHon 1 or
// 2) at 1 point and 5 hazard items at 2 points, each scored only when its three sub-answers are all
// right, 50 minutes, pass at 90 of 100. Without hazard items the 本免 mock runs as 90 statements,
// 90 points, pass at 81 (the same 90 %), and the paper says so.

#include "LearningRecord.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace exam {

enum class Mode { Karimen, Honmen, Practice };

// A statement of the bank as the draw sees it; ROW is its position in the bank, stored order.
struct BankStatement {
    int row = 0;
    std::string bango;
    int karihon = 0;
    std::optional<int> bunrui;
    int seikai = 0;    // 1 正, 0 誤
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

    bool IsHazard() const { return kind == Kind::Hazard; }
    int Parts() const { return IsHazard() ? 3 : 1; }
    int Points() const { return IsHazard() ? 2 : 1; }
};

struct Paper {
    Mode mode = Mode::Practice;
    std::int64_t seed = 0;
    std::vector<Question> questions;
    int maxScore = 0;
    int passMark = 0;
    std::chrono::seconds timeLimit{0};   // 0: no clock (practice)
    std::string note;                    // shown with the results when the format was changed
};

inline constexpr int kUnanswered = -1;
// Per question, one answer per part: 1 正, 0 誤, kUnanswered.
using Answers = std::vector<std::array<int, 3>>;

struct Format {
    int statements;
    int hazards;
    int passMark;
    std::chrono::seconds limit;
};
Format MockFormat(Mode mode);

// Draws a mock exam of MODE (Karimen or Honmen) from POOL, the same draw for the same seed.
// Throws Exception naming the counts when the bank has too few eligible statements.
Paper DrawMock(Mode mode, const Pool& pool, std::int64_t seed);

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
// The questions of PAPER that RESULT scored wrong.
Paper PracticeMissed(const Paper& paper, const Result& result, std::int64_t seed);
// The statements of one syllabus item.
Paper PracticeCategory(const Pool& pool, int bunrui, std::int64_t seed);
// The statements and hazard items one of whose latest answers in the record was wrong.
Paper PracticeLatestWrong(const Pool& pool, const std::vector<record::LatestResult>& latest,
                          std::int64_t seed);
// The hazard items.
Paper PracticeHazards(const Pool& pool, std::int64_t seed);

}  // namespace exam
