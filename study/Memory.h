#pragma once
// The memory model of one statement for one pupil: difficulty, stability and the probability of
// recall on a power forgetting curve, after the published description of the FSRS model (version
// 4.5) and its default parameters. Times are in days (fractions allowed).
//
// Every statement here is answered 正 or 誤, so a right answer may be a lucky guess: see
// ReviewAnswer and PredictRight.

#include <array>
#include <optional>

namespace study {

// 1 again, 2 hard, 3 good, 4 easy.
enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// The model's seventeen weights, w0..w16.
using Weights = std::array<double, 17>;
const Weights& DefaultWeights();

struct MemoryState {
    double difficulty = 0;   // 1 (easy) .. 10 (hard)
    double stability = 0;    // days until recall falls to 90 %
};

// The probability of recall ELAPSED days after the last review of a statement of STABILITY.
double Retrievability(double elapsedDays, double stability);
// Days after the last review at which recall falls to RETENTION (0 < RETENTION < 1).
double IntervalFor(double stability, double retention);

class MemoryModel {
public:
    explicit MemoryModel(const Weights& w = DefaultWeights());
    const Weights& Parameters() const { return w_; }

    // The state after the first review of a statement, graded GRADE.
    MemoryState First(Grade grade) const;
    // The state after a review graded GRADE, ELAPSED days after the previous one.
    MemoryState Review(const MemoryState& s, Grade grade, double elapsedDays) const;

    // One answer of a true/false statement. Wrong is "again". Right is "hard" at the first
    // answer (nothing yet says it was not a guess); later it is "good" weighted by the chance
    // that it was recalled: with predicted recall R the answer is right with probability
    // R + (1 - R) / 2, and recalled given right with q = 2R / (1 + R). The difficulty moves q of
    // the good step, the stability q of it on a logarithmic scale.
    MemoryState ReviewAnswer(const std::optional<MemoryState>& s, bool right, double elapsedDays) const;

    // The chance of answering a true/false statement right: recalled, or a guess half the time.
    static double PredictRight(double recall) { return recall + (1.0 - recall) / 2.0; }

private:
    double InitialDifficulty(Grade grade) const;
    double NextDifficulty(double d, Grade grade) const;
    // Review with the recall R at the review already worked out: a replay computes it once.
    MemoryState ReviewWithRecall(const MemoryState& s, Grade grade, double r) const;
    Weights w_;
    double expW8_;   // e^w8, a factor of every recall's stability step
};

}  // namespace study
