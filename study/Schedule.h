#pragma once
// The pupil's memory of every statement, derived by replaying the learning record's answers in
// the order given, and what follows from it: today's queue of 今日の復習, the plan towards a test
// date, the next days' forecast and the estimated recall of a test's scope.
//
// Times are days since 1970-01-01 00:00 UTC as doubles; calendar days are the pupil's, given as
// the time at which each day starts (see DayStart).

#include "Memory.h"

#include <QDate>
#include <QTimeZone>

#include <optional>
#include <string>
#include <string_view>
#include <cstdint>
#include <vector>

namespace study {

// A statement as the record names it: a bank statement (item 0) or a hazard sub-statement.
struct Key {
    std::string source;
    std::string bango;
    int item = 0;
    friend bool operator==(const Key&, const Key&) = default;
};

// The two tests and what each covers: 仮免 the first stage's statements, 本免 both stages'
// statements and the hazard items.
enum class Test { Karimen, Honmen };

// One statement of the bank or one hazard sub-statement, with what the scheduler needs.
struct Statement {
    Key key;
    int stage = 1;               // 1: both tests (KariHon 1), 2: 本免 only (KariHon 2, hazards)
    std::optional<int> nani;     // the drill's difficulty, 0..100 (bank statements)
};
bool InScope(const Statement& s, Test test);

// What the scheduler knows of one answered statement.
struct Card {
    MemoryState memory;
    double lastReview = 0;   // days since the epoch
    double firstReview = 0;
    int reviews = 0;
    int lapses = 0;
};

struct Options {
    int dailyReviews = 50;       // due statements a day, at most (a test date may raise it)
    int dailyNew = 20;           // new statements a day, at most (a test date may raise it)
    double retention = 0.9;      // the recall at which a statement falls due
    int stage = 1;               // the pupil's current stage: where new statements come from
    std::optional<Test> test;    // the test the pupil has a date for
    std::optional<QDate> testDate;
};

// The start of DAY in ZONE, in days since the epoch.
double DayStart(const QDate& day, const QTimeZone& zone);
// A QDateTime in days since the epoch.
double Days(const QDateTime& when);
// A stored time "2026-12-08T09:54:51Z" in days since the epoch; nothing for any other text.
std::optional<double> ParseStoredTime(std::string_view iso);

// ParseStoredTime for a run of stored times, most of them of the same day as the one before (a
// record's answers): the day's number is worked out once per day.
class StoredTimeReader {
public:
    std::optional<double> operator()(std::string_view iso);

private:
    char day_[10] = {};
    double dayNumber_ = -1;   // none read yet
};

class Learner {
public:
    explicit Learner(MemoryModel model = MemoryModel()) : model_(model) {}

    // One answer of KEY at WHEN (not before the statement's previous answer: the record's order).
    void Answer(const Key& key, double when, bool right) { Answer(key.source, key.bango, key.item, when, right); }
    // The same for a key read from the record, without copying its texts.
    void Answer(std::string_view source, std::string_view bango, int item, double when, bool right);
    // The card of KEY; nullptr for a statement never answered.
    const Card* Find(const Key& key) const;
    std::size_t Size() const { return cards_.size(); }

    // The predicted recall of a card at NOW.
    static double Recall(const Card& card, double now);
    // When a card's recall falls to RETENTION.
    static double Due(const Card& card, double retention);

    const MemoryModel& Model() const { return model_; }

    // The keys and their cards, in the order first answered (a replay kept in a file).
    const std::vector<Key>& Keys() const { return keys_; }
    const std::vector<Card>& Cards() const { return cards_; }
    // Adds KEY's CARD as it stands, after the cards there; false (and nothing added) when KEY
    // has a card already.
    bool Restore(const Key& key, const Card& card);

private:
    // The slot of a key in slots_: where its card's number is, or the empty slot it would take.
    std::size_t Slot(std::string_view source, std::string_view bango, int item) const;
    void Grow();

    MemoryModel model_;
    // The cards and their keys in the order first answered, found through an open-addressed
    // table of their numbers plus one (0: empty), its size a power of two: a replay looks up
    // every answer of the record, and this is several times cheaper than a node-based map.
    std::vector<Key> keys_;
    std::vector<Card> cards_;
    std::vector<std::uint32_t> slots_;
};

// The statements new statements are drawn from and that are reviewed: the test's scope when
// the pupil has a test date, otherwise those up to the pupil's current stage.
bool Studied(const Statement& s, const Options& options);

// How much a test date asks for, planned from today with every answer assumed right.
struct Plan {
    int days = 0;                 // days from today to the test day, both counted
    int unseen = 0;               // statements of the scope never answered
    int newPerDay = 0;            // new statements a day to have met them all by the test day
    int peakReviews = 0;          // the most reviews planned for one day
    int answersPerDay = 0;        // reviews and new statements a day, on average
    double recallOnTestDay = 0;   // mean recall of the scope on the test day if the plan is kept
};
// Nothing when OPTIONS carries no test date, or the date has passed.
std::optional<Plan> PlanFor(const Learner& learner, const std::vector<Statement>& statements,
                            const QDateTime& now, const QTimeZone& zone, const Options& options);

struct QueueEntry {
    Key key;
    double recall = 0;   // predicted recall now; 0 for a new statement
    bool isNew = false;
};
struct Queue {
    std::vector<QueueEntry> entries;   // due ones by lowest recall first, then new ones
    int due = 0;                       // due today, before the cap
    int dailyReviews = 0;              // the caps applied (raised by a test date's plan)
    int dailyNew = 0;
    std::optional<Plan> plan;
};
Queue TodaysQueue(const Learner& learner, const std::vector<Statement>& statements,
                  const QDateTime& now, const QTimeZone& zone, const Options& options);

// How many studied statements fall due on each of the next DAYS days, today first (today's
// count includes the overdue ones). With a test date nothing falls due after it.
std::vector<int> Forecast(const Learner& learner, const std::vector<Statement>& statements,
                          const QDateTime& now, const QTimeZone& zone, const Options& options,
                          int days = 7);

// The pupil's current stage: 2 once any statement of the second stage has been answered.
int CurrentStage(const Learner& learner, const std::vector<Statement>& statements);

// The mean predicted recall of TEST's scope at NOW; a statement never answered counts 0.
double MeanRecall(const Learner& learner, const std::vector<Statement>& statements, Test test,
                  const QDateTime& now);

}  // namespace study
