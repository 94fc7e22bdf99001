// Simulated pupils for 今日の復習: how well the scheduler's predicted recall foresees the next
// answer, and whether studying with it reaches the pass line sooner than drills alone.
//
// The pupils' memory is NOT the scheduler's model: each statement is forgotten exponentially,
// recall = exp(-t / tau), with a per-statement starting tau (its difficulty) and a per-pupil
// ability; a recall grows tau the more, the weaker it was; a miss, after the explanation is
// read, relearns the statement at half its tau. A statement never studied is known by common
// sense with a per-statement chance. Every answer is 正/誤: what is not recalled is guessed,
// right half the time.
//
// Each simulated day at 19:00 a pupil answers 60 statements, then sits a 仮免 mock of 50 drawn
// from the same 600 statements (pass: 45). Drills only: 60 statements drawn at random (the
// drill picks by the bank's statistics, not by this pupil's memory). With 今日の復習: the queue
// first (due ones up to 50, up to 20 new), then the drill fills the 60. Every answer, mock
// answers included, is one review for the scheduler. Deterministic: pupil N uses seed N.
//
// Usage: simulate_study [PUPILS]   (100 by default); prints Markdown tables.

#include "Schedule.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kStatements = 600;
constexpr int kDaily = 60;
constexpr int kMock = 50;
constexpr int kPassMark = 45;
constexpr int kMaxDays = 60;
constexpr int kPredictionDays = 30;
constexpr double kEpochDay = 20000;   // 2024-10-04 00:00 UTC, any day will do

struct Truth {
    std::vector<double> tau0;     // days, before the pupil's ability
    std::vector<double> prior;    // known by common sense
    std::vector<int> nani;        // the bank author's difficulty, 0..100 (share wrong, percent)
    double ability = 1;
};

Truth MakeTruth(std::uint64_t seed)
{
    std::mt19937_64 rng(seed * 7919 + 17);
    std::lognormal_distribution<double> difficulty(0.0, 0.6);
    std::uniform_real_distribution<double> u(0, 1);
    std::normal_distribution<double> noise(0, 10);
    Truth t;
    for (int i = 0; i < kStatements; ++i) {
        t.tau0.push_back(4.0 / difficulty(rng));
        const double prior = 0.8 * u(rng) * u(rng);
        t.prior.push_back(prior);
        const double wrong = 100.0 * (1.0 - prior) / 2.0;
        t.nani.push_back(std::clamp(int(std::lround(wrong + noise(rng))), 0, 100));
    }
    t.ability = std::lognormal_distribution<double>(0.0, 0.3)(rng);
    return t;
}

class Pupil {
public:
    Pupil(const Truth& truth, std::uint64_t seed) : truth_(truth), rng_(seed), memory_(kStatements) {}

    // Answers statement I at time T (days); the explanation is read afterwards.
    bool Answer(int i, double t)
    {
        Memory& m = memory_[std::size_t(i)];
        const double r = m.seen ? std::exp(-(t - m.last) / m.tau) : truth_.prior[std::size_t(i)];
        const bool recalled = u_(rng_) < r;
        const bool right = recalled || u_(rng_) < 0.5;
        const double fresh = truth_.tau0[std::size_t(i)] * truth_.ability;
        if (!m.seen)
            m.tau = fresh;
        else if (recalled)
            m.tau *= 1.3 + 3.0 * (1.0 - r);
        else
            m.tau = std::max(fresh, m.tau * 0.5);
        m.seen = true;
        m.last = t;
        return right;
    }
    int Draw() { return std::uniform_int_distribution<int>(0, kStatements - 1)(rng_); }

private:
    struct Memory {
        bool seen = false;
        double tau = 0, last = 0;
    };
    const Truth& truth_;
    std::mt19937_64 rng_;
    std::uniform_real_distribution<double> u_{0, 1};
    std::vector<Memory> memory_;
};

// Predicted chance of a right answer and what happened, per predictor.
struct Scores {
    std::vector<std::pair<double, bool>> samples;
    void Add(double p, bool right) { samples.emplace_back(std::clamp(p, 0.01, 0.99), right); }
    double LogLoss() const
    {
        double s = 0;
        for (auto [p, y] : samples)
            s -= y ? std::log(p) : std::log(1 - p);
        return s / double(samples.size());
    }
    double BinnedRmse() const
    {
        double sumP[10] = {}, sumY[10] = {};
        int n[10] = {};
        for (auto [p, y] : samples) {
            const int b = std::min(9, int(p * 10));
            sumP[b] += p;
            sumY[b] += y ? 1 : 0;
            ++n[b];
        }
        double s = 0;
        for (int b = 0; b < 10; ++b)
            if (n[b])
                s += n[b] * std::pow(sumP[b] / n[b] - sumY[b] / n[b], 2);
        return std::sqrt(s / double(samples.size()));
    }
};

enum Predictor { kOurs, kOursNoGuess, kGlobal, kOwn, kNani, kPredictors };
const char* kPredictorNames[] = {"memory model, P(right) = R + (1 - R) / 2",
                                 "memory model, P(right) = R (guessing ignored)",
                                 "one global rate (all answers so far)",
                                 "the statement's own past rate (Laplace)",
                                 "the drill's Nani, P(right) = 1 - Nani / 100"};

struct Outcome {
    int days = -1;     // the day the third mock in a row passed (1-based); -1: not within kMaxDays
    long answers = 0;  // answers given up to then, mock answers included
};

std::vector<study::Statement> Scope(const Truth& truth)
{
    std::vector<study::Statement> out;
    for (int i = 0; i < kStatements; ++i)
        out.push_back({{"bank", std::to_string(1000 + i), 0}, 1, truth.nani[std::size_t(i)]});
    return out;
}

QDateTime When(double t) { return QDateTime::fromMSecsSinceEpoch(qint64(t * 86400000.0), QTimeZone::utc()); }

Outcome Run(std::uint64_t seed, bool withReview, std::vector<Scores>& scores)
{
    const Truth truth = MakeTruth(seed);
    Pupil pupil(truth, seed);
    const std::vector<study::Statement> statements = Scope(truth);
    study::Learner learner;
    std::vector<int> answered(kStatements, 0), right(kStatements, 0);
    long allAnswers = 0, allRight = 0;
    Outcome out;
    int passedInARow = 0;

    const auto answer = [&](int i, double t, int day) {
        const study::Key& key = statements[std::size_t(i)].key;
        const bool seen = answered[std::size_t(i)] > 0;
        const bool r = pupil.Answer(i, t);
        if (seen && day < kPredictionDays) {
            const double recall = study::Learner::Recall(*learner.Find(key), t);
            const int n = answered[std::size_t(i)], k = right[std::size_t(i)];
            scores[kOurs].Add(study::MemoryModel::PredictRight(recall), r);
            scores[kOursNoGuess].Add(recall, r);
            scores[kGlobal].Add(double(allRight + 1) / double(allAnswers + 2), r);
            scores[kOwn].Add(double(k + 1) / double(n + 2), r);
            // The drill rewrites Nani to the share of wrong answers once a statement is answered.
            scores[kNani].Add(1.0 - double(n - k) / double(n), r);
        }
        learner.Answer(key, t, r);
        ++answered[std::size_t(i)];
        right[std::size_t(i)] += r ? 1 : 0;
        ++allAnswers;
        allRight += r ? 1 : 0;
        return r;
    };

    for (int day = 0; day < std::max(kMaxDays, kPredictionDays); ++day) {
        double t = kEpochDay + day + 19.0 / 24.0;
        int given = 0;
        if (withReview) {
            const study::Queue q = study::TodaysQueue(learner, statements, When(t), QTimeZone::utc(), {});
            for (const study::QueueEntry& e : q.entries) {
                if (given == kDaily)
                    break;
                answer(std::stoi(e.key.bango) - 1000, t, day);
                t += 20.0 / 86400;
                ++given;
            }
        }
        for (; given < kDaily; ++given) {
            answer(pupil.Draw(), t, day);
            t += 20.0 / 86400;
        }
        t += 1.0 / 24;
        int score = 0;
        for (int k = 0; k < kMock; ++k)
            score += answer(pupil.Draw(), t + k * 30.0 / 86400, day) ? 1 : 0;
        passedInARow = score >= kPassMark ? passedInARow + 1 : 0;
        if (out.days < 0 && passedInARow == 3) {
            out.days = day + 1;
            out.answers = allAnswers;
        }
        if (out.days >= 0 && day + 1 >= kPredictionDays)
            break;
    }
    return out;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Also the Nani baseline before a statement's first answer: the author's value. Those answers
// have no memory-model prediction, so they are scored apart.
}  // namespace

int main(int argc, char** argv)
{
    const int pupils = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    std::vector<Scores> scores(kPredictors);
    struct Arm {
        const char* name;
        bool review;
        std::vector<double> days, answers;
        int failed = 0;
    } arms[] = {{"drills only", false, {}, {}, 0}, {"drills + 今日の復習", true, {}, {}, 0}};
    for (Arm& arm : arms) {
        for (int p = 1; p <= pupils; ++p) {
            const Outcome o = Run(std::uint64_t(p), arm.review, scores);
            if (o.days < 0) {
                ++arm.failed;
                continue;
            }
            arm.days.push_back(o.days);
            arm.answers.push_back(double(o.answers));
        }
    }

    std::printf("Prediction of the next answer to a statement already answered, %d pupils x 2 ways of "
                "studying, first %d days: %zu answers.\n\n",
                pupils, kPredictionDays, scores[kOurs].samples.size());
    std::printf("| predictor | log-loss | binned RMSE (10 bins) |\n|---|---|---|\n");
    for (int k = 0; k < kPredictors; ++k)
        std::printf("| %s | %.4f | %.4f |\n", kPredictorNames[k], scores[std::size_t(k)].LogLoss(),
                    scores[std::size_t(k)].BinnedRmse());
    std::printf("\nUsefulness, %d pupils, up to %d days: days until three 仮免 mocks in a row pass, and "
                "answers given by then (mock answers included).\n\n",
                pupils, kMaxDays);
    std::printf("| way of studying | passed | median days | mean days | median answers | mean answers |\n"
                "|---|---|---|---|---|---|\n");
    for (const Arm& arm : arms) {
        const double n = double(arm.days.size());
        std::printf("| %s | %zu of %d | %.1f | %.1f | %.0f | %.0f |\n", arm.name, arm.days.size(), pupils,
                    Median(arm.days), n ? std::accumulate(arm.days.begin(), arm.days.end(), 0.0) / n : NAN,
                    Median(arm.answers),
                    n ? std::accumulate(arm.answers.begin(), arm.answers.end(), 0.0) / n : NAN);
    }
    return 0;
}
