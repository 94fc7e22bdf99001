#include "Memory.h"

#include <algorithm>
#include <cmath>

namespace study {

namespace {
// The forgetting curve R = (1 + F t / S)^C, with F chosen so that R(S, S) = 0.9.
constexpr double kDecay = -0.5;
constexpr double kFactor = 19.0 / 81.0;
constexpr double kMinStability = 0.01;

double ClampDifficulty(double d) { return std::clamp(d, 1.0, 10.0); }
int G(Grade grade) { return static_cast<int>(grade); }
}  // namespace

const Weights& DefaultWeights()
{
    static const Weights w{0.4872, 1.4003, 3.7145, 13.8206, 5.1618, 1.2298, 0.8975, 0.031, 1.6474,
                           0.1367, 1.0461, 2.1072, 0.0793, 0.3246, 1.587, 0.2272, 2.8755};
    return w;
}

double Retrievability(double elapsedDays, double stability)
{
    const double t = std::max(0.0, elapsedDays);
    return std::pow(1.0 + kFactor * t / std::max(stability, kMinStability), kDecay);
}

double IntervalFor(double stability, double retention)
{
    return stability / kFactor * (std::pow(retention, 1.0 / kDecay) - 1.0);
}

MemoryModel::MemoryModel(const Weights& w) : w_(w), expW8_(std::exp(w[8])) {}

double MemoryModel::InitialDifficulty(Grade grade) const
{
    return ClampDifficulty(w_[4] - (G(grade) - 3) * w_[5]);
}

double MemoryModel::NextDifficulty(double d, Grade grade) const
{
    // The step by grade, then a pull back towards the difficulty of a first "good".
    const double stepped = d - w_[6] * (G(grade) - 3);
    return ClampDifficulty(w_[7] * w_[4] + (1.0 - w_[7]) * stepped);
}

MemoryState MemoryModel::First(Grade grade) const
{
    return {InitialDifficulty(grade), w_[G(grade) - 1]};
}

MemoryState MemoryModel::Review(const MemoryState& s, Grade grade, double elapsedDays) const
{
    return ReviewWithRecall(s, grade, Retrievability(elapsedDays, s.stability));
}

MemoryState MemoryModel::ReviewWithRecall(const MemoryState& s, Grade grade, double r) const
{
    double stability;
    if (grade == Grade::Again) {
        stability = w_[11] * std::pow(s.difficulty, -w_[12]) *
                    (std::pow(s.stability + 1.0, w_[13]) - 1.0) * std::exp(w_[14] * (1.0 - r));
        // Forgetting never makes a memory more stable than it was.
        stability = std::min(stability, s.stability);
    } else {
        const double hard = grade == Grade::Hard ? w_[15] : 1.0;
        const double easy = grade == Grade::Easy ? w_[16] : 1.0;
        stability = s.stability * (1.0 + expW8_ * (11.0 - s.difficulty) *
                                             std::pow(s.stability, -w_[9]) *
                                             (std::exp(w_[10] * (1.0 - r)) - 1.0) * hard * easy);
    }
    return {NextDifficulty(s.difficulty, grade), std::max(stability, kMinStability)};
}

MemoryState MemoryModel::ReviewAnswer(const std::optional<MemoryState>& s, bool right,
                                      double elapsedDays) const
{
    if (!s)
        return First(right ? Grade::Hard : Grade::Again);
    const double r = Retrievability(elapsedDays, s->stability);
    if (!right)
        return ReviewWithRecall(*s, Grade::Again, r);
    const double recalled = 2.0 * r / (1.0 + r);
    const MemoryState good = ReviewWithRecall(*s, Grade::Good, r);
    // Stabilities multiply, so the step is weighted on their logarithm: a likely guess keeps
    // almost all of the old stability rather than a share of a large "good" step.
    return {s->difficulty + recalled * (good.difficulty - s->difficulty),
            s->stability * std::pow(good.stability / s->stability, recalled)};
}

}  // namespace study
