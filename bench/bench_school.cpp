// The school's server on loopback, through a throwaway cluster (tests/school/pgcluster.sh):
//   1. one answer delivered: from the answer stored in kiroku.sqlite to nothing left to deliver;
//   2. 40 PCs at once, each a process running the real delivery code with 1,000 answers: time,
//      and every answer on the server exactly once;
//   3. sign-in: connect + sign in (+ counters laid over), with the bank kept locally and with a
//      new 1,144-statement bank version to fetch;
//   4. sign-in with read-back: a pupil with 10,000 answers made at another PC signs in, and the
//      PC's record is put together from the server's (first time, nothing new, one new answer).
// Prints a Markdown table. Usage: bench_school [PCS] [ANSWERS]

#include "Admin.h"
#include "BenchData.h"
#include "Client.h"
#include "Connection.h"
#include "Counters.h"
#include "Delivery.h"
#include "LearningRecord.h"
#include "ReadBack.h"

#include "PgCluster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

void TableRow(const char* what, const std::string& value) { std::printf("| %s | %s |\n", what, value.c_str()); }

std::string Ms(double ms)
{
    char s[32];
    std::snprintf(s, sizeof s, "%.1f ms", ms);
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pcs = argc > 1 ? std::atoi(argv[1]) : 40, perPc = argc > 2 ? std::atoi(argv[2]) : 1000;
    const std::string scratch = benchdata::ScratchRoot();
    PgCluster cluster(QStringLiteral(LENTAVO_PGCLUSTER));
    const std::string db = cluster.Conninfo();
    int rc = 0;
    try {
        school::Connection admin(db);
        school::Migrate(admin);
        std::vector<school::Pupil> pupils;
        for (int i = 0; i <= pcs; ++i)
            pupils.push_back({std::to_string(10000 + i), "生徒", "", "1234"});
        pupils.push_back({"20000", "読み戻し", "", "1234"});
        school::ImportPupils(admin, pupils);
        // A bank of 1,144 statements, each with a figure (the worst case for the fetch).
        const benchdata::DataDir bank = benchdata::MakeDataDir(scratch + "/bank", {1144, true, false}, 0);
        fs::copy_file(LENTAVO_SAMPLE "/kiken.cds", bank.directory + "kiken.cds");
        school::PushBank(admin, bank.directory);

        std::printf("| what | figure |\n|---|---|\n");
        // 1. One answer delivered, 200 times.
        {
            const std::string folder = scratch + "/one";
            fs::create_directories(folder);
            school::Client c(db);
            school::BindFolder(folder, c.SignIn("10000", "1234", "bench", true).token);
            school::Delivery delivery(db);
            delivery.AddFolder(folder);
            record::LearningRecord rec;
            rec.Open(folder + "/kiroku.sqlite");
            const auto session = rec.BeginSession({record::kDrill, 1, std::nullopt});
            std::vector<double> ms;
            for (int i = 0; i < 220; ++i) {
                record::Answer a;
                a.bango = std::to_string(i);
                QElapsedTimer t;
                t.start();
                rec.AddAnswer(session, a);
                delivery.Wake();
                // A short pause between looks: PendingIn takes the folder's delivery lock, and a
                // loop without one starves the worker of it.
                while (school::PendingIn(folder) > 0)
                    QThread::usleep(200);
                if (i >= 20)   // the first ones connect and warm up
                    ms.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            TableRow("one answer delivered, p50", Ms(Percentile(ms, 0.50)));
            TableRow("one answer delivered, p99", Ms(Percentile(ms, 0.99)));
        }
        // 2. PCS processes at once.
        {
            QElapsedTimer t;
            t.start();
            std::vector<std::unique_ptr<QProcess>> procs;
            for (int i = 1; i <= pcs; ++i) {
                const std::string folder = scratch + "/pc" + std::to_string(i);
                fs::create_directories(folder);
                procs.push_back(std::make_unique<QProcess>());
                procs.back()->start(LENTAVO_SCHOOL_PC, {QString::fromStdString(db), QString::fromStdString(folder),
                                                        QString::number(perPc), "0", QString::number(10000 + i), "1234"});
            }
            int failed = 0;
            for (auto& p : procs)
                if (!p->waitForFinished(180000) || p->exitCode() != 0)
                    ++failed;
            const double seconds = double(t.elapsed()) / 1000.0;
            const long long total = admin.Exec("SELECT count(*) FROM lentavo.answers a JOIN lentavo.pupils p "
                                               "ON p.id = a.pupil_id WHERE p.number <> '10000'").Int64(0, 0);
            const long long distinct = admin.Exec("SELECT count(DISTINCT (a.pupil_id, a.bango)) FROM lentavo.answers a "
                                                  "JOIN lentavo.pupils p ON p.id = a.pupil_id WHERE p.number <> '10000'")
                                           .Int64(0, 0);
            const long long expected = (long long)pcs * perPc;
            char s[160];
            std::snprintf(s, sizeof s, "%.1f s; %lld of %lld on the server, %lld lost, %lld duplicated; %d PCs failed",
                          seconds, total, expected, expected - distinct, total - distinct, failed);
            TableRow((std::to_string(pcs) + " PCs x " + std::to_string(perPc) + " answers at once").c_str(), s);
            if (failed || total != expected || distinct != expected)
                rc = 1;
            admin.Exec("VACUUM ANALYZE lentavo.answers");
            TableRow("server space per answer (table and indexes)",
                     std::to_string(admin.Exec("SELECT pg_total_relation_size('lentavo.answers') / count(*) "
                                               "FROM lentavo.answers").Int64(0, 0)) + " bytes");
        }
        // 3. Sign-in: a new connection, sign in, the counters laid over the kept bank; and the
        // same with the bank version fetched and written first.
        {
            const std::string folder = scratch + "/signin";
            fs::create_directories(folder);
            std::vector<double> kept, fetched;
            for (int i = 0; i < 30; ++i) {
                for (bool fetch : {false, true}) {
                    QElapsedTimer t;
                    t.start();
                    school::Client c(db);
                    const school::SignInResult r = c.SignIn("10000", "1234", "bench", true);
                    if (fetch || !fs::exists(folder + "/mondai.cds")) {
                        const school::BankFiles b = c.FetchBank(r.token, *r.bankVersion);
                        std::ofstream(folder + "/mondai.cds", std::ios::binary) << b.mondai;
                        std::ofstream(folder + "/advice.cds", std::ios::binary) << b.advice;
                        std::ofstream(folder + "/kiken.cds", std::ios::binary) << b.kiken;
                    }
                    school::LayOver(folder, c.Counters(r.token));
                    school::BindFolder(folder, r.token);
                    (fetch ? fetched : kept).push_back(double(t.nsecsElapsed()) / 1e6);
                }
            }
            TableRow("sign-in, bank kept locally, p50", Ms(Percentile(kept, 0.5)));
            TableRow("sign-in, bank kept locally, max", Ms(Percentile(kept, 1.0)));
            TableRow("sign-in, 1,144-statement bank fetched (figures on every one), p50", Ms(Percentile(fetched, 0.5)));
            TableRow("sign-in, 1,144-statement bank fetched, max", Ms(Percentile(fetched, 1.0)));
            TableRow("bank version size", std::to_string(fs::file_size(folder + "/mondai.cds") / 1024) + " KiB mondai.cds");
        }
        // 4. Sign-in with read-back of 10,000 answers made at another PC (50 drills of 200).
        {
            constexpr int kAnswers = 10000, kPerSession = 200;
            school::Client c(db);
            const std::string made = scratch + "/readback-made";
            fs::create_directories(made);
            school::BindFolder(made, c.SignIn("20000", "1234", "made", true).token);
            {
                std::vector<record::SessionSummary> sessions;
                std::vector<record::RecordedAnswer> answers;
                for (int i = 0; i < kAnswers; ++i) {
                    char when[32];
                    std::snprintf(when, sizeof when, "2026-11-%02dT%02d:%02d:%02dZ", 1 + i / 2000, 8 + i % 2000 / 240,
                                  i % 240 / 4, i % 4 * 15);
                    if (i % kPerSession == 0) {
                        sessions.emplace_back();
                        sessions.back().kind = record::kDrill;
                        sessions.back().startedAt = when;
                        sessions.back().endedAt = when;
                    }
                    record::RecordedAnswer a;
                    a.session = sessions.size() - 1;
                    a.answeredAt = when;
                    a.answer.bango = std::to_string(1 + i % 1144);
                    a.answer.answer = 1;
                    a.answer.correct = i % 3 != 0;
                    answers.push_back(a);
                }
                record::LearningRecord rec;
                rec.Open(made + "/kiroku.sqlite");
                rec.Append(sessions, answers);
            }
            school::DeliverNow(c, made);
            std::vector<double> first, unchanged, oneNew;
            std::string at = scratch + "/readback-pc";
            auto signIn = [&](const std::string& folder, std::vector<double>& into) {
                QElapsedTimer t;
                t.start();
                school::Client pc(db);
                const school::SignInResult r = pc.SignIn("20000", "1234", "pc", true);
                school::BindFolder(folder, r.token);
                const school::ReadBackReport report = school::ReadBack(pc, folder, r.token);
                into.push_back(double(t.nsecsElapsed()) / 1e6);
                if (report.answers < kAnswers || !report.skipped.empty())
                    throw std::runtime_error("read-back: " + std::to_string(report.answers) + " " + report.skipped);
            };
            for (int i = 0; i < 5; ++i) {
                const std::string folder = at + std::to_string(i);
                fs::create_directories(folder);
                signIn(folder, first);
                signIn(folder, unchanged);
                // One answer more at the other PC: the record is put together again.
                record::LearningRecord rec;
                rec.Open(made + "/kiroku.sqlite");
                rec.AddAnswer(rec.BeginSession({record::kDrill, 1, std::nullopt}), record::Answer{record::kSourceBank, "1"});
                rec.Close();
                school::BindFolder(made, c.SignIn("20000", "1234", "made", true).token);
                school::DeliverNow(c, made);
                signIn(folder, oneNew);
            }
            TableRow("sign-in with read-back of 10,000 answers, first time at this PC, p50", Ms(Percentile(first, 0.5)));
            TableRow("sign-in with read-back of 10,000 answers, first time, max", Ms(Percentile(first, 1.0)));
            TableRow("sign-in with read-back, nothing new, p50", Ms(Percentile(unchanged, 0.5)));
            TableRow("sign-in with read-back, one answer new from another PC, p50", Ms(Percentile(oneNew, 0.5)));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_school: %s\n", e.what());
        rc = 1;
    }
    return rc;
}
