#pragma once
// The written tests the program imitates as mock exams, each defined once: what it is called,
// how the learning record names its sessions, what is drawn and from where, the time, the points
// and the pass rule. The draw, the exam and results windows, the menu, the command line and the
// learning-record window all read these; adding a test is adding a definition (and its entry in
// the menu).

#include <QString>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace exam {

// Which test: the one identity of a test throughout the program.
enum class Test { Karimen, Honmen, Gaimen };

// Which statements of the bank a test asks.
struct Scope {
    int lastStage = 1;       // KariHon 1 up to this: 1 the first stage only, 2 both stages
    bool textOnly = false;   // only statements without a figure (Zu empty)
};

// Passed at NUMERATOR/DENOMINATOR of the maximum score or more. The pass mark is that share
// rounded up, so that no score below the share ever passes.
struct PassRule {
    int numerator = 9;
    int denominator = 10;
    int PassMark(int maxScore) const { return (maxScore * numerator + denominator - 1) / denominator; }
};

struct TestDefinition {
    Test test;
    const char* key;            // the word that names it on the command line ("karimen")
    const char* name;           // as the pupil reads it (UTF-8): "仮免"
    const char* sessionKind;    // the learning record's session kind: "mock-karimen"
    Scope scope;
    int statements;             // true/false statements drawn
    int hazards;                // hazard items, each scored only when its three parts are right
    int statementPoints;
    int hazardPoints;
    std::chrono::minutes time;
    PassRule pass;
    // Its readiness is shown before its first mock: the tests every driving-school pupil sits.
    // The others are shown once the pupil has sat one of their mocks.
    bool shownBeforeFirstMock;

    int MaxScore() const { return statements * statementPoints + hazards * hazardPoints; }
    int PassMark() const { return pass.PassMark(MaxScore()); }
    int Questions() const { return statements + hazards; }
};

// Every test, in the order the menu and the learning record show them.
const std::vector<TestDefinition>& Tests();
const TestDefinition& Definition(Test test);
// The test of a command-line word or of a stored session kind; null for any other text.
const TestDefinition* FindByKey(std::string_view key);
const TestDefinition* FindBySessionKind(std::string_view kind);

QString Name(const TestDefinition& definition);
// The exam window's title, "仮免 模擬試験".
QString MockTitle(const TestDefinition& definition);
// The words of its sign in the menu: title, questions and time.
QString MenuCaption(const TestDefinition& definition);
// The command-line words of every test, "karimen|honmen|gaimen".
std::string Keys();

}  // namespace exam
