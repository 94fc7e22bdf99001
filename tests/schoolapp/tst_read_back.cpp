// A pupil's record follows them to any PC (against a throwaway PostgreSQL): answers made at one
// PC are in another's learning record after sign-in, in the order answered across PCs, seen by
// 学習記録 and 今日の復習, never sent twice, never another pupil's; and a PC whose sign-in was
// taken over hears of it.

#include "Admin.h"
#include "Connection.h"
#include "Counters.h"
#include "Delivery.h"
#include "Directory.h"
#include "Exception.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Load.h"
#include "Outbox.h"
#include "ReadBack.h"
#include "SafeFile.h"
#include "SchoolLink.h"
#include "Statistics.h"
#include "school/DrillCounters.h"
#include "school/PgCluster.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QString kBuild = QString::fromLocal8Bit(qgetenv("LENTAVO_BUILD"));

record::SessionSummary Drill(const char* started, std::optional<std::string> ended = std::nullopt)
{
    record::SessionSummary s;
    s.kind = record::kDrill;
    s.startedAt = started;
    s.endedAt = std::move(ended);
    s.level = 1;
    return s;
}

record::RecordedAnswer At(const char* when, const std::string& bango, bool correct)
{
    record::RecordedAnswer a;
    a.answeredAt = when;
    a.answer.bango = bango;
    a.answer.answer = correct ? 1 : 0;
    a.answer.correct = correct;
    return a;
}

// Appends a session made at WHEN's times to FOLDER's record, as that PC's drill would have.
void Answered(const std::string& folder, const record::SessionSummary& session,
              std::vector<record::RecordedAnswer> answers)
{
    record::LearningRecord rec;
    rec.Open(folder + record::kFileName);
    rec.Append({session}, answers);
}

void SetTestDate(const std::string& folder, const char* test, const char* date)
{
    record::LearningRecord rec;
    rec.Open(folder + record::kFileName);
    rec.SetTestDate(test, date);
}

std::string TestDateIn(const std::string& folder)
{
    record::LearningRecord rec;
    rec.OpenForReading(folder + record::kFileName);
    const record::PupilProfile p = rec.Pupil();
    return p.test.value_or("-") + " " + p.testDate.value_or("-");
}

// The bango of every answer of FOLDER's record, in its id order.
std::vector<std::string> Bangos(const std::string& folder)
{
    record::LearningRecord rec;
    rec.OpenForReading(folder + record::kFileName);
    std::vector<std::string> out;
    rec.ForEachAnswer([&](const record::AnswerInSession& a) { out.push_back(a.answer.bango); });
    return out;
}
}  // namespace

class TestReadBack : public QObject {
    Q_OBJECT

    std::unique_ptr<PgCluster> pg_;
    std::unique_ptr<school::Connection> owner_;
    std::string pc_;
    std::vector<std::string> bank_;

    school::SignedInPupil SignIn(school::SchoolLink& link, const char* number, const char* pc)
    {
        QSignalSpy in(&link, &school::SchoolLink::signedIn);
        QSignalSpy failed(&link, &school::SchoolLink::failed);
        link.SignIn(QString::fromLatin1(number), "1234", QString::fromLatin1(pc), true);
        if (!in.wait(20000))
            qFatal("no sign-in: %s", failed.isEmpty() ? "" : qPrintable(failed[0][0].toString()));
        return in[0][0].value<school::SignedInPupil>();
    }

    // The pupil's rows of WHAT (answers, sessions) on the server; -1 when any is there twice
    // (the same row under two uuids: the same time and statement, or the same start).
    long long ServerCount(const std::string& what, const char* number)
    {
        const std::string same = what == "answers" ? "(x.answered_at, x.bango)" : "(x.started_at, x.kind)";
        const school::Result r = owner_->Exec("SELECT count(*), count(DISTINCT " + same + ") FROM lentavo." + what +
                                                  " x JOIN lentavo.pupils p ON p.id = x.pupil_id WHERE p.number = $1",
                                              {std::string(number)});
        return r.Int64(0, 0) == r.Int64(0, 1) ? r.Int64(0, 0) : -1;
    }

private slots:
    void initTestCase()
    {
        pg_ = std::make_unique<PgCluster>();
        owner_ = std::make_unique<school::Connection>(pg_->Conninfo());
        school::Migrate(*owner_);
        school::ImportPupils(*owner_, {{"1001", "山田 花子", "", "1234"}, {"1002", "佐藤 健", "", "1234"}});
        school::PushBank(*owner_, (kBuild + "/sample").toStdString());
        owner_->Exec("CREATE ROLE pc_test LOGIN IN ROLE lentavo_pc");
        pc_ = pg_->As("pc_test");
        for (const school::Counter& c : school::ReadCounters((kBuild + "/sample/mondai.cds").toStdString()))
            bank_.push_back(c.bango);
        QVERIFY(bank_.size() >= 6);
    }

    void cleanupTestCase()
    {
        owner_.reset();
        pg_.reset();
    }

    void aPupilsRecordFollowsThemToAnyPc()
    {
        QTemporaryDir rootA, rootB;
        school::SchoolLink pcA(pc_, school::SchoolFolders(rootA.path().toStdString()));
        school::SchoolLink pcB(pc_, school::SchoolFolders(rootB.path().toStdString()));
        school::Client client(pc_);

        // PC A, new to the school's bank: a drill with a wrong answer early and a right one late.
        const school::SignedInPupil atA = SignIn(pcA, "1001", "pcA");
        QVERIFY(atA.bankFetched);
        const std::string a = atA.folder;
        Answered(a, Drill("2026-12-01T09:00:00Z", "2026-12-01T09:05:00Z"),
                 {At("2026-12-01T09:00:00Z", bank_[0], false), At("2026-12-01T09:04:00Z", bank_[1], true)});
        SetTestDate(a, "karimen", "2027-01-15");
        school::DeliverNow(client, a);
        // Another pupil at PC B: nothing of theirs may reach 1001's folder.
        const std::string other = SignIn(pcB, "1002", "pcB").folder;
        Answered(other, Drill("2026-12-01T09:02:00Z"), {At("2026-12-01T09:02:00Z", bank_[5], true)});
        school::DeliverNow(client, other);

        // PC B: 1001 takes over and finds A's answers in 学習記録 and 今日の復習.
        const school::SignedInPupil atB = SignIn(pcB, "1001", "pcB");
        const std::string b = atB.folder;
        QVERIFY(atB.readBack.rebuilt);
        QCOMPARE(atB.readBack.answersAdded, 2);
        QCOMPARE(Bangos(b), (std::vector<std::string>{bank_[0], bank_[1]}));
        const progress::Snapshot snapshot = progress::LoadSnapshot(data::Directory(b));
        QCOMPARE(snapshot.latest.size(), std::size_t(2));
        QCOMPARE(snapshot.sessions.size(), std::size_t(1));
        QCOMPARE(snapshot.sessions[0].answers, 2);
        const study::Outlook outlook = study::LoadOutlook(b);
        QVERIFY(outlook.learner.Find({record::kSourceBank, bank_[0], 0}));
        const study::Queue queue = study::TodaysQueue(outlook, QDateTime::fromString("2026-12-20T12:00:00Z", Qt::ISODate));
        const auto wrongOne = std::find_if(queue.entries.begin(), queue.entries.end(),
                                           [&](const study::QueueEntry& e) { return e.key.bango == bank_[0]; });
        QVERIFY(wrongOne != queue.entries.end() && !wrongOne->isNew);
        QCOMPARE(TestDateIn(b), std::string("karimen 2027-01-15"));
        // A's drill is A's: B never offers to store it.
        QVERIFY(!school::IsOwnSession(b, 1));

        // B answers between A's two answers; its delivery sends only that.
        Answered(b, Drill("2026-12-01T09:01:00Z", "2026-12-01T09:03:00Z"), {At("2026-12-01T09:02:30Z", bank_[2], true)});
        QVERIFY(school::IsOwnSession(b, 2));
        QCOMPARE(school::PendingIn(b), 2);   // its session and its answer
        SetTestDate(b, "honmen", "2027-02-01");
        school::DeliverNow(client, b);
        QCOMPARE(school::PendingIn(b), 0);
        QCOMPARE(ServerCount("answers", "1001"), 3LL);
        QCOMPARE(ServerCount("sessions", "1001"), 2LL);

        // Back at A: B's answer in its place by time, A's own not doubled, nothing to send.
        const school::SignedInPupil againA = SignIn(pcA, "1001", "pcA");
        QVERIFY(!againA.bankFetched);
        QCOMPARE(againA.folder, a);
        QCOMPARE(Bangos(a), (std::vector<std::string>{bank_[0], bank_[2], bank_[1]}));
        QCOMPARE(school::PendingIn(a), 0);
        QCOMPARE(TestDateIn(a), std::string("honmen 2027-02-01"));
        QVERIFY(school::IsOwnSession(a, 1));    // A's drill began 09:00
        QVERIFY(!school::IsOwnSession(a, 2));   // B's at 09:01
        record::LearningRecord rec;
        rec.OpenForReading(a + record::kFileName);
        const std::vector<record::LatestResult> latest = rec.LatestResults();
        QCOMPARE(latest.size(), std::size_t(3));
        // A new answer at A goes out once, under a uuid of its own.
        rec.Close();
        Answered(a, Drill("2026-12-02T10:00:00Z"), {At("2026-12-02T10:00:00Z", bank_[3], false)});
        school::DeliverNow(client, a);
        QCOMPARE(ServerCount("answers", "1001"), 4LL);
        QCOMPARE(ServerCount("answers", "1002"), 1LL);

        // Signing in again with nothing new anywhere leaves the record as it is.
        const school::SignedInPupil thirdA = SignIn(pcA, "1001", "pcA");
        QVERIFY(!thirdA.readBack.rebuilt);
        QVERIFY(thirdA.readBack.skipped.empty());
        QCOMPARE(thirdA.readBack.answers, 4);
        QCOMPARE(Bangos(a).size(), std::size_t(4));

        // The date taken away at A is taken away at B too.
        SetTestDate(a, "", "");
        school::DeliverNow(client, a);
        QCOMPARE(school::PendingIn(a), 0);
        SignIn(pcB, "1001", "pcB");
        QCOMPARE(TestDateIn(b), std::string("- -"));
    }

    // The rebuilt record and its marks take each other's place together: until the incoming
    // record is renamed into place the old marks hold, from then on the new ones.
    void aRebuildCutShortKeepsRecordAndMarksTogether()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        school::Outbox b = school::LoadOrMakeOutbox(folder);
        b.answersDone = 7;
        school::RecordMarks next;
        next.folderId = "0b7c1f4e-4f1d-4a53-9a44-5a0f6f4a2c11";
        next.answersDone = 12;
        next.readAnswers = 12;
        b.incoming = next;
        school::SaveOutbox(folder, b);
        safefile::Write(folder + school::kIncomingRecord, "x");
        QCOMPARE(school::LoadOutbox(folder)->answersDone, std::int64_t(7));
        QCOMPARE(school::LoadOutbox(folder)->folderId, b.folderId);
        std::filesystem::remove(folder + school::kIncomingRecord);
        const school::Outbox settled = *school::LoadOutbox(folder);
        QCOMPARE(settled.answersDone, std::int64_t(12));
        QCOMPARE(settled.readAnswers, std::int64_t(12));
        QCOMPARE(settled.folderId, next.folderId);
    }

    void aSignInTakenOverIsTold()
    {
        QTemporaryDir rootA;
        school::SchoolLink pcA(pc_, school::SchoolFolders(rootA.path().toStdString()));
        const school::SignedInPupil atA = SignIn(pcA, "1002", "pcA");
        QSignalSpy ended(&pcA, &school::SchoolLink::signInEnded);
        pcA.CheckSignIn(atA.token);
        QVERIFY(!ended.wait(1500));   // it stands

        school::Client client(pc_);
        QCOMPARE(client.SignIn("1002", "1234", "pcB", true).status, school::SignInResult::Status::SignedIn);
        pcA.CheckSignIn(atA.token);
        QVERIFY(ended.wait(10000));
        QCOMPARE(ended[0][1].value<school::SignInState>(), school::SignInState::TakenOver);

        // Signed out at the same PC, or never known: not a take-over.
        const std::string again = client.SignIn("1002", "1234", "pcB", true).token;
        QCOMPARE(client.SignInStatus(again), school::SignInState::Active);
        client.SignOut(again);
        QCOMPARE(client.SignInStatus(again), school::SignInState::SignedOut);
        QCOMPARE(client.SignInStatus("nonsense"), school::SignInState::Unknown);

        // Signing out through the link ends the sign-in at the server and says so.
        QSignalSpy out(&pcA, &school::SchoolLink::signedOut);
        const std::string token = SignIn(pcA, "1002", "pcA").token;
        pcA.SignOut(token);
        QVERIFY(out.wait(10000));
        QCOMPARE(client.SignInStatus(token), school::SignInState::SignedOut);
    }

    // Counters drilled at a PC and not yet delivered stay in its folder over the next sign-in
    // there; once delivered, the server's counters are what another PC's folder starts from.
    void countersFollowThePupilWithoutLosingUndeliveredOnes()
    {
        school::ImportPupils(*owner_, {{"1009", "伊藤 海", "", "1234"}});
        QTemporaryDir rootA, rootB;
        school::SchoolLink pcA(pc_, school::SchoolFolders(rootA.path().toStdString()));
        school::SchoolLink pcB(pc_, school::SchoolFolders(rootB.path().toStdString()));
        const auto counterOf = [&](const std::string& folder) {
            for (const school::Counter& c : school::ReadCounters(folder + layouts::kBankFile))
                if (c.bango == bank_[0])
                    return c;
            return school::Counter{};
        };
        const std::string a = SignIn(pcA, "1009", "pcA").folder;
        DrillCounters(a, bank_[0], 2, 1, 3);
        const school::Counter drilled = counterOf(a);
        QCOMPARE(drilled.kaisu, 2);
        QVERIFY(school::PendingIn(a) > 0);
        SignIn(pcA, "1009", "pcA");
        QCOMPARE(counterOf(a), drilled);

        school::Client client(pc_);
        school::DeliverNow(client, a);
        QCOMPARE(school::PendingIn(a), 0);
        QCOMPARE(counterOf(SignIn(pcB, "1009", "pcB").folder), drilled);
    }

    // A wrong PIN is answered as a refusal, and a sign-in this PC cannot use (its folders cannot
    // be made) as a failure, which lets the sign-in go again at the server: the pupil then signs
    // in at another PC without taking anything over.
    void refusalsAndFailuresAreAnswered()
    {
        school::ImportPupils(*owner_, {{"1008", "渡辺 陽", "", "1234"}});
        QTemporaryDir root;
        const std::string notAFolder = root.filePath("file").toStdString();
        std::ofstream(notAFolder) << "a file";
        school::SchoolLink broken(pc_, school::SchoolFolders(notAFolder + "/school"));
        QSignalSpy refused(&broken, &school::SchoolLink::refused);
        QSignalSpy failed(&broken, &school::SchoolLink::failed);
        broken.SignIn("1008", "9999", "pcA", false);
        QVERIFY(refused.wait(20000));
        broken.SignIn("1008", "1234", "pcA", false);
        QVERIFY(failed.wait(20000));
        school::Client client(pc_);
        QCOMPARE(client.SignIn("1008", "1234", "pcB", false).status, school::SignInResult::Status::SignedIn);
    }
    // A drill left open at one PC, continued and ended there later, is read back whole and ended
    // at the other, though at its end neither PC has a row the other lacks. What a rebuild cut
    // short left beside the record gets into nothing, and the name this folder's record holds is
    // kept.
    void aSessionEndedAtAnotherPcIsReadBackEnded()
    {
        school::ImportPupils(*owner_, {{"1003", "鈴木 一郎", "", "1234"}});
        QTemporaryDir rootA, rootB;
        school::SchoolLink pcA(pc_, school::SchoolFolders(rootA.path().toStdString()));
        school::SchoolLink pcB(pc_, school::SchoolFolders(rootB.path().toStdString()));
        school::Client client(pc_);
        const std::string a = SignIn(pcA, "1003", "pcA").folder;
        Answered(a, Drill("2026-12-03T09:00:00Z", "2026-12-03T09:05:00Z"), {At("2026-12-03T09:01:00Z", bank_[0], true)});
        Answered(a, Drill("2026-12-03T10:00:00Z"), {At("2026-12-03T10:01:00Z", bank_[1], false)});
        school::DeliverNow(client, a);
        const std::string b = SignIn(pcB, "1003", "pcB").folder;
        {
            record::LearningRecord rec;
            rec.Open(b + record::kFileName);
            QCOMPARE(rec.Sessions().size(), std::size_t(2));
            QVERIFY(!rec.Sessions()[1].endedAt);
            rec.SetPupilName("鈴木 一郎");
        }
        // The drill goes on at A: B then holds every session of the server but not every answer.
        {
            record::LearningRecord rec;
            rec.Open(a + record::kFileName);
            rec.AddAnswer(rec.Sessions().back().id, {record::kSourceBank, bank_[2], 0, {}, 1, true, {}});
        }
        school::DeliverNow(client, a);
        QCOMPARE(Bangos(SignIn(pcB, "1003", "pcB").folder), (std::vector<std::string>{bank_[0], bank_[1], bank_[2]}));
        {
            record::LearningRecord rec;
            rec.Open(a + record::kFileName);
            rec.EndSession(rec.Sessions().back().id);
        }
        SignIn(pcA, "1003", "pcA");   // delivers the end
        {
            record::LearningRecord stale;
            stale.Open(b + school::kIncomingRecord);
            stale.Append({Drill("2026-11-30T08:00:00Z")}, {At("2026-11-30T08:00:00Z", bank_[4], true)});
        }

        const school::SignedInPupil again = SignIn(pcB, "1003", "pcB");
        QVERIFY(again.readBack.rebuilt);
        QCOMPARE(Bangos(b), (std::vector<std::string>{bank_[0], bank_[1], bank_[2]}));
        QVERIFY(!std::filesystem::exists(b + school::kIncomingRecord));
        record::LearningRecord rec;
        rec.OpenForReading(b + record::kFileName);
        const std::vector<record::SessionSummary> sessions = rec.Sessions();
        QCOMPARE(sessions.size(), std::size_t(2));
        QVERIFY(sessions[1].endedAt);
        QCOMPARE(rec.Pupil().name.value_or(""), std::string("鈴木 一郎"));
    }

    // A server put back from an older copy lacks a session and its answer that the folder
    // delivered: the read-back keeps them in the folder's record instead of giving up on it.
    void rowsTheServerLostStayInTheFolder()
    {
        school::ImportPupils(*owner_, {{"1005", "高橋 花", "", "1234"}});
        QTemporaryDir root;
        school::SchoolLink pc(pc_, school::SchoolFolders(root.path().toStdString()));
        school::Client client(pc_);
        const std::string folder = SignIn(pc, "1005", "pcA").folder;
        Answered(folder, Drill("2026-12-04T09:00:00Z", "2026-12-04T09:05:00Z"), {At("2026-12-04T09:01:00Z", bank_[0], true)});
        Answered(folder, Drill("2026-12-04T10:00:00Z", "2026-12-04T10:05:00Z"), {At("2026-12-04T10:01:00Z", bank_[1], false)});
        school::DeliverNow(client, folder);
        const std::string lost = "(SELECT uuid FROM lentavo.sessions WHERE started_at = '2026-12-04T10:00:00Z' AND "
                                 "pupil_id = (SELECT id FROM lentavo.pupils WHERE number = '1005'))";
        owner_->Exec("DELETE FROM lentavo.answers WHERE session_uuid = " + lost);
        owner_->Exec("DELETE FROM lentavo.session_totals WHERE session_uuid = " + lost);
        owner_->Exec("DELETE FROM lentavo.sessions WHERE uuid = " + lost);
        QCOMPARE(ServerCount("sessions", "1005"), 1LL);

        const school::SignedInPupil again = SignIn(pc, "1005", "pcA");
        QVERIFY2(again.readBack.skipped.empty(), again.readBack.skipped.c_str());
        QCOMPARE(Bangos(folder), (std::vector<std::string>{bank_[0], bank_[1]}));
        record::LearningRecord rec;
        rec.OpenForReading(folder + record::kFileName);
        QCOMPARE(rec.Sessions().size(), std::size_t(2));
    }

    // A PC whose clock was set back between two answers stored them out of time order; the
    // server has the same rows in time order, and the next read-back puts them so, as at any PC.
    void rowsHeldOutOfTimeOrderAreReadBackInIt()
    {
        school::ImportPupils(*owner_, {{"1006", "伊藤 蓮", "", "1234"}});
        QTemporaryDir root;
        school::SchoolLink pc(pc_, school::SchoolFolders(root.path().toStdString()));
        school::Client client(pc_);
        const std::string folder = SignIn(pc, "1006", "pcA").folder;
        Answered(folder, Drill("2026-12-05T09:00:00Z", "2026-12-05T09:10:00Z"),
                 {At("2026-12-05T09:08:00Z", bank_[0], true), At("2026-12-05T09:02:00Z", bank_[1], true)});
        school::DeliverNow(client, folder);
        const school::SignedInPupil again = SignIn(pc, "1006", "pcA");
        QVERIFY(again.readBack.rebuilt);
        QCOMPARE(Bangos(folder), (std::vector<std::string>{bank_[1], bank_[0]}));
    }

    // Every call of a PC connects when it has no connection (the worker drops one the server
    // lost), and what it delivers comes back as sent, field by field.
    void everyCallConnectsAndRowsComeBackAsSent()
    {
        school::ImportPupils(*owner_, {{"1004", "高橋 翼", "", "1234"}});
        school::Client c(pc_);
        // A PC whose environment asks for another client encoding still gets UTF-8.
        qputenv("PGCLIENTENCODING", "SJIS");
        const school::SignInResult in = c.SignIn("1004", "1234", "pcC", false);
        qunsetenv("PGCLIENTENCODING");
        QCOMPARE(in.status, school::SignInResult::Status::SignedIn);
        QCOMPARE(in.name, std::string("高橋 翼"));
        QVERIFY(in.bankVersion);
        const std::string token = in.token;

        c.Disconnect();
        QVERIFY(!c.FetchBank(token, *in.bankVersion).mondai.empty());
        // The server's refusals keep their kind: a token it does not know, a version it lacks.
        QVERIFY_THROWS_EXCEPTION(school::TokenRefused, c.FetchBank("nonsense", *in.bankVersion));
        try {
            c.FetchBank(token, *in.bankVersion + 100);
            QFAIL("a missing version was fetched");
        } catch (const school::Unreachable&) {
            QFAIL("a refusal was taken for the server away");
        } catch (const school::TokenRefused&) {
            QFAIL("a missing version was taken for a refused sign-in");
        } catch (const Exception& e) {
            QVERIFY2(QString::fromStdString(e.Message()).contains("問題集の版"), e.what());
        }
        record::SessionSummary mock;
        mock.kind = std::string(record::kMockPrefix) + "karimen";
        mock.startedAt = "2026-12-04T09:00:00Z";
        mock.endedAt = "2026-12-04T09:30:00Z";
        mock.seed = 4242;
        mock.score = 45;
        mock.maxScore = 50;
        mock.passMark = 45;
        c.Disconnect();
        c.DeliverSessions(token, {{"6f1d2c3b-4a59-4687-9e1f-0a1b2c3d4e5f", mock}});
        school::AnswerRow answer{"7a2e3d4c-5b6a-4798-8f20-1b2c3d4e5f60", "6f1d2c3b-4a59-4687-9e1f-0a1b2c3d4e5f",
                                 "2026-12-04T09:01:00Z", {}};
        answer.answer.source = record::kSourceBank;
        answer.answer.bango = bank_[2];
        answer.answer.bunrui = 7;
        answer.answer.answer = 1;
        answer.answer.correct = true;
        answer.answer.seconds = 2.5;
        c.Disconnect();
        QCOMPARE(c.DeliverAnswers(token, {answer}), 1);
        c.Disconnect();
        c.DeliverCounters(token, 1, {{bank_[2], 2, 1, 0, 3}});
        c.Disconnect();
        QCOMPARE(c.Counters(token), (std::vector<school::Counter>{{bank_[2], 2, 1, 0, 3}}));
        c.Disconnect();
        c.DeliverTestDate(token, {"karimen", "2027-03-01"});
        c.Disconnect();
        QCOMPARE(*c.PupilTestDate(token), (school::TestDate{"karimen", "2027-03-01"}));

        c.Disconnect();
        const std::vector<school::SessionRow> sessions = c.PupilSessions(token);
        QCOMPARE(sessions.size(), std::size_t(1));
        const record::SessionSummary& s = sessions[0].session;
        QCOMPARE(s.kind, mock.kind);
        QCOMPARE(s.startedAt, mock.startedAt);
        QCOMPARE(s.endedAt, mock.endedAt);
        QCOMPARE(s.seed, mock.seed);
        QCOMPARE(s.score, mock.score);
        QCOMPARE(s.maxScore, mock.maxScore);
        QCOMPARE(s.passMark, mock.passMark);
        c.Disconnect();
        const std::vector<school::AnswerRow> answers = c.PupilAnswers(token);
        QCOMPARE(answers.size(), std::size_t(1));
        QCOMPARE(answers[0].uuid, answer.uuid);
        QCOMPARE(answers[0].sessionUuid, answer.sessionUuid);
        QCOMPARE(answers[0].answeredAt, answer.answeredAt);
        QCOMPARE(answers[0].answer.source, answer.answer.source);
        QCOMPARE(answers[0].answer.bango, answer.answer.bango);
        QCOMPARE(answers[0].answer.bunrui, answer.answer.bunrui);
        QCOMPARE(answers[0].answer.answer, answer.answer.answer);
        QCOMPARE(answers[0].answer.correct, answer.answer.correct);
        QCOMPARE(answers[0].answer.seconds, answer.answer.seconds);

        // Refusals say which: a wrong PIN, a pupil signed in elsewhere, a number nobody has.
        c.Disconnect();
        QCOMPARE(c.SignIn("1004", "9999", "pcD", false).status, school::SignInResult::Status::WrongPin);
        const school::SignInResult elsewhere = c.SignIn("1004", "1234", "pcD", false);
        QCOMPARE(elsewhere.status, school::SignInResult::Status::SignedInElsewhere);
        QCOMPARE(elsewhere.otherPc, std::string("pcC"));
        QCOMPARE(c.SignIn("9999", "1234", "pcD", false).status, school::SignInResult::Status::UnknownPupil);
        c.Disconnect();
        QCOMPARE(c.SignInStatus(token), school::SignInState::Active);
        c.Disconnect();
        c.SignOut(token);
        QCOMPARE(c.SignInStatus(token), school::SignInState::SignedOut);
    }

    // A connection the server ended is said as the server away, once; the next call connects
    // again. One the PC lets go ends at the server then, not when the program exits.
    void aConnectionTheServerEndedIsMadeAgain()
    {
        const auto atServer = [&] {
            return owner_->Exec("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'pcE'").Int64(0, 0);
        };
        school::Client c(pc_ + " application_name=pcE");
        const std::string token = c.SignIn("1002", "1234", "pcE", true).token;
        QCOMPARE(c.SignInStatus(token), school::SignInState::Active);
        owner_->Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'pc_test'");
        QTRY_COMPARE_WITH_TIMEOUT(
            owner_->Exec("SELECT count(*) FROM pg_stat_activity WHERE usename = 'pc_test'").Int64(0, 0), 0LL, 10000);
        QVERIFY_THROWS_EXCEPTION(school::Unreachable, c.SignInStatus(token));
        QVERIFY(!c.IsConnected());
        QCOMPARE(c.SignInStatus(token), school::SignInState::Active);
        QVERIFY(c.IsConnected());
        QCOMPARE(atServer(), 1LL);
        c.Disconnect();
        QTRY_COMPARE_WITH_TIMEOUT(atServer(), 0LL, 10000);
    }

    // The server's notices ("already exists, skipping") are for no one at a PC: nothing of them
    // reaches the program's error output.
    void serverNoticesAreNotPrinted()
    {
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("stderr"));
        std::fflush(stderr);
        const int saved = ::dup(2);
        const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(file, 2);
        ::close(file);
        owner_->Exec("CREATE SCHEMA IF NOT EXISTS lentavo");
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        QFile f(QString::fromLocal8Bit(path));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestReadBack)
#include "tst_read_back.moc"
