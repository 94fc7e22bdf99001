// Opening the learning-record window on a long record: a data directory with a bank of 1,000
// questions and a kiroku.sqlite of 300 sessions and 100,000 answers, timed from the click to the
// first paint of the window and every chart in it.
//
//   bench_progress [RUNS] [OUT.json]
//
// Each run starts cold for the window (a new one) and warm for the file (the page cache holds
// it, as after the pupil's last drill). The phases are timed too: reading the bank's numbers,
// the record's queries, filling the window, and the paint.

#include "BenchData.h"
#include "Directory.h"
#include "LearningRecord.h"
#include "ProgressWindow.h"
#include "Syllabus.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kSessions = 300;
constexpr int kAnswers = 100000;
constexpr int kQuestions = 1000;

// 300 sessions: drills, practice sets and graded mocks of both tests, the answers shared out so
// that they add up to exactly 100,000.
void MakeRecord(const std::string& path)
{
    record::LearningRecord rec;
    rec.Open(path);
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> question(1, kQuestions);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto& items = syllabus::Items();
    int left = kAnswers;
    for (int s = 0; s < kSessions; ++s) {
        const bool karimen = s % 15 == 6, honmen = s % 15 == 13, practice = s % 10 == 3;
        record::SessionInfo info;
        info.kind = karimen ? exam::Definition(exam::Test::Karimen).sessionKind
                  : honmen ? exam::Definition(exam::Test::Honmen).sessionKind
                  : practice ? record::kPractice : record::kDrill;
        const std::int64_t id = rec.BeginSession(info);
        const int drillsLeft = kSessions - s - 2 * ((kSessions - s) / 15);
        const int n = karimen ? 50 : honmen ? 95 : s == kSessions - 1 ? left : left / std::max(1, drillsLeft);
        std::vector<record::Answer> answers;
        int right = 0;
        for (int a = 0; a < n && left > 0; ++a, --left) {
            record::Answer ans;
            const int q = question(rng);
            char bango[8];
            std::snprintf(bango, sizeof bango, "%04d", q);
            ans.bango = bango;
            if (honmen && a >= 90) {   // the hazard items' sub-statements
                ans.source = record::kSourceHazard;
                ans.bango = "K" + std::to_string(1 + q % 20);
                ans.item = 1 + a % 3;
            }
            ans.bunrui = items[std::size_t(q) % items.size()].code;
            ans.answer = int(rng() % 2);
            ans.correct = unit(rng) < 0.6 + 0.35 * s / kSessions;
            right += ans.correct ? 1 : 0;
            answers.push_back(ans);
        }
        rec.AddAnswers(id, answers);
        if (karimen || honmen) {
            const exam::TestDefinition& test = exam::Definition(karimen ? exam::Test::Karimen : exam::Test::Honmen);
            const int max = test.MaxScore();
            rec.EndGradedSession(id, right * max / std::max(1, n), max, test.PassMark());
        } else {
            rec.EndSession(id);
        }
    }
}

// Watches the window's and each chart's first paint.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(ProgressWindow& w)
    {
        w.installEventFilter(this);
        watched_ = 1;
        for (QChartView* v : w.findChildren<QChartView*>()) {
            v->viewport()->installEventFilter(this);
            ++watched_;
        }
    }
    bool Done() const { return int(painted_.size()) >= watched_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && std::find(painted_.begin(), painted_.end(), o) == painted_.end())
            painted_.push_back(o);
        return false;
    }

private:
    std::vector<QObject*> painted_;
    int watched_ = 0;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const QString out = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();

    benchdata::BankShape shape;
    shape.questions = kQuestions;
    const benchdata::DataDir dir =
        benchdata::MakeDataDir(benchdata::ScratchRoot() + "/progress", shape, 20);
    const std::string recordPath = dir.directory + record::kFileName;
    MakeRecord(recordPath);

    std::vector<double> total, bank, queries, fill, paint;
    int answers = 0, sessions = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        const auto statements = progress::BankStatements(data::Directory(dir.directory));
        const qint64 t1 = t.nsecsElapsed();
        record::LearningRecord rec;
        rec.Open(recordPath);
        const progress::Snapshot snap = progress::Load(rec, statements);
        const qint64 t2 = t.nsecsElapsed();
        ProgressWindow w;
        w.SetSnapshot(snap);
        PaintWatch watch(w);
        w.show();
        const qint64 t3 = t.nsecsElapsed();
        while (!watch.Done())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const qint64 t4 = t.nsecsElapsed();
        bank.push_back(t1 / 1e9);
        queries.push_back((t2 - t1) / 1e9);
        fill.push_back((t3 - t2) / 1e9);
        paint.push_back((t4 - t3) / 1e9);
        total.push_back(t4 / 1e9);
        answers = w.CurrentSummary().answers;
        sessions = int(snap.sessions.size());
    }
    std::printf("%d sessions, %d answers; to first full paint: median %.1f ms "
                "(bank %.1f, queries %.1f, window %.1f, paint %.1f)\n",
                sessions, answers, Median(total) * 1e3, Median(bank) * 1e3, Median(queries) * 1e3,
                Median(fill) * 1e3, Median(paint) * 1e3);
    if (!out.isEmpty()) {
        auto array = [](const std::vector<double>& v) {
            QJsonArray a;
            for (double x : v)
                a.append(x);
            return a;
        };
        QJsonObject o{{"sessions", sessions}, {"answers", answers},
                      {"platform", QGuiApplication::platformName()},
                      {"seconds", array(total)}, {"bank", array(bank)}, {"queries", array(queries)},
                      {"window", array(fill)}, {"paint", array(paint)}};
        QFile f(out);
        if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(o).toJson()) < 0)
            return 1;
    }
    return answers == kAnswers && sessions == kSessions ? 0 : 1;
}
