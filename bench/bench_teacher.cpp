// 教官用 一覧 on a generated school (bench/school_generate.sql: 2,000 pupils, about 1,000,000
// answers) in a throwaway cluster on loopback, under the offscreen platform:
//   1. first full paint: connect, check the role, the server's summaries, the rows into the
//      window and the window painted;
//   2. a filter and a sort, each with the table painted again;
//   3. one pupil's 学習記録 from the server, painted;
//   4. the class CSV, from the connection to the file written.
// Prints a Markdown table. Usage: bench_teacher [PUPILS] [SCREENSHOT.png]

#include "Admin.h"
#include "Connection.h"
#include "Fonts.h"
#include "Overview.h"
#include "ProgressWindow.h"
#include "SafeFile.h"
#include "PgCluster.h"
#include "TeacherOverviewWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Milliseconds of BODY: the first run, and the median of RUNS more.
std::pair<double, double> Time(int runs, const std::function<void(int)>& body)
{
    std::vector<double> ms;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer t;
        t.start();
        body(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double first = ms.front();
    ms.erase(ms.begin());
    std::sort(ms.begin(), ms.end());
    return {first, ms.empty() ? first : ms[ms.size() / 2]};
}

void Row(const char* what, std::pair<double, double> ms, const char* target)
{
    std::printf("| %s | %.0f ms | %.0f ms | %s |\n", what, ms.first, ms.second, target);
    std::fflush(stdout);
}

// The plans of the summary queries, as the server runs them on the generated school: the body of
// lentavo.overview (a function, whose own plan says only "Function Scan") with its parameters, and
// one pupil's sessions and item shares.
void PrintPlans(const std::string& db)
{
    const std::string sql = safefile::Read(LENTAVO_MIGRATION, 1 << 20);
    const std::size_t at = sql.find("CREATE FUNCTION lentavo.overview(");
    const std::size_t from = sql.find("AS $$", at) + 5, to = sql.find("$$;", from);
    std::string overview = sql.substr(from, to - from);
    for (const auto& [name, param] : std::vector<std::pair<std::string, std::string>>{
             {"p_tests", "$1::jsonb"}, {"p_ready_mocks", "$2::integer"}, {"p_window", "$3::integer"}, {"p_zone", "$4::text"}})
        for (std::size_t i; (i = overview.find(name)) != std::string::npos;)
            overview.replace(i, name.size(), param);
    const std::string tests =
        R"([{"kind":"mock-karimen","statement_points":1,"hazard_points":2,"numerator":9,"denominator":10},)"
        R"({"kind":"mock-honmen","statement_points":1,"hazard_points":2,"numerator":9,"denominator":10},)"
        R"({"kind":"mock-gaimen","statement_points":1,"hazard_points":2,"numerator":9,"denominator":10}])";
    school::Connection c(db);
    c.Exec("SET work_mem = '32MB'");   // as the function sets it
    const std::vector<std::tuple<const char*, std::string, std::vector<school::Param>>> queries{
        {"lentavo.overview (its body)", overview, {tests, "3", "20", "Asia/Tokyo"}},
        {"one pupil's sessions (pupil_sessions)", "SELECT * FROM lentavo.session_scores($1::jsonb, ARRAY[$2::bigint]) s "
                                                  "ORDER BY s.started_at, s.seq", {tests, "5"}},
        {"one pupil's item shares (pupil_items)", "SELECT * FROM lentavo.item_rates(20, ARRAY[$1::bigint])", {"5"}},
    };
    for (const auto& [what, query, params] : queries) {
        std::printf("\n%s:\n\n```\n", what);
        const school::Result r = c.Exec("EXPLAIN (ANALYZE, COSTS OFF) " + query, params);
        for (int i = 0; i < r.Rows(); ++i)
            std::printf("%s\n", r.Text(i, 0).c_str());
        std::printf("```\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const int pupils = argc > 1 ? std::atoi(argv[1]) : 2000;
    const QString screenshot = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    PgCluster cluster(QStringLiteral(LENTAVO_PGCLUSTER));
    const std::string db = cluster.Conninfo();
    int rc = 0;
    try {
        {
            school::Connection admin(db);
            school::Migrate(admin);
            school::PushBank(admin, LENTAVO_SAMPLE);
            std::string sql = safefile::Read(LENTAVO_GENERATE, 1 << 20);
            for (std::size_t at; (at = sql.find("PUPILS")) != std::string::npos;)
                sql.replace(at, 6, std::to_string(pupils));
            QElapsedTimer t;
            t.start();
            admin.ExecScript(sql);
            const school::Result n = admin.Exec("SELECT (SELECT count(*) FROM lentavo.pupils), "
                                                "(SELECT count(*) FROM lentavo.sessions), (SELECT count(*) FROM lentavo.answers)");
            std::printf("Generated school: %s pupils, %s sessions, %s answers (%.0f s).\n\n", n.Text(0, 0).c_str(),
                        n.Text(0, 1).c_str(), n.Text(0, 2).c_str(), double(t.elapsed()) / 1000);
        }
        std::printf("| step | first | median of 5 | target |\n|---|---|---|---|\n");

        TeacherOverviewWindow window;
        window.resize(1180, 700);
        auto* table = window.findChild<QTableView*>("pupilTable");
        Row("first full paint (connect, summaries, rows, painted)", Time(5, [&](int) {
                school::Connection c(db);
                school::RequireTeacher(c);
                window.SetRows(school::LoadOverview(c));
                window.show();
                window.grab();
            }), "≤ 1 s");
        Row("… of which the server's summaries (connect, lentavo.overview, rows parsed)", Time(5, [&](int) {
                school::Connection c(db);
                school::LoadOverview(c);
            }), "");
        auto* search = window.findChild<QLineEdit*>("searchEdit");
        auto* ready = window.findChild<QComboBox*>("readyBox");
        Row("filter (a typed number, then 本免 合格圏), painted", Time(5, [&](int i) {
                search->setText(QString::number(20250000 + 17 * (i + 1)).left(6 + i % 2));
                table->grab();
                search->clear();
                ready->setCurrentIndex(1 + i % 2);
                table->grab();
                ready->setCurrentIndex(0);
            }), "≤ 100 ms each");
        Row("sort by a column, painted", Time(5, [&](int i) {
                table->sortByColumn(std::vector<int>{1, 2, 6, 12, 3, 8}[std::size_t(i)], i % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
                table->grab();
            }), "≤ 100 ms");
        Row("one pupil's 学習記録 from the server, painted", Time(5, [&](int i) {
                school::Connection c(db);
                ProgressWindow record;
                record.SetSnapshot(school::LoadPupilSnapshot(c, std::to_string(20250001 + 7 * i)));
                record.show();
                record.grab();
            }), "≤ 500 ms");
        const std::string csv = fs::temp_directory_path().string() + "/lentavo-bench-class.csv";
        Row("class CSV (connect, summaries, file written)", Time(5, [&](int) {
                school::Connection c(db);
                const std::vector<school::OverviewRow> rows = school::LoadOverview(c);
                std::vector<const school::OverviewRow*> all;
                for (const school::OverviewRow& r : rows)
                    all.push_back(&r);
                safefile::Write(csv, school::OverviewCsv(all));
            }), "≤ 2 s");
        fs::remove(csv);
        PrintPlans(db);
        if (!screenshot.isEmpty()) {
            // The ready first, as a teacher looking for who may sit the test would sort.
            table->sortByColumn(7, Qt::DescendingOrder);
            window.grab().save(screenshot);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_teacher: %s\n", e.what());
        rc = 1;
    }
    return rc;
}
