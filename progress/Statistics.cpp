#include "Statistics.h"

#include "Syllabus.h"

#include <algorithm>
#include <set>

namespace progress {

QDateTime ParseUtc(const std::string& iso)
{
    QDateTime t = QDateTime::fromString(QString::fromStdString(iso), Qt::ISODate);
    if (t.isValid())
        t = t.toUTC();
    return t;
}

namespace {

std::optional<MockResult> AsMock(const record::SessionSummary& s)
{
    const exam::TestDefinition* test = exam::FindBySessionKind(s.kind);
    if (!test)
        return std::nullopt;
    // Only a graded mock has a score; an abandoned one says nothing about readiness.
    if (!s.endedAt || !s.score || !s.maxScore || *s.maxScore <= 0)
        return std::nullopt;
    MockResult m;
    m.test = test->test;
    m.when = ParseUtc(s.startedAt);
    m.score = *s.score;
    m.maxScore = *s.maxScore;
    m.passMark = s.passMark ? *s.passMark : test->pass.PassMark(m.maxScore);
    return m;
}

}  // namespace

std::vector<MockResult> MockScores(const std::vector<record::SessionSummary>& sessions, Test test)
{
    std::vector<MockResult> out;
    for (const auto& s : sessions)
        if (auto m = AsMock(s); m && m->test == test)
            out.push_back(*m);
    return out;
}

std::vector<MockResult> LastMocks(const std::vector<record::SessionSummary>& sessions, int count)
{
    std::vector<MockResult> out;
    for (auto it = sessions.rbegin(); it != sessions.rend() && int(out.size()) < count; ++it)
        if (auto m = AsMock(*it))
            out.push_back(*m);
    return out;
}

std::vector<SharePoint> DrillShares(const std::vector<record::SessionSummary>& sessions,
                                    const std::string& kind)
{
    std::vector<SharePoint> out;
    for (const auto& s : sessions) {
        if (s.kind != kind || s.answers <= 0)
            continue;
        out.push_back({ParseUtc(s.startedAt), s.answers, s.correct});
    }
    return out;
}

int ItemsNotRanked(const std::vector<record::CategoryRate>& rates, int minAnswers)
{
    return int(std::count_if(rates.begin(), rates.end(),
                             [&](const record::CategoryRate& r) { return r.answers > 0 && r.answers < minAnswers; }));
}

std::vector<ItemShare> WeakestFirst(const std::vector<record::CategoryRate>& rates, int minAnswers)
{
    std::vector<ItemShare> out;
    for (const auto& r : rates) {
        if (r.answers <= 0 || r.answers < minAnswers)
            continue;
        ItemShare item{r.bunrui, {}, r.answers, r.correct};
        if (const syllabus::Item* known = syllabus::Find(r.bunrui))
            item.name = QString::fromUtf8(known->name.data(), qsizetype(known->name.size()));
        else
            item.name = QStringLiteral("項目 %1").arg(r.bunrui);
        out.push_back(item);
    }
    // Shares compared as fractions, so that 1/3 and 2/6 tie exactly.
    std::stable_sort(out.begin(), out.end(), [](const ItemShare& a, const ItemShare& b) {
        const long long lhs = static_cast<long long>(a.correct) * b.answers;
        const long long rhs = static_cast<long long>(b.correct) * a.answers;
        if (lhs != rhs)
            return lhs < rhs;
        if (a.answers != b.answers)
            return a.answers > b.answers;
        return a.bunrui < b.bunrui;
    });
    return out;
}

Summary Summarize(const Snapshot& snapshot, const QTimeZone& zone)
{
    Summary sum;
    std::set<QDate> days;
    for (const auto& s : snapshot.sessions) {
        sum.answers += s.answers;
        if (s.answers <= 0)
            continue;
        const QDateTime t = ParseUtc(s.startedAt);
        if (t.isValid())
            days.insert(t.toTimeZone(zone).date());
    }
    sum.daysPractised = int(days.size());

    std::set<StatementKey> answered;
    for (const auto& r : snapshot.latest) {
        answered.insert({r.source, r.bango, r.item});
        if (!r.correct)
            ++sum.latestWrong;
    }
    // A bank listing the same statement twice still has one statement to answer.
    std::set<StatementKey> statements(snapshot.statements.begin(), snapshot.statements.end());
    for (const auto& k : statements)
        if (!answered.count(k))
            ++sum.neverAnswered;

    sum.lastMocks = LastMocks(snapshot.sessions, kReadinessMocks);
    return sum;
}

Readiness ReadinessFor(const std::vector<record::SessionSummary>& sessions, Test test)
{
    const std::vector<MockResult> mocks = MockScores(sessions, test);
    Readiness r;
    r.test = test;
    r.mocks = int(mocks.size());
    const int last = std::min(r.mocks, kReadinessMocks);
    for (int i = r.mocks - last; i < r.mocks; ++i)
        if (mocks[std::size_t(i)].passed())
            ++r.passedOfLast;
    r.ready = r.mocks >= kReadinessMocks && r.passedOfLast == kReadinessMocks;

    const QString name = exam::Name(exam::Definition(test));
    if (r.ready)
        r.message = QStringLiteral("%1: 合格圏です(直近3回の模擬試験はすべて合格)").arg(name);
    else if (r.mocks == 0)
        r.message = QStringLiteral("%1: 模擬試験をまだ受けていません。合格圏かどうかは、模擬試験を3回受けると分かります")
                        .arg(name);
    else if (r.mocks < kReadinessMocks)
        r.message = QStringLiteral("%1: 模擬試験は%2回(合格%3回)。合格圏かどうかは、あと%4回受けると分かります")
                        .arg(name)
                        .arg(r.mocks)
                        .arg(r.passedOfLast)
                        .arg(kReadinessMocks - r.mocks);
    else
        r.message = QStringLiteral("%1: まだ合格圏ではありません。直近3回の模擬試験のうち合格は%2回")
                        .arg(name)
                        .arg(r.passedOfLast);
    return r;
}

std::vector<Readiness> ShownReadiness(const std::vector<record::SessionSummary>& sessions)
{
    std::vector<Readiness> shown;
    for (const exam::TestDefinition& test : exam::Tests()) {
        Readiness r = ReadinessFor(sessions, test.test);
        if (test.shownBeforeFirstMock || r.mocks > 0)
            shown.push_back(std::move(r));
    }
    return shown;
}

bool IsEmpty(const Snapshot& snapshot)
{
    return std::none_of(snapshot.sessions.begin(), snapshot.sessions.end(),
                        [](const record::SessionSummary& s) { return s.answers > 0; });
}

QString DateAxisFormat(const QDateTime& first, const QDateTime& last, const QDateTime& now)
{
    const int year = now.toLocalTime().date().year();
    const bool thisYear = first.toLocalTime().date().year() == year && last.toLocalTime().date().year() == year;
    return thisYear ? QStringLiteral("M/d") : QStringLiteral("yyyy/M/d");
}

DayAxis DaysAxis(const QDate& first, const QDate& last, const QTimeZone& zone, int maxTicks)
{
    const QDate to = std::max(first, last);
    const int days = int(first.daysTo(to)) + 1;
    // Intervals of whole days: the span is stretched to a multiple of the intervals.
    const int intervals = std::clamp(maxTicks - 1, 1, days);
    const int span = (days + intervals - 1) / intervals * intervals;
    return {QDateTime(first, QTime(0, 0), zone), QDateTime(first.addDays(span), QTime(0, 0), zone), intervals + 1};
}

StudyOutlook OutlookAt(const study::Outlook& o, const QDateTime& now)
{
    StudyOutlook out;
    const study::Queue queue = study::TodaysQueue(o, now);
    out.dueToday = queue.due;
    out.queued = int(queue.entries.size());
    out.plan = queue.plan;
    out.forecast = study::Forecast(o.learner, o.statements, now, now.timeZone(), o.options, 7);
    out.test = o.options.test;
    out.testDate = o.options.testDate;
    out.recallTest = o.options.test ? *o.options.test
                                    : (o.options.stage >= 2 ? study::Test::Honmen : study::Test::Karimen);
    out.meanRecall = study::MeanRecall(o.learner, o.statements, out.recallTest, now);
    return out;
}

}  // namespace progress
