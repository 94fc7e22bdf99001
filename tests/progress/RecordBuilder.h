#pragma once
// Builds what the learning record's queries would answer, answer by answer, with the times the
// test chooses (the record itself stamps "now"). Sessions, the latest answer per statement and
// the last N answers per item are derived here the plain way, from the same answers.

#include "Statistics.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <map>
#include <random>

class RecordBuilder {
public:
    static QDateTime Utc(int year, int month, int day, int hour = 10, int minute = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
    }

    // Starts a session of KIND at START (UTC), finished at once unless Unfinished() follows.
    RecordBuilder& Session(const std::string& kind, const QDateTime& start)
    {
        record::SessionSummary s;
        s.id = std::int64_t(sessions_.size()) + 1;
        s.kind = kind;
        s.startedAt = start.toUTC().toString(Qt::ISODate).toStdString();
        s.endedAt = start.toUTC().addSecs(15 * 60).toString(Qt::ISODate).toStdString();
        sessions_.push_back(s);
        return *this;
    }
    RecordBuilder& Unfinished()
    {
        sessions_.back().endedAt.reset();
        return *this;
    }
    RecordBuilder& Answer(const std::string& bango, std::optional<int> bunrui, bool correct,
                          const std::string& source = record::kSourceBank, int item = 0)
    {
        record::SessionSummary& s = sessions_.back();
        ++s.answers;
        s.correct += correct ? 1 : 0;
        answers_.push_back({source, bango, item, bunrui, correct, s.startedAt});
        return *this;
    }
    // A drill of ANSWERS answers of which CORRECT right, on statements nobody else uses.
    RecordBuilder& Drill(const QDateTime& start, int answers, int correct)
    {
        Session(record::kDrill, start);
        for (int i = 0; i < answers; ++i)
            Answer("d" + std::to_string(sessions_.size()) + "-" + std::to_string(i), std::nullopt,
                   i < correct);
        return *this;
    }
    // A graded mock of TEST as its definition has it: the counts only (one answer a point).
    RecordBuilder& Mock(exam::Test test, const QDateTime& start, int score,
                        std::optional<int> passMark = std::nullopt)
    {
        const exam::TestDefinition& definition = exam::Definition(test);
        const int max = definition.MaxScore();
        Session(definition.sessionKind, start);
        record::SessionSummary& s = sessions_.back();
        s.answers = max;
        s.correct = score;
        s.score = score;
        s.maxScore = max;
        s.passMark = passMark ? *passMark : definition.PassMark();
        return *this;
    }
    RecordBuilder& Statement(const std::string& bango, const std::string& source = record::kSourceBank,
                             int item = 0)
    {
        statements_.push_back({source, bango, item});
        return *this;
    }

    progress::Snapshot Build(int lastN = progress::kItemWindow) const
    {
        progress::Snapshot snap;
        // The record lists sessions oldest first, whatever order the test made them in.
        snap.sessions = sessions_;
        std::stable_sort(snap.sessions.begin(), snap.sessions.end(),
                         [](const auto& a, const auto& b) { return a.startedAt < b.startedAt; });
        snap.statements = statements_;
        std::map<progress::StatementKey, record::LatestResult> latest;
        std::map<int, std::vector<bool>> byItem;
        for (const record::LatestResult& a : answers_) {
            latest[{a.source, a.bango, a.item}] = a;
            if (a.bunrui)
                byItem[*a.bunrui].push_back(a.correct);
        }
        for (const auto& [key, result] : latest)
            snap.latest.push_back(result);
        for (const auto& [bunrui, results] : byItem) {
            record::CategoryRate rate{bunrui, 0, 0};
            const std::size_t from = results.size() > std::size_t(lastN) ? results.size() - lastN : 0;
            for (std::size_t i = from; i < results.size(); ++i) {
                ++rate.answers;
                rate.correct += results[i] ? 1 : 0;
            }
            snap.rates.push_back(rate);
        }
        return snap;
    }

    // A pupil's four weeks before the 本免 test: a bank of 600 statements over the syllabus and
    // 10 hazard items, a drill most days getting better, weak spots at crossings, speed and
    // blind spots, 仮免 mocks passed in the second and third week, 本免 mocks not yet steady.
    static RecordBuilder Pupil(int drills = 26, int answersPerDrill = 40, unsigned seed = 7)
    {
        RecordBuilder b;
        std::mt19937 rng(seed);
        std::vector<int> codes;
        for (int c = 101; c <= 114; ++c)
            codes.push_back(c);
        for (int c = 202; c <= 217; ++c)
            codes.push_back(c);
        const auto skill = [](int code, double progress) {
            double base = 0.78;
            if (code == 106 || code == 107)
                base = 0.55;
            else if (code == 203 || code == 216)
                base = 0.6;
            else if (code == 110 || code == 213)
                base = 0.68;
            else if (code == 102 || code == 103)
                base = 0.9;
            return std::min(0.98, base + 0.15 * progress);
        };
        const int bankSize = 600;
        for (int i = 0; i < bankSize; ++i)
            b.Statement(Bango(i));
        for (int h = 0; h < 10; ++h)
            for (int item = 1; item <= 3; ++item)
                b.Statement("K" + std::to_string(h + 1), record::kSourceHazard, item);
        const auto codeOf = [&](int i) { return codes[std::size_t(i) % codes.size()]; };

        const QDateTime first = Utc(2026, 11, 9, 9, 30);   // 18:30 in Japan
        std::uniform_real_distribution<double> unit(0, 1);
        std::uniform_int_distribution<int> pick(0, bankSize - 1);
        const int days = 28;
        // Spread over the four weeks, at slightly different times of the evening.
        const auto dayOf = [&](int n) {
            return first.addDays(n * days / std::max(1, drills)).addSecs(n * 37 * 60 % 7200);
        };
        for (int n = 0; n < drills; ++n) {
            const double progress = double(n) / std::max(1, drills - 1);
            b.Session(n % 5 == 4 ? record::kPractice : record::kDrill, dayOf(n));
            for (int a = 0; a < answersPerDrill; ++a) {
                const int i = pick(rng);
                b.Answer(Bango(i), codeOf(i), unit(rng) < skill(codeOf(i), progress));
            }
        }
        // 仮免 mocks, then 本免 mocks once the first stage is done.
        const int karimen[] = {41, 44, 46, 47, 48};
        for (int k = 0; k < 5; ++k)
            b.Mock(exam::Test::Karimen, first.addDays(8 + 2 * k).addSecs(3600), karimen[k]);
        const int honmen[] = {82, 91, 86, 92};
        for (int k = 0; k < 4; ++k)
            b.Mock(exam::Test::Honmen, first.addDays(20 + 2 * k).addSecs(3600), honmen[k]);
        return b;
    }

private:
    static std::string Bango(int i)
    {
        char buf[12];
        std::snprintf(buf, sizeof buf, "%04d", i + 1);
        return buf;
    }

    std::vector<record::SessionSummary> sessions_;
    std::vector<record::LatestResult> answers_;
    std::vector<progress::StatementKey> statements_;
};
