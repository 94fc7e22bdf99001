#include "Paper.h"

#include "Exception.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace exam {
namespace {

// The standard engines' output is fixed by the standard, their distributions are not: a seed
// must give the same draw whatever library built the program, so the bounding is ours.
class Draws {
public:
    explicit Draws(std::int64_t seed) : engine_(static_cast<std::uint64_t>(seed)) {}
    // Uniform in [0, n), n > 0.
    std::size_t Below(std::size_t n)
    {
        const std::uint64_t bound = n;
        const std::uint64_t limit = UINT64_MAX - UINT64_MAX % bound;
        std::uint64_t x;
        do
            x = engine_();
        while (x >= limit);
        return static_cast<std::size_t>(x % bound);
    }
    // Moves COUNT items, chosen at random, to the front of V, in random order.
    template <class T>
    void PickFront(std::vector<T>& v, std::size_t count)
    {
        for (std::size_t i = 0; i < count && i < v.size(); ++i)
            std::swap(v[i], v[i + Below(v.size() - i)]);
    }
    template <class T>
    void Shuffle(std::vector<T>& v) { PickFront(v, v.size()); }

private:
    std::mt19937_64 engine_;
};

Question FromStatement(const BankStatement& s, int points)
{
    Question q;
    q.kind = Question::Kind::Statement;
    q.row = s.row;
    q.bango = s.bango;
    q.bunrui = s.bunrui;
    q.right = {s.seikai, 0, 0};
    q.points = points;
    return q;
}

Question FromHazard(const HazardItem& h, int points)
{
    Question q;
    q.kind = Question::Kind::Hazard;
    q.row = h.row;
    q.bango = h.bango;
    q.bunrui = h.bunrui;
    q.right = h.seikai;
    q.points = points;
    return q;
}

// A practice set scores its questions as the test that has both kinds does.
const TestDefinition& PracticeScoring() { return Definition(Test::Honmen); }
Question PracticeQuestion(const BankStatement& s) { return FromStatement(s, PracticeScoring().statementPoints); }
Question PracticeQuestion(const HazardItem& h) { return FromHazard(h, PracticeScoring().hazardPoints); }

// COUNT statements spread over the syllabus items in proportion to each item's share of
// ELIGIBLE (largest remainders; ties go to the lower code), each item's own drawn at random.
std::vector<BankStatement> DrawSpread(std::vector<BankStatement> eligible, std::size_t count,
                                      Draws& draws)
{
    std::map<int, std::vector<BankStatement>> byItem;
    for (BankStatement& s : eligible)
        byItem[s.bunrui.value_or(0)].push_back(std::move(s));
    const std::size_t total = eligible.size();
    struct Share {
        int code;
        std::size_t quota;
        std::size_t remainder;   // of count * size / total, in units of 1/total
    };
    std::vector<Share> shares;
    std::size_t given = 0;
    for (const auto& [code, items] : byItem) {
        const std::size_t exact = count * items.size();
        shares.push_back({code, exact / total, exact % total});
        given += exact / total;
    }
    std::vector<Share*> order;
    for (Share& s : shares)
        order.push_back(&s);
    std::stable_sort(order.begin(), order.end(),
                     [](const Share* a, const Share* b) { return a->remainder > b->remainder; });
    for (std::size_t i = 0; given < count; ++i, ++given)
        ++order[i]->quota;

    std::vector<BankStatement> drawn;
    for (const Share& s : shares) {
        std::vector<BankStatement>& items = byItem[s.code];
        draws.PickFront(items, s.quota);
        drawn.insert(drawn.end(), items.begin(), items.begin() + std::ptrdiff_t(s.quota));
    }
    return drawn;
}

Paper Practice(std::vector<Question> questions, std::int64_t seed, std::size_t limit = kPracticeSize)
{
    Paper p;
    p.seed = seed;
    Draws draws(seed);
    draws.Shuffle(questions);
    if (questions.size() > limit)
        questions.resize(limit);
    for (const Question& q : questions)
        p.maxScore += q.Points();
    p.questions = std::move(questions);
    return p;
}

}  // namespace

bool InScope(const Scope& scope, const BankStatement& s)
{
    return s.karihon >= 1 && s.karihon <= scope.lastStage && !(scope.textOnly && s.hasFigure);
}

Paper DrawMock(Test test, const Pool& pool, std::int64_t seed)
{
    const TestDefinition& definition = Definition(test);
    const std::size_t statements = std::size_t(definition.statements);
    std::vector<BankStatement> eligible;
    for (const BankStatement& s : pool.statements)
        if (InScope(definition.scope, s))
            eligible.push_back(s);
    if (eligible.size() < statements)
        throw Exception(QCoreApplication::translate("exam", "%1の模擬試験には問題が%2問必要ですが、この問題集で出題できる問題は%3問です。")
                            .arg(Name(definition))
                            .arg(statements)
                            .arg(eligible.size())
                            .toStdString());

    Paper paper;
    paper.test = test;
    paper.seed = seed;
    paper.timeLimit = definition.time;
    Draws draws(seed);
    std::vector<BankStatement> drawn;
    if (pool.hasBunrui) {
        drawn = DrawSpread(std::move(eligible), statements, draws);
        draws.Shuffle(drawn);
    } else {
        draws.PickFront(eligible, statements);
        eligible.resize(statements);
        drawn = std::move(eligible);
    }
    for (const BankStatement& s : drawn)
        paper.questions.push_back(FromStatement(s, definition.statementPoints));
    paper.maxScore = definition.MaxScore();

    const std::size_t hazards = std::size_t(definition.hazards);
    if (hazards > 0 && pool.hazards.size() >= hazards) {
        std::vector<HazardItem> items = pool.hazards;
        draws.PickFront(items, hazards);
        for (std::size_t i = 0; i < hazards; ++i)
            paper.questions.push_back(FromHazard(items[i], definition.hazardPoints));
    } else if (hazards > 0) {
        paper.maxScore = definition.statements * definition.statementPoints;
        const std::string why = !pool.hazardProblem.empty()
            ? pool.hazardProblem
            : QCoreApplication::translate("exam", "危険予測の問題が%1問必要ですが、%2問しかありません。")
                  .arg(hazards)
                  .arg(pool.hazards.size())
                  .toStdString();
        paper.note = why + QCoreApplication::translate("exam", "危険予測の問題なしの%1問・%2点満点、%3点以上で合格として行います。")
                               .arg(statements)
                               .arg(paper.maxScore)
                               .arg(definition.pass.PassMark(paper.maxScore))
                               .toStdString();
    }
    paper.passMark = definition.pass.PassMark(paper.maxScore);
    return paper;
}

Answers BlankAnswers(const Paper& paper)
{
    return Answers(paper.questions.size(), {kUnanswered, kUnanswered, kUnanswered});
}

bool IsAnswered(const Question& q, const std::array<int, 3>& answer)
{
    for (int i = 0; i < q.Parts(); ++i)
        if (answer[std::size_t(i)] == kUnanswered)
            return false;
    return true;
}

int CountUnanswered(const Paper& paper, const Answers& answers)
{
    int n = 0;
    for (std::size_t i = 0; i < paper.questions.size(); ++i)
        if (!IsAnswered(paper.questions[i], answers[i]))
            ++n;
    return n;
}

bool IsPartRight(const Question& q, const std::array<int, 3>& answer, int part)
{
    const int given = answer[std::size_t(part)];
    return given != kUnanswered && given == q.right[std::size_t(part)];
}

Result Grade(const Paper& paper, const Answers& answers)
{
    Result r;
    r.maxScore = paper.maxScore;
    r.passMark = paper.passMark;
    std::map<int, CategoryScore> categories;
    for (std::size_t i = 0; i < paper.questions.size(); ++i) {
        const Question& q = paper.questions[i];
        QuestionResult qr;
        qr.right = true;
        for (int p = 0; p < q.Parts(); ++p) {
            qr.partRight[std::size_t(p)] = IsPartRight(q, answers[i], p);
            qr.right = qr.right && qr.partRight[std::size_t(p)];
        }
        qr.points = qr.right ? q.Points() : 0;
        r.score += qr.points;
        if (!IsAnswered(q, answers[i]))
            ++r.unanswered;
        CategoryScore& c = categories[q.bunrui.value_or(0)];
        c.bunrui = q.bunrui.value_or(0);
        c.score += qr.points;
        c.maxScore += q.Points();
        r.questions.push_back(qr);
    }
    for (const auto& [code, c] : categories)
        r.categories.push_back(c);
    r.passed = r.score >= r.passMark;
    return r;
}

record::Answer RecordAnswer(const Question& q, int part, int answer)
{
    record::Answer a;
    a.source = q.IsHazard() ? record::kSourceHazard : record::kSourceBank;
    a.bango = q.bango;
    a.item = q.IsHazard() ? part + 1 : 0;
    a.bunrui = q.bunrui;
    a.answer = answer;
    a.correct = answer != kUnanswered && answer == q.right[std::size_t(part)];
    return a;
}

std::vector<record::Answer> RecordAnswers(const Paper& paper, const Answers& answers)
{
    std::vector<record::Answer> out;
    for (std::size_t i = 0; i < paper.questions.size(); ++i) {
        const Question& q = paper.questions[i];
        for (int p = 0; p < q.Parts(); ++p)
            out.push_back(RecordAnswer(q, p, answers[i][std::size_t(p)]));
    }
    return out;
}

Paper PracticeMissed(const Paper& paper, const Result& result, std::int64_t seed)
{
    std::vector<Question> missed;
    for (std::size_t i = 0; i < paper.questions.size() && i < result.questions.size(); ++i)
        if (!result.questions[i].right)
            missed.push_back(paper.questions[i]);
    // Every one of them: a mock has at most 95 questions, and a missed one left out would be
    // the one the pupil never sees again.
    const std::size_t all = missed.size();
    return Practice(std::move(missed), seed, all);
}

Paper PracticeCategory(const Pool& pool, int bunrui, std::int64_t seed)
{
    std::vector<Question> chosen;
    for (const BankStatement& s : pool.statements)
        if (s.bunrui == bunrui)
            chosen.push_back(PracticeQuestion(s));
    return Practice(std::move(chosen), seed);
}

Paper PracticeLatestWrong(const Pool& pool, const std::vector<record::LatestResult>& latest,
                          std::int64_t seed)
{
    std::set<std::string> bank, hazard;
    for (const record::LatestResult& l : latest) {
        if (l.correct)
            continue;
        (l.source == record::kSourceHazard ? hazard : bank).insert(l.bango);
    }
    std::vector<Question> chosen;
    for (const BankStatement& s : pool.statements)
        if (bank.count(s.bango))
            chosen.push_back(PracticeQuestion(s));
    for (const HazardItem& h : pool.hazards)
        if (hazard.count(h.bango))
            chosen.push_back(PracticeQuestion(h));
    return Practice(std::move(chosen), seed);
}

Paper PracticeHazards(const Pool& pool, std::int64_t seed)
{
    std::vector<Question> chosen;
    for (const HazardItem& h : pool.hazards)
        chosen.push_back(PracticeQuestion(h));
    return Practice(std::move(chosen), seed);
}

Paper PracticeInOrder(const Pool& pool, const std::vector<QuestionKey>& keys, std::int64_t seed)
{
    std::map<std::string, const BankStatement*> bank;
    std::map<std::string, const HazardItem*> hazard;
    for (const BankStatement& s : pool.statements)
        bank.emplace(s.bango, &s);
    for (const HazardItem& h : pool.hazards)
        hazard.emplace(h.bango, &h);
    std::set<std::pair<std::string, std::string>> asked;
    Paper p;
    p.seed = seed;
    for (const QuestionKey& k : keys) {
        if (!asked.insert({k.source, k.bango}).second)
            continue;
        if (k.source == record::kSourceHazard) {
            if (auto it = hazard.find(k.bango); it != hazard.end())
                p.questions.push_back(PracticeQuestion(*it->second));
        } else if (auto it = bank.find(k.bango); it != bank.end()) {
            p.questions.push_back(PracticeQuestion(*it->second));
        }
    }
    for (const Question& q : p.questions)
        p.maxScore += q.Points();
    return p;
}

}  // namespace exam
