// The school's core against a real PostgreSQL: who may do what, sign-in refusals, and delivery
// that loses nothing and doubles nothing when the server goes away, the connection is killed or
// the PC is.

#include "Admin.h"
#include "Client.h"
#include "Config.h"
#include "Connection.h"
#include "Counters.h"
#include "Delivery.h"
#include "DrillCounters.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Outbox.h"
#include "PgCluster.h"
#include "TableFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>
#include <latch>
#include <set>
#include <thread>

using school::SignInResult;

namespace {

const QString kBuild = QString::fromLocal8Bit(qgetenv("LENTAVO_BUILD"));

void WriteFile(const QString& path, const QByteArray& bytes, QFile::Permissions perms = {})
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    if (perms)
        f.setPermissions(perms);
}

std::string Token(school::Client& c, const std::string& number, const std::string& pin, const std::string& pc)
{
    const SignInResult r = c.SignIn(number, pin, pc, true);
    if (r.status != SignInResult::Status::SignedIn)
        throw Exception("sign-in of " + number + " refused");
    return r.token;
}

}  // namespace

class TestSchool : public QObject {
    Q_OBJECT

    std::unique_ptr<PgCluster> pg_;
    std::unique_ptr<school::Connection> admin_;

    long long Count(const std::string& sql, const std::vector<school::Param>& params = {})
    {
        return admin_->Exec(sql, params).Int64(0, 0);
    }

    // A folder of the PC with the sample bank in it, bound to pupil NUMBER's new sign-in.
    std::string Folder(QTemporaryDir& dir, const std::string& number, const std::string& pc = "pc")
    {
        school::Client c(pg_->Conninfo());
        const std::string token = Token(c, number, "1234", pc);
        school::BindFolder(dir.path().toStdString(), token);
        return token;
    }

    // Waits until FOLDER has nothing left to deliver and the server holds EXPECTED answers of
    // pupil NUMBER, each once.
    void ExpectDelivered(const QString& folder, const std::string& number, long long expected)
    {
        QTRY_COMPARE_WITH_TIMEOUT(school::PendingIn(folder.toStdString()), 0, 30000);
        const std::string of = "FROM lentavo.answers a JOIN lentavo.pupils p ON p.id = a.pupil_id WHERE p.number = $1";
        QCOMPARE(Count("SELECT count(*) " + of, {number}), expected);
        QCOMPARE(Count("SELECT count(DISTINCT (a.session_uuid, a.bango)) " + of, {number}), expected);
    }

private slots:
    void initTestCase()
    {
        pg_ = std::make_unique<PgCluster>();
        admin_ = std::make_unique<school::Connection>(pg_->Conninfo());
        const int applied = school::Migrate(*admin_);
        QCOMPARE(applied, school::SchemaVersion(*admin_));   // every step, on an empty server
        QCOMPARE(school::Migrate(*admin_), 0);   // run again: no change
        std::vector<school::Pupil> pupils;
        for (int n = 1001; n <= 1009; ++n)
            pupils.push_back({std::to_string(n), "生徒" + std::to_string(n), "", "1234"});
        school::ImportPupils(*admin_, pupils);
        school::PushBank(*admin_, (kBuild + "/sample").toStdString());
    }

    void cleanupTestCase()
    {
        admin_.reset();
        pg_.reset();
    }

    // The commands a school runs: init again changes nothing, a PIN made at import is printed
    // once and is the one that signs in, as is one reset (a number nobody has is refused), the
    // environment names the server when --db does not.
    void tabletoolSchoolCommands()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath("roster.csv"), "教習生番号,氏名,ふりがな,PIN\n20000001,\"佐藤, 花子\",さとう はなこ,\n");
        const auto tabletool = [&](const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QString::fromLocal8Bit(qgetenv("TABLETOOL")), args);
            p.waitForFinished(60000);
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        const QString db = QString::fromStdString(pg_->Conninfo());
        auto [rc, out] = tabletool({"school", "init", "--db", db});
        QCOMPARE(rc, 0);
        QVERIFY2(out.contains("unchanged"), qPrintable(out));
        std::tie(rc, out) = tabletool({"school", "pupils", "import", dir.filePath("roster.csv"), "--db", db});
        QCOMPARE(rc, 0);
        const QRegularExpressionMatch pin = QRegularExpression("20000001\t佐藤, 花子\t(\\d{6})").match(out);
        QVERIFY2(pin.hasMatch(), qPrintable(out));
        school::Client c(pg_->Conninfo());
        QCOMPARE(c.SignIn("20000001", pin.captured(1).toStdString(), "pc", true).status, SignInResult::Status::SignedIn);
        std::tie(rc, out) = tabletool({"school", "pupils", "import", dir.filePath("roster.csv"), "--db", db});
        QVERIFY2(!out.contains(pin.captured(1)), "a kept PIN was printed again");
        std::tie(rc, out) = tabletool({"school", "pupils", "reset-pin", "20000001", "--db", db});
        QCOMPARE(rc, 0);
        const QRegularExpressionMatch reset = QRegularExpression("20000001\t(\\d{6})").match(out);
        QVERIFY2(reset.hasMatch(), qPrintable(out));
        QCOMPARE(c.SignIn("20000001", reset.captured(1).toStdString(), "pc", true).status, SignInResult::Status::SignedIn);
        std::tie(rc, out) = tabletool({"school", "pupils", "reset-pin", "29999999", "--db", db});
        QVERIFY2(rc != 0 && out.contains("29999999 の教習生はいません"), qPrintable(out));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString host = db.section("host=", 1).section(' ', 0, 0);
        env.insert("PGHOST", host);
        env.insert("PGDATABASE", "lentavo");
        env.insert("PGUSER", "postgres");
        std::tie(rc, out) = tabletool({"school", "pupils", "list"}, env);
        QCOMPARE(rc, 0);
        QVERIFY2(out.contains("20000001\t佐藤, 花子\tさとう はなこ"), qPrintable(out));
    }

    void passwordFileReadableByOthersIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Lentavo.school");
        WriteFile(path, "# the school's server\nhost=db.example dbname=lentavo\n  user=pc password=secret\n",
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY_THROWS_EXCEPTION(Exception, school::ReadConfig(path.toStdString()));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(school::ReadConfig(path.toStdString()), "host=db.example dbname=lentavo user=pc password=secret");
        // Without a password (~/.pgpass holds it) anyone may read the file.
        WriteFile(path, "service=lentavo\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QCOMPARE(school::ReadConfig(path.toStdString()), "service=lentavo");
        QCOMPARE(*school::FindConfig(dir.path().toStdString(), false), path.toStdString());
        QVERIFY(!school::FindConfig(dir.path().toStdString() + "/none", false));
    }

    void rosterRefusesBadRowsByNumber()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("roster.csv");
        // CP932, as a Japanese spreadsheet saves it; the third row's number has three digits.
        const QByteArray cp932 = "\x8b\xb3\x8f\x4b\x90\xb6\x94\xd4\x8d\x86,\x8e\x81\x96\xbc,PIN\r\n"
                                 "12345678,\x8e\x52\x93\x63,\r\n"
                                 "123,\x8e\x52\x93\x63,1111\r\n";
        WriteFile(path, cp932);
        try {
            school::ReadRoster(path.toStdString());
            QFAIL("a three-digit number was taken");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromStdString(e.Message()).contains("3 行目"), e.what());
        }
        WriteFile(path, cp932.left(cp932.indexOf("123,")));
        const auto pupils = school::ReadRoster(path.toStdString());
        QCOMPARE(pupils.size(), std::size_t(1));
        QCOMPARE(pupils[0].name, "山田");
        QVERIFY(pupils[0].pin.empty());
        // A row only the server refuses undoes the whole import, and the connection goes on.
        QVERIFY_THROWS_EXCEPTION(Exception, school::ImportPupils(*admin_, {{"30000001", "前", "", "1234"},
                                                                          {"123", "後", "", "1234"}}));
        QCOMPARE(Count("SELECT count(*) FROM lentavo.pupils WHERE number = '30000001'"), 0LL);
    }

    // Two inits of a new database at once: the second waits for the first and finds every step
    // applied, neither fails.
    void twoInitsAtOnceBothSucceed()
    {
        admin_->Exec("CREATE DATABASE twice");
        const std::string conninfo = pg_->Conninfo() + " dbname=twice";
        school::Connection first(conninfo), second(conninfo);
        std::latch start(2);
        std::atomic<int> failed{0}, applied{0};
        const auto init = [&](school::Connection& db) {
            start.arrive_and_wait();
            try {
                applied += school::Migrate(db);
            } catch (const std::exception&) {
                ++failed;
            }
        };
        std::thread a(init, std::ref(first)), b(init, std::ref(second));
        a.join();
        b.join();
        QCOMPARE(failed.load(), 0);
        QCOMPARE(applied.load(), school::SchemaVersion(first));
    }

    // A folder whose bank is no table file of ours is not pushed: the PCs would fetch it and
    // fail, each on its own.
    void aBankThatIsNoTableFileIsNotPushed()
    {
        QTemporaryDir dir;
        for (const char* file : {"mondai.cds", "advice.cds", "kiken.cds"})
            QVERIFY(QFile::copy(kBuild + "/sample/" + file, dir.filePath(file)));
        QFile::remove(dir.filePath("mondai.cds"));
        WriteFile(dir.filePath("mondai.cds"), QByteArray(2048, 'x'));
        const long long before = Count("SELECT count(*) FROM lentavo.bank_versions");
        QVERIFY_THROWS_EXCEPTION(Exception, school::PushBank(*admin_, dir.path().toStdString() + "/"));
        QCOMPARE(Count("SELECT count(*) FROM lentavo.bank_versions"), before);

        // Put right, it goes; an empty name is the current folder.
        QFile::remove(dir.filePath("mondai.cds"));
        QVERIFY(QFile::copy(kBuild + "/sample/mondai.cds", dir.filePath("mondai.cds")));
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        int version = 0;
        try {
            version = school::PushBank(*admin_, "");
        } catch (const std::exception& e) {
            qWarning("%s", e.what());
        }
        QDir::setCurrent(cwd);
        QVERIFY(version > 0);
        QCOMPARE(Count("SELECT count(*) FROM lentavo.bank_versions"), before + 1);
    }

    // Logged in as a PC, no table or view of the schema can be read or changed, and the PC can
    // still do what it is for.
    void pcRoleReachesNoTable()
    {
        admin_->Exec("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'pc1') THEN "
                     "CREATE ROLE pc1 LOGIN IN ROLE lentavo_pc; END IF; END $$");
        school::Connection pc(pg_->As("pc1"));
        const school::Result tables = admin_->Exec(
            "SELECT c.relname, a.attname, c.relkind FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
            "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = 1 "
            "WHERE n.nspname = 'lentavo' AND c.relkind IN ('r', 'v')");
        QVERIFY(tables.Rows() >= 9);
        for (int i = 0; i < tables.Rows(); ++i) {
            const std::string t = "lentavo." + tables.Text(i, 0), col = tables.Text(i, 1);
            std::vector<std::string> statements = {"SELECT * FROM " + t};
            if (tables.Text(i, 2) == "r")   // a view cannot be written by anyone
                statements.insert(statements.end(), {"INSERT INTO " + t + " DEFAULT VALUES",
                                                     "UPDATE " + t + " SET " + col + " = " + col, "DELETE FROM " + t});
            for (const std::string& sql : statements) {
                try {
                    pc.Exec(sql);
                    QFAIL(("a PC may run: " + sql).c_str());
                } catch (const Exception& e) {
                    QVERIFY2(std::string(e.what()).find("permission denied") != std::string::npos, e.what());
                }
            }
        }
        QVERIFY_THROWS_EXCEPTION(Exception, pc.Exec("SELECT lentavo.set_pin('1001', '0000')"));
        QCOMPARE(pc.Exec("SELECT status FROM lentavo.sign_in('1009', '1234', 'pc1', true)").Text(0, 0), "signed-in");
    }

    void wrongPinsLockAndOtherPcIsTold()
    {
        school::Client c(pg_->Conninfo());
        for (int left = 4; left >= 1; --left) {
            const SignInResult r = c.SignIn("1002", "9999", "pc1", false);
            QCOMPARE(r.status, SignInResult::Status::WrongPin);
            QCOMPARE(r.attemptsLeft, left);
        }
        QCOMPARE(c.SignIn("1002", "9999", "pc1", false).status, SignInResult::Status::Locked);
        const SignInResult locked = c.SignIn("1002", "1234", "pc1", false);   // the right PIN, too late
        QCOMPARE(locked.status, SignInResult::Status::Locked);
        QVERIFY(!locked.lockedUntil.empty());
        admin_->Exec("UPDATE lentavo.pupils SET locked_until = now() - interval '1 second' WHERE number = '1002'");
        QCOMPARE(c.SignIn("1002", "1234", "pc1", false).status, SignInResult::Status::SignedIn);

        const SignInResult elsewhere = c.SignIn("1002", "1234", "pc2", false);
        QCOMPARE(elsewhere.status, SignInResult::Status::SignedInElsewhere);
        QCOMPARE(elsewhere.otherPc, "pc1");
        QCOMPARE(c.SignIn("1002", "1234", "pc2", true).status, SignInResult::Status::SignedIn);
        QCOMPARE(c.SignIn("1001' OR '1'='1", "1234", "pc1", false).status, SignInResult::Status::UnknownPupil);
    }

    void tokensOfOthersAndExpiredOnesAreRefused()
    {
        school::Client c(pg_->Conninfo());
        const std::string a = Token(c, "1003", "1234", "pc"), b = Token(c, "1004", "1234", "pc");
        record::SessionSummary s;
        s.kind = "drill";
        s.startedAt = "2026-12-08T09:00:00Z";
        const std::string uuid = "6f2c0a8e-0000-4000-8000-000000000003";
        c.DeliverSessions(a, {{uuid, s}});
        record::Answer answer;
        answer.bango = "0001";
        QCOMPARE(c.DeliverAnswers(a, {{"6f2c0a8e-0000-4000-8000-0000000000a1", uuid, s.startedAt, answer}}), 1);
        // B cannot write into A's session, nor take it over.
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused,
                                 c.DeliverAnswers(b, {{"6f2c0a8e-0000-4000-8000-0000000000b1", uuid, s.startedAt, answer}}));
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused, c.DeliverSessions(b, {{uuid, s}}));
        QCOMPARE(Count("SELECT count(*) FROM lentavo.answers a JOIN lentavo.pupils p ON p.id = a.pupil_id "
                       "WHERE p.number = '1003'"), 1LL);

        // Signed out: nothing read any more, but the queue left at the PC still arrives.
        c.SignOut(a);
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused, c.Counters(a));
        QCOMPARE(c.DeliverAnswers(a, {{"6f2c0a8e-0000-4000-8000-0000000000a2", uuid, s.startedAt, answer}}), 1);
        admin_->Exec("UPDATE lentavo.signins SET expires_at = now() - interval '1 second' "
                     "WHERE pupil_id = (SELECT id FROM lentavo.pupils WHERE number = '1003')");
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused,
                                 c.DeliverAnswers(a, {{"6f2c0a8e-0000-4000-8000-0000000000a3", uuid, s.startedAt, answer}}));
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused, c.Counters("not a token"));
    }

    void quotesAndSqlAreStoredAsData()
    {
        const std::string name = "O'Brien\"); DROP TABLE lentavo.answers; --";
        school::ImportPupils(*admin_, {{"10000005", name, "'; DELETE FROM lentavo.pupils; --", "1234"}});
        school::Client c(pg_->Conninfo());
        const SignInResult r = c.SignIn("10000005", "1234", "pc'); --", true);
        QCOMPARE(r.status, SignInResult::Status::SignedIn);
        QCOMPARE(r.name, name);
        record::SessionSummary s;
        s.kind = "drill";
        s.startedAt = "2026-12-08T09:00:00Z";
        const std::string uuid = "6f2c0a8e-0000-4000-8000-000000000005";
        c.DeliverSessions(r.token, {{uuid, s}});
        record::Answer answer;
        answer.bango = "1'); DELETE FROM lentavo.answers; --\\\"";
        c.DeliverAnswers(r.token, {{"6f2c0a8e-0000-4000-8000-0000000000c1", uuid, s.startedAt, answer}});
        const QString csv = QString::fromStdString(school::AnswersCsv(*admin_, std::string("10000005")));
        QVERIFY2(csv.contains("\"1'); DELETE FROM lentavo.answers; --\\\"\"\"") , qPrintable(csv));
        QVERIFY(Count("SELECT count(*) FROM lentavo.pupils") >= 10);
    }

    void serverStoppedMidDrillLosesNothing()
    {
        QTemporaryDir dir;
        Folder(dir, "1006");
        const QString folder = dir.path();
        school::Delivery delivery(pg_->Conninfo());
        QSignalSpy rounds(&delivery, &school::Delivery::pendingChanged);
        delivery.AddFolder(folder.toStdString());
        record::LearningRecord rec;
        rec.Open((folder + "/kiroku.sqlite").toStdString());
        const std::int64_t session = rec.BeginSession({record::kDrill, 1, std::nullopt});
        int n = 0;
        const auto answer = [&](int count) {
            for (int i = 0; i < count; ++i) {
                record::Answer a;
                a.bango = std::to_string(++n);
                rec.AddAnswer(session, a);
                delivery.Wake();
            }
        };
        QTRY_VERIFY_WITH_TIMEOUT(rounds.count() > 0, 30000);   // the worker's first round done: now only Wake() starts one
        answer(20);
        // Well within the idle worker's minute: Wake() started the round.
        QTRY_VERIFY_WITH_TIMEOUT(Count("SELECT count(*) FROM lentavo.answers WHERE bango = '20'") == 1, 20000);
        admin_.reset();
        pg_->Pause();
        answer(600);   // the pupil goes on, the worker fails and waits
        QTRY_COMPARE_WITH_TIMEOUT(delivery.Pending(), 600, 30000);
        pg_->Resume();
        admin_ = std::make_unique<school::Connection>(pg_->Conninfo());
        rec.EndSession(session);
        delivery.Wake();   // once: more than one call's worth goes in one go
        ExpectDelivered(folder, "1006", 620);
        QTRY_COMPARE_WITH_TIMEOUT(delivery.Pending(), 0, 30000);
        // The ended session is behind the mark: the outbox keeps no print of it, and later rounds
        // no longer read it.
        const std::optional<school::Outbox> b = school::LoadOutbox(folder.toStdString());
        QVERIFY(b);
        QCOMPARE(b->sessionsDone, session);
        QVERIFY(b->sessionsSent.empty());
        QCOMPARE(Count("SELECT count(*) FROM lentavo.sessions s JOIN lentavo.pupils p ON p.id = s.pupil_id "
                       "WHERE p.number = '1006' AND s.ended_at IS NOT NULL"), 1LL);
    }

    void connectionKilledDuringDeliveryLosesNothing()
    {
        QTemporaryDir dir;
        Folder(dir, "1007");
        school::Delivery delivery(pg_->Conninfo());
        delivery.AddFolder(dir.path().toStdString());
        std::atomic<bool> done = false;
        std::atomic<int> killed = 0;
        std::thread killer([&] {
            school::Connection db(pg_->Conninfo());
            while (!done) {
                killed += int(db.Exec("SELECT count(*) FROM (SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                      "WHERE datname = 'lentavo' AND pid <> pg_backend_pid() "
                                      "AND backend_type = 'client backend') k").Int64(0, 0));
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        });
        record::LearningRecord rec;
        rec.Open((dir.path() + "/kiroku.sqlite").toStdString());
        const std::int64_t session = rec.BeginSession({record::kDrill, 1, std::nullopt});
        for (int i = 1; i <= 200; ++i) {
            record::Answer a;
            a.bango = std::to_string(i);
            rec.AddAnswer(session, a);
            delivery.Wake();
            QThread::msleep(2);
        }
        rec.EndSession(session);
        QThread::msleep(300);
        done = true;
        killer.join();
        QVERIFY2(killed > 0, "no connection was killed");
        admin_ = std::make_unique<school::Connection>(pg_->Conninfo());   // ours was killed too
        delivery.Wake();
        ExpectDelivered(dir.path(), "1007", 200);
    }

    void pcKilledWithAQueueDeliversAtNextStart()
    {
        QTemporaryDir dir;
        Folder(dir, "1008");
        const QString pcProgram = QCoreApplication::applicationDirPath() + "/school_pc";
        QProcess pc;
        pc.start(pcProgram, {QString::fromStdString(pg_->Conninfo()), dir.path(), "400", "4"});
        QVERIFY(pc.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(Count("SELECT count(*) FROM lentavo.answers a JOIN lentavo.pupils p ON p.id = a.pupil_id "
                          "WHERE p.number = '1008'") > 0, 30000);
        // The server away while the pupil goes on, so that the PC surely dies with a queue: on a
        // quick machine delivery otherwise keeps up with every answer.
        admin_.reset();
        pg_->Pause();
        QTest::qWait(400);
        pc.kill();   // SIGKILL
        pc.waitForFinished();
        record::LearningRecord rec;
        rec.OpenForReading((dir.path() + "/kiroku.sqlite").toStdString());
        const int recorded = rec.CountAnswersAfter(0);
        QVERIFY2(school::PendingIn(dir.path().toStdString()) > 0, "killed with nothing queued");
        pg_->Resume();
        admin_ = std::make_unique<school::Connection>(pg_->Conninfo());
        QProcess again;
        again.start(pcProgram, {QString::fromStdString(pg_->Conninfo()), dir.path(), "0", "0"});
        QVERIFY(again.waitForFinished(60000));
        QCOMPARE(again.exitCode(), 0);
        ExpectDelivered(dir.path(), "1008", recorded);
    }

    // Two PCs of one pupil: each adds what it drilled since its sign-in; a PC delivering again
    // replaces its own share instead of adding it twice; difficulty: the last delivered.
    void countersFromTwoPcsAdd()
    {
        QTemporaryDir pc1, pc2;
        for (QTemporaryDir* d : {&pc1, &pc2})
            QVERIFY(QFile::copy(kBuild + "/sample/mondai.cds", d->filePath("mondai.cds")));
        const std::string x = school::ReadCounters((kBuild + "/sample/mondai.cds").toStdString())[0].bango;
        const std::string y = school::ReadCounters((kBuild + "/sample/mondai.cds").toStdString())[1].bango;
        school::Client c(pg_->Conninfo());
        const std::string t1 = Token(c, "1005", "1234", "pc1");
        school::LayOver(pc1.path().toStdString(), c.Counters(t1));
        school::BindFolder(pc1.path().toStdString(), t1);
        const std::string t2 = Token(c, "1005", "1234", "pc2");   // takes over
        school::LayOver(pc2.path().toStdString(), c.Counters(t2));
        school::BindFolder(pc2.path().toStdString(), t2);

        DrillCounters(pc1.path().toStdString(), x, 2, 1, 3);
        DrillCounters(pc2.path().toStdString(), x, 1, 1, 5);
        DrillCounters(pc2.path().toStdString(), y, 1, 0, 2);
        school::Delivery delivery(pg_->Conninfo());
        const auto deliver = [&](const QString& folder) {
            delivery.AddFolder(folder.toStdString());
            delivery.Wake();
            QTRY_VERIFY_WITH_TIMEOUT(Count("SELECT count(*) FROM lentavo.counter_contributions c JOIN lentavo.signins s "
                              "ON s.id = c.signin_id WHERE s.pc_name = $1 AND s.token_hash = "
                              "lentavo.digest(convert_to($2, 'UTF8'), 'sha256') AND c.bango = $3",
                              {folder == pc1.path() ? "pc1" : "pc2", folder == pc1.path() ? t1 : t2, x}) == 1, 30000);
            delivery.RemoveFolder(folder.toStdString());
        };
        deliver(pc1.path());
        deliver(pc2.path());
        // PC 1 goes on, and its pupil signs in there again before it is delivered: the folder
        // keeps its counters, which stay the first sign-in's share, delivered again in full.
        DrillCounters(pc1.path().toStdString(), x, 1, 0, 3);
        school::BindFolder(pc1.path().toStdString(), Token(c, "1005", "1234", "pc1"));
        delivery.AddFolder(pc1.path().toStdString());
        delivery.Wake();
        QTRY_COMPARE_WITH_TIMEOUT(Count("SELECT counters_seq FROM lentavo.signins WHERE pc_name = 'pc1' AND token_hash = "
                           "lentavo.digest(convert_to($1, 'UTF8'), 'sha256')", {t1}), 2LL, 30000);

        const std::vector<school::Counter> all = c.Counters(Token(c, "1005", "1234", "pc3"));
        QCOMPARE(all.size(), std::size_t(2));
        const school::Counter cx = all[0].bango == x ? all[0] : all[1], cy = all[0].bango == x ? all[1] : all[0];
        QCOMPARE(cx, (school::Counter{x, 4, 2, 0, 3}));
        QCOMPARE(cy, (school::Counter{y, 1, 0, 0, 2}));
    }
};

QTEST_GUILESS_MAIN(TestSchool)
#include "tst_school.moc"
