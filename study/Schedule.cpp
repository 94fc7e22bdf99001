#include "Schedule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace study {

namespace {
constexpr double kSecondsPerDay = 86400.0;

// Days from 1970-01-01 to the civil date Y-M-D (proleptic Gregorian).
long DaysFromCivil(int y, unsigned m, unsigned d)
{
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

bool Digits(std::string_view s, std::size_t at, std::size_t n, int& out)
{
    out = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

bool ValidDate(int y, int m, int d)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    // The calendar has no year 0, and such a time was never stored.
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// The review time of a planned day: now on the first day, midday on the others.
double PlannedTime(int day, double now, double dayStart) { return day == 0 ? now : dayStart + 0.5; }
}  // namespace

bool InScope(const Statement& s, Test test) { return test == Test::Honmen || s.stage == 1; }

namespace {
// OPTIONS without a test date that has passed: the pupil goes back to studying by stage.
Options Current(Options options, const QDate& today)
{
    if (options.testDate && *options.testDate < today) {
        options.test.reset();
        options.testDate.reset();
    }
    return options;
}
}  // namespace

bool Studied(const Statement& s, const Options& options)
{
    if (options.test && options.testDate)
        return InScope(s, *options.test);
    return s.stage <= options.stage;
}

double DayStart(const QDate& day, const QTimeZone& zone)
{
    return QDateTime(day, QTime(0, 0), zone).toSecsSinceEpoch() / kSecondsPerDay;
}

double Days(const QDateTime& when) { return when.toMSecsSinceEpoch() / (1000.0 * kSecondsPerDay); }

std::optional<double> ParseStoredTime(std::string_view iso)
{
    // Read by hand: a record of 100,000 answers is replayed whenever a queue is asked for.
    if (iso.size() != 20 || iso[4] != '-' || iso[7] != '-' || iso[10] != 'T' || iso[13] != ':' ||
        iso[16] != ':' || iso[19] != 'Z')
        return std::nullopt;
    int y, mo, d, h, mi, s;
    if (!Digits(iso, 0, 4, y) || !Digits(iso, 5, 2, mo) || !Digits(iso, 8, 2, d) ||
        !Digits(iso, 11, 2, h) || !Digits(iso, 14, 2, mi) || !Digits(iso, 17, 2, s))
        return std::nullopt;
    if (!ValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return DaysFromCivil(y, unsigned(mo), unsigned(d)) + (h * 3600 + mi * 60 + s) / kSecondsPerDay;
}

std::optional<double> StoredTimeReader::operator()(std::string_view iso)
{
    if (dayNumber_ < 0 || iso.size() != 20 || iso.compare(0, 10, std::string_view(day_, 10)) != 0) {
        const std::optional<double> t = ParseStoredTime(iso);
        if (t) {
            iso.copy(day_, 10);
            dayNumber_ = std::floor(*t);
        }
        return t;
    }
    // The same day as the last one read: only the time of day is new.
    int h, mi, s;
    if (iso[10] != 'T' || iso[13] != ':' || iso[16] != ':' || iso[19] != 'Z' || !Digits(iso, 11, 2, h) ||
        !Digits(iso, 14, 2, mi) || !Digits(iso, 17, 2, s) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return dayNumber_ + (h * 3600 + mi * 60 + s) / kSecondsPerDay;
}

namespace {
// An item is kept as one digit, as it always was: one outside 0..9 counts as the nearest.
int ItemKey(int item) { return std::clamp(item, 0, 9); }

// FNV-1a over the key's parts: keys are a dozen bytes, and this needs no key string made.
std::uint64_t HashKey(std::string_view source, std::string_view bango, int item)
{
    std::uint64_t h = 14695981039346656037ull;
    auto add = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    };
    for (const char c : source)
        add(static_cast<unsigned char>(c));
    add('\t');
    for (const char c : bango)
        add(static_cast<unsigned char>(c));
    add(static_cast<unsigned char>('0' + ItemKey(item)));
    // The table uses the low bits, in which a product mixes the least: fold the high ones in.
    return h ^ (h >> 29);
}
}  // namespace

std::size_t Learner::Slot(std::string_view source, std::string_view bango, int item) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = HashKey(source, bango, item) & mask;; i = (i + 1) & mask) {
        const std::uint32_t n = slots_[i];
        if (n == 0)
            return i;
        const Key& k = keys_[n - 1];
        if (ItemKey(k.item) == ItemKey(item) && k.bango == bango && k.source == source)
            return i;
    }
}

void Learner::Grow()
{
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, 0);
    for (std::size_t n = 0; n < keys_.size(); ++n)
        slots_[Slot(keys_[n].source, keys_[n].bango, keys_[n].item)] = std::uint32_t(n + 1);
}

void Learner::Answer(std::string_view source, std::string_view bango, int item, double when, bool right)
{
    // At most half full, so a probe soon meets an empty slot.
    if (2 * (cards_.size() + 1) > slots_.size())
        Grow();
    const std::size_t slot = Slot(source, bango, item);
    const bool inserted = slots_[slot] == 0;
    if (inserted) {
        keys_.push_back({std::string(source), std::string(bango), ItemKey(item)});
        cards_.emplace_back();
        slots_[slot] = std::uint32_t(cards_.size());
    }
    Card& c = cards_[slots_[slot] - 1];
    if (inserted) {
        c.memory = model_.ReviewAnswer(std::nullopt, right, 0);
        c.firstReview = when;
    } else {
        // Answers in the record's order; a clock set back does not make time run backwards.
        c.memory = model_.ReviewAnswer(c.memory, right, std::max(0.0, when - c.lastReview));
    }
    c.lastReview = std::max(c.lastReview, when);
    ++c.reviews;
    c.lapses += right ? 0 : 1;
}

bool Learner::Restore(const Key& key, const Card& card)
{
    if (2 * (cards_.size() + 1) > slots_.size())
        Grow();
    const std::size_t slot = Slot(key.source, key.bango, key.item);
    if (slots_[slot] != 0)
        return false;
    keys_.push_back({key.source, key.bango, ItemKey(key.item)});
    cards_.push_back(card);
    slots_[slot] = std::uint32_t(cards_.size());
    return true;
}

const Card* Learner::Find(const Key& key) const
{
    if (slots_.empty())
        return nullptr;
    const std::uint32_t n = slots_[Slot(key.source, key.bango, key.item)];
    return n == 0 ? nullptr : &cards_[n - 1];
}

double Learner::Recall(const Card& card, double now)
{
    return Retrievability(now - card.lastReview, card.memory.stability);
}

double Learner::Due(const Card& card, double retention)
{
    return card.lastReview + IntervalFor(card.memory.stability, retention);
}

std::optional<Plan> PlanFor(const Learner& learner, const std::vector<Statement>& statements,
                            const QDateTime& now, const QTimeZone& zone, const Options& options)
{
    if (!options.test || !options.testDate)
        return std::nullopt;
    const QDate today = now.toTimeZone(zone).date();
    if (*options.testDate < today)
        return std::nullopt;
    Plan plan;
    plan.days = int(today.daysTo(*options.testDate)) + 1;

    std::vector<std::optional<Card>> cards;
    for (const Statement& s : statements) {
        if (!InScope(s, *options.test))
            continue;
        const Card* c = learner.Find(s.key);
        cards.push_back(c ? std::optional<Card>(*c) : std::nullopt);
        plan.unseen += c ? 0 : 1;
    }
    plan.newPerDay = (plan.unseen + plan.days - 1) / plan.days;

    const double t0 = Days(now);
    const MemoryModel& model = learner.Model();
    long answers = 0;
    int unseenLeft = plan.unseen;
    for (int day = 0; day < plan.days; ++day) {
        const double start = DayStart(today.addDays(day), zone);
        const double end = DayStart(today.addDays(day + 1), zone);
        const double at = PlannedTime(day, t0, start);
        int reviews = 0;
        int introduced = 0;
        for (std::optional<Card>& c : cards) {
            if (c && Learner::Due(*c, options.retention) < end) {
                const double when = std::max(at, c->lastReview);
                c->memory = model.ReviewAnswer(c->memory, true, when - c->lastReview);
                c->lastReview = when;
                ++reviews;
            } else if (!c && introduced < plan.newPerDay && unseenLeft > 0) {
                c = Card{model.ReviewAnswer(std::nullopt, true, 0), at, at, 1, 0};
                ++introduced;
                --unseenLeft;
            }
        }
        plan.peakReviews = std::max(plan.peakReviews, reviews);
        answers += reviews + introduced;
    }
    plan.answersPerDay = int((answers + plan.days - 1) / plan.days);

    const double testTime = DayStart(*options.testDate, zone) + 0.5;
    double sum = 0;
    for (const std::optional<Card>& c : cards)
        sum += c ? Learner::Recall(*c, testTime) : 0.0;
    plan.recallOnTestDay = cards.empty() ? 0.0 : sum / double(cards.size());
    return plan;
}

Queue TodaysQueue(const Learner& learner, const std::vector<Statement>& statements,
                  const QDateTime& now, const QTimeZone& zone, const Options& given)
{
    const Options options = Current(given, now.toTimeZone(zone).date());
    Queue q;
    q.plan = PlanFor(learner, statements, now, zone, options);
    q.dailyReviews = std::max(options.dailyReviews, q.plan ? q.plan->peakReviews : 0);
    q.dailyNew = std::max(options.dailyNew, q.plan ? q.plan->newPerDay : 0);

    const QDate today = now.toTimeZone(zone).date();
    const double todayStart = DayStart(today, zone);
    const double tomorrow = DayStart(today.addDays(1), zone);
    const double t = Days(now);

    std::vector<QueueEntry> due;
    std::vector<const Statement*> unseen;
    int newToday = 0;
    for (const Statement& s : statements) {
        if (!Studied(s, options))
            continue;
        const Card* c = learner.Find(s.key);
        if (!c) {
            unseen.push_back(&s);
            continue;
        }
        newToday += c->firstReview >= todayStart ? 1 : 0;
        if (Learner::Due(*c, options.retention) < tomorrow)
            due.push_back({s.key, Learner::Recall(*c, t), false});
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const QueueEntry& a, const QueueEntry& b) { return a.recall < b.recall; });
    q.due = int(due.size());
    if (int(due.size()) > q.dailyReviews)
        due.resize(std::size_t(q.dailyReviews));
    q.entries = std::move(due);
    const int allowance = std::max(0, q.dailyNew - newToday);
    for (int i = 0; i < allowance && i < int(unseen.size()); ++i)
        q.entries.push_back({unseen[std::size_t(i)]->key, 0.0, true});
    return q;
}

std::vector<int> Forecast(const Learner& learner, const std::vector<Statement>& statements,
                          const QDateTime& now, const QTimeZone& zone, const Options& given, int days)
{
    const Options options = Current(given, now.toTimeZone(zone).date());
    std::vector<int> counts(std::size_t(std::max(0, days)), 0);
    const QDate today = now.toTimeZone(zone).date();
    std::vector<double> ends;
    for (int d = 0; d < days; ++d)
        ends.push_back(DayStart(today.addDays(d + 1), zone));
    const double last = options.test && options.testDate
                            ? DayStart(options.testDate->addDays(1), zone)
                            : std::numeric_limits<double>::infinity();
    for (const Statement& s : statements) {
        if (!Studied(s, options))
            continue;
        const Card* c = learner.Find(s.key);
        if (!c)
            continue;
        const double due = Learner::Due(*c, options.retention);
        if (due >= last)
            continue;
        auto it = std::upper_bound(ends.begin(), ends.end(), due);
        if (it != ends.end())
            ++counts[std::size_t(it - ends.begin())];
    }
    return counts;
}

int CurrentStage(const Learner& learner, const std::vector<Statement>& statements)
{
    for (const Statement& s : statements)
        if (s.stage == 2 && learner.Find(s.key))
            return 2;
    return 1;
}

double MeanRecall(const Learner& learner, const std::vector<Statement>& statements, Test test,
                  const QDateTime& now)
{
    const double t = Days(now);
    double sum = 0;
    int n = 0;
    for (const Statement& s : statements) {
        if (!InScope(s, test))
            continue;
        const Card* c = learner.Find(s.key);
        sum += c ? Learner::Recall(*c, t) : 0.0;
        ++n;
    }
    return n ? sum / n : 0.0;
}

}  // namespace study
