// The teacher's overview against a real PostgreSQL: a small school worked out by hand, the
// server's scores against the pupil's own statistics on the same record, and who may see and
// change what.

#include "Admin.h"
#include "Client.h"
#include "Connection.h"
#include "Delivery.h"
#include "Directory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Overview.h"
#include "PgCluster.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kBuild = QString::fromLocal8Bit(qgetenv("LENTAVO_BUILD"));

record::Answer Statement(int bango, int bunrui, bool right)
{
    record::Answer a;
    a.bango = std::to_string(bango);
    a.bunrui = bunrui;
    a.answer = right ? 1 : 0;
    a.correct = right;
    return a;
}

// A graded mock of TEST: STATEMENTS statements of BUNRUI, the first RIGHT of them right, then the
// hazard items HAZARDS (parts right per item), stored with the score the exam gives them.
void Mock(record::LearningRecord& rec, exam::Test test, int statements, int bunrui, int right,
          const std::vector<std::array<bool, 3>>& hazards = {})
{
    const exam::TestDefinition& d = exam::Definition(test);
    std::vector<record::Answer> answers;
    for (int i = 0; i < statements; ++i)
        answers.push_back(Statement(2001 + i, bunrui, i < right));
    int score = right * d.statementPoints;
    for (std::size_t h = 0; h < hazards.size(); ++h) {
        for (int part = 0; part < 3; ++part) {
            record::Answer a;
            a.source = record::kSourceHazard;
            a.bango = std::to_string(5001 + h);
            a.item = part + 1;
            a.bunrui = 201;
            a.correct = hazards[h][std::size_t(part)];
            a.answer = a.correct ? 1 : 0;
            answers.push_back(a);
        }
        if (hazards[h][0] && hazards[h][1] && hazards[h][2])
            score += d.hazardPoints;
    }
    const std::int64_t s = rec.BeginSession({d.sessionKind, std::nullopt, 7});
    rec.GradeSession(s, answers, score, d.MaxScore(), d.PassMark());
}

}  // namespace

class TestTeacher : public QObject {
    Q_OBJECT

    std::unique_ptr<PgCluster> pg_;
    std::unique_ptr<school::Connection> admin_;
    QTemporaryDir folders_;

    // Pupil NUMBER's record as written by WRITE on the PC, delivered to the server.
    void Deliver(const std::string& number, const std::function<void(record::LearningRecord&)>& write)
    {
        const QString folder = folders_.path() + "/" + QString::fromStdString(number);
        QDir().mkpath(folder);
        school::Client c(pg_->Conninfo());
        const school::SignInResult r = c.SignIn(number, "1234", "pc", true);
        school::BindFolder(folder.toStdString(), r.token);
        {
            record::LearningRecord rec;
            rec.Open((folder + "/kiroku.sqlite").toStdString());
            write(rec);
        }
        school::Delivery delivery(pg_->Conninfo());
        delivery.AddFolder(folder.toStdString());
        delivery.Wake();
        QTRY_COMPARE_WITH_TIMEOUT(school::PendingIn(folder.toStdString()), 0, 30000);
    }

    static const school::OverviewRow& Row(const std::vector<school::OverviewRow>& rows, const std::string& number)
    {
        for (const school::OverviewRow& r : rows)
            if (r.number == number)
                return r;
        throw Exception("no row " + number);
    }

    static std::vector<int> Scores(const school::TestScores& t)
    {
        std::vector<int> out;
        for (const progress::MockResult& m : t.last)
            out.push_back(m.score);
        return out;
    }

private slots:
    void initTestCase()
    {
        pg_ = std::make_unique<PgCluster>();
        admin_ = std::make_unique<school::Connection>(pg_->Conninfo());
        // A server not set up for the school has no teacher role: said as such, whoever asks.
        try {
            school::RequireTeacher(*admin_);
            QFAIL("a server without the teacher role opened the overview");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromStdString(e.Message()).contains("lentavo_teacher"), e.what());
        }
        school::Migrate(*admin_);
        school::ImportPupils(*admin_, {{"1001", "仮免 合格圏", "あ", "1234"},
                                       {"1002", "本免 不合格", "い", "1234"},
                                       {"1003", "未学習", "う", "1234"}});
        school::PushBank(*admin_, (kBuild + "/sample").toStdString());
        admin_->Exec("CREATE ROLE sato LOGIN IN ROLE lentavo_teacher");
        admin_->Exec("CREATE ROLE studyroom LOGIN IN ROLE lentavo_pc");

        // Ready for 仮免: a failed mock, then three passed ones, after a drill with 4 of 10 right.
        Deliver("1001", [](record::LearningRecord& rec) {
            const std::int64_t drill = rec.BeginSession({record::kDrill, 1, std::nullopt});
            for (int i = 0; i < 10; ++i)
                rec.AddAnswer(drill, Statement(1001 + i, 101, i < 4));
            rec.EndSession(drill);
            for (int right : {40, 45, 47, 50})
                Mock(rec, exam::Test::Karimen, 50, 102, right);
        });
        // A failed 本免 mock: 37 statements right, two hazard items right, one half right.
        Deliver("1002", [](record::LearningRecord& rec) {
            Mock(rec, exam::Test::Honmen, 90, 103, 37,
                 {{true, true, true}, {true, true, true}, {true, false, true}, {false, false, false}, {false, false, false}});
        });
    }

    void cleanupTestCase()
    {
        admin_.reset();
        pg_.reset();
    }

    void summariesOfASmallSchool()
    {
        school::Connection sato(pg_->As("sato"));
        school::RequireTeacher(sato);
        const std::vector<school::OverviewRow> rows = school::LoadOverview(sato);
        QCOMPARE(int(rows.size()), 3);

        const school::OverviewRow& ready = Row(rows, "1001");
        QCOMPARE(ready.answers, 210LL);
        QCOMPARE(ready.days, 1LL);
        QCOMPARE(ready.mocks, 4LL);
        QCOMPARE(ready.lastDay, QDate::currentDate());
        QCOMPARE(ready.Scores(exam::Test::Karimen).mocks, 4);
        QCOMPARE(Scores(ready.Scores(exam::Test::Karimen)), (std::vector<int>{50, 47, 45}));   // newest first
        QVERIFY(ready.Scores(exam::Test::Karimen).Ready());
        QVERIFY(!ready.Scores(exam::Test::Honmen).Ready());
        // 101: 4 of the drill's 10; 102: the last mock's last 20, all right.
        QCOMPARE(int(ready.weakest.size()), 2);
        QCOMPARE(ready.weakest[0].bunrui, 101);
        QCOMPARE(ready.weakest[0].correct, 4);
        QCOMPARE(ready.weakest[0].answers, 10);
        QCOMPARE(ready.weakest[1].correct, 20);

        // Summing "correct" would give 45 of 105; the exam's scoring gives 41 of 100.
        const school::OverviewRow& failed = Row(rows, "1002");
        QCOMPARE(failed.answers, 105LL);
        const school::TestScores& honmen = failed.Scores(exam::Test::Honmen);
        QCOMPARE(Scores(honmen), std::vector<int>{41});
        QCOMPARE(honmen.last[0].maxScore, 100);
        QCOMPARE(honmen.last[0].passMark, 90);
        QVERIFY(!honmen.last[0].passed());
        QVERIFY(!honmen.Ready());
        // 103: the last 20 of 90 statements, all wrong; 201: 8 of the 15 hazard parts.
        QCOMPARE(failed.weakest[0].bunrui, 103);
        QCOMPARE(failed.weakest[0].correct, 0);
        QCOMPARE(failed.weakest[1].bunrui, 201);
        QCOMPARE(failed.weakest[1].correct, 8);
        QCOMPARE(failed.weakest[1].answers, 15);

        const school::OverviewRow& never = Row(rows, "1003");
        QCOMPARE(never.answers, 0LL);
        QVERIFY(!never.lastDay.isValid());
        QVERIFY(never.weakest.empty());

        // The filters on those rows, judged tomorrow: only 1001 is ready; not studied for a day
        // or more is everyone (never studied included); a typed name finds its pupil.
        const QDate tomorrow = QDate::currentDate().addDays(1);
        const auto shown = [&](const school::OverviewFilter& f, const QDate& today) {
            std::string numbers;
            for (const school::OverviewRow& r : rows)
                if (school::Matches(r, f, today))
                    numbers += r.number + " ";
            return numbers;
        };
        QCOMPARE(shown({exam::Test::Karimen, 0, {}}, tomorrow), std::string("1001 "));
        QCOMPARE(shown({exam::Test::Honmen, 0, {}}, tomorrow), std::string());
        QCOMPARE(shown({std::nullopt, 1, {}}, tomorrow), std::string("1001 1002 1003 "));
        QCOMPARE(shown({std::nullopt, 2, {}}, tomorrow), std::string("1003 "));
        // Without the idle filter a last day after the day judged (a PC's clock ahead) hides nobody.
        QCOMPARE(shown({std::nullopt, 0, {}}, tomorrow.addDays(-2)), std::string("1001 1002 1003 "));
        QCOMPARE(shown({std::nullopt, 0, QStringLiteral("不合格")}, tomorrow), std::string("1002 "));
    }

    // The server's statistics of a pupil and the pupil's own, from the same record, agree.
    void serverStatisticsEqualThePupils()
    {
        school::Connection sato(pg_->As("sato"));
        const std::vector<progress::StatementKey> bank =
            progress::BankStatements(data::Directory((kBuild + "/sample/").toStdString()));
        for (const std::string number : {"1001", "1002"}) {
            const progress::Snapshot local =
                progress::LoadRecord((folders_.path() + "/" + QString::fromStdString(number) + "/kiroku.sqlite").toStdString(),
                                     bank);
            const progress::Snapshot server = school::LoadPupilSnapshot(sato, number);
            QCOMPARE(server.statements.size(), bank.size());
            for (const exam::TestDefinition& t : exam::Tests()) {
                const std::vector<progress::MockResult> a = progress::MockScores(local.sessions, t.test),
                                                        b = progress::MockScores(server.sessions, t.test);
                QCOMPARE(a.size(), b.size());
                for (std::size_t i = 0; i < a.size(); ++i) {
                    QCOMPARE(b[i].score, a[i].score);
                    QCOMPARE(b[i].maxScore, a[i].maxScore);
                    QCOMPARE(b[i].passMark, a[i].passMark);
                }
                QCOMPARE(progress::ReadinessFor(server.sessions, t.test).message,
                         progress::ReadinessFor(local.sessions, t.test).message);
            }
            const progress::Summary a = progress::Summarize(local), b = progress::Summarize(server);
            QCOMPARE(b.answers, a.answers);
            QCOMPARE(b.daysPractised, a.daysPractised);
            QCOMPARE(b.neverAnswered, a.neverAnswered);
            QCOMPARE(b.latestWrong, a.latestWrong);
            const std::vector<progress::ItemShare> wa = progress::WeakestFirst(local.rates),
                                                   wb = progress::WeakestFirst(server.rates);
            QCOMPARE(wa.size(), wb.size());
            for (std::size_t i = 0; i < wa.size(); ++i)
                QCOMPARE(std::tie(wb[i].bunrui, wb[i].answers, wb[i].correct),
                         std::tie(wa[i].bunrui, wa[i].answers, wa[i].correct));
        }
    }

    void aStudyRoomLoginCannotOpenTheOverview()
    {
        school::Connection pc(pg_->As("studyroom"));
        try {
            school::RequireTeacher(pc);
            QFAIL("a PC's login was taken for a teacher");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromStdString(e.Message()).contains("lentavo_teacher"), e.what());
        }
        // Asked directly, the server refuses too, as an error, not a crash.
        QVERIFY_THROWS_EXCEPTION(Exception, school::LoadOverview(pc));
        QVERIFY_THROWS_EXCEPTION(Exception, school::LoadPupilSnapshot(pc, "1001"));
    }

    void aTeacherCannotChangeAnswers()
    {
        school::Connection sato(pg_->As("sato"));
        const std::string before = admin_->Exec("SELECT count(*), count(*) FILTER (WHERE correct) FROM lentavo.answers").Text(0, 1);
        for (const char* sql : {"UPDATE lentavo.answers SET correct = true",
                                "DELETE FROM lentavo.answers",
                                "UPDATE lentavo.sessions SET score = max_score",
                                "UPDATE lentavo.session_totals SET statements_right = 90",
                                "SELECT lentavo.count_sessions(ARRAY(SELECT uuid FROM lentavo.sessions))",
                                "SELECT lentavo.deliver_answers('x', '[]')"})
            QVERIFY_THROWS_EXCEPTION(Exception, sato.Exec(sql));
        QCOMPARE(admin_->Exec("SELECT count(*), count(*) FILTER (WHERE correct) FROM lentavo.answers").Text(0, 1), before);
    }

    void pupilsAddedAndMarkedAsLeft()
    {
        school::Connection sato(pg_->As("sato"));
        school::AddPupil(sato, {"1004", "新入生", "しんにゅうせい", "5678"});
        QVERIFY_THROWS_EXCEPTION(Exception, school::AddPupil(sato, {"1004", "別人", "", "5678"}));
        school::Client c(pg_->Conninfo());
        QCOMPARE(c.SignIn("1004", "5678", "pc", true).status, school::SignInResult::Status::SignedIn);

        school::MarkLeft(sato, "1002");
        QVERIFY_THROWS_EXCEPTION(Exception, school::MarkLeft(sato, "1002"));
        std::string numbers;
        for (const school::OverviewRow& r : school::LoadOverview(sato))
            numbers += r.number + " ";
        QCOMPARE(numbers, std::string("1001 1003 1004 "));
        // Off the list, the record kept.
        QCOMPARE(school::LoadPupilSnapshot(sato, "1002").sessions.size(), std::size_t(1));
    }

    void nightlyReportOfTheReady()
    {
        QTemporaryDir dir;
        const QString csv = dir.path() + "/ready.csv";
        QProcess p;
        p.start(QString::fromLocal8Bit(qgetenv("TABLETOOL")),
                {"school", "report", "--csv", csv, "--ready", "karimen", "--db", QString::fromStdString(pg_->As("sato"))});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF番号,氏名,"));
        QCOMPARE(bytes.count("\r\n"), 2);   // the heading and 1001
        QVERIFY(bytes.contains("1001,仮免 合格圏,"));
        QVERIFY(bytes.contains("50/50○ 47/50○ 45/50○"));
    }
};

QTEST_GUILESS_MAIN(TestTeacher)
#include "tst_teacher.moc"
