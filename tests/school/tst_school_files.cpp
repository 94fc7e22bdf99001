// The school's files on the PC, which need no server: the configuration (Lentavo.school) and a
// working folder's outbox (school-outbox.json).

#include "Admin.h"
#include "Client.h"
#include "Config.h"
#include "Connection.h"
#include "Delivery.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Outbox.h"
#include "ReadBack.h"

#include <QDir>
#include <QSignalSpy>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <libpq-fe.h>

#include <atomic>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Write(const QString& path, const QByteArray& text, mode_t mode)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    f.close();
    ::chmod(QFile::encodeName(path).constData(), mode);
    return path.toStdString();
}

}  // namespace

class TestSchoolFiles : public QObject {
    Q_OBJECT
private slots:
    void findsTheFileBesideTheProgramOnly()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        QVERIFY(!school::FindConfig(folder, false));
        // A folder of that name is no configuration.
        QVERIFY(QDir(dir.path()).mkdir("Lentavo.school"));
        QVERIFY(!school::FindConfig(folder, false));
        QVERIFY(QDir(dir.path()).rmdir("Lentavo.school"));
        const std::string path = Write(dir.filePath("Lentavo.school"), "service=lentavo\n", 0644);
        QCOMPARE(*school::FindConfig(folder, false), path);
        QCOMPARE(*school::FindConfig(folder + "/", false), path);
        // The installed program looks in /etc only when nothing is beside it, and only at a file
        // that is there.
        QCOMPARE(*school::FindConfig(folder, true), path);
        if (QFile::exists(school::kInstalledConfig))
            QSKIP("this machine has an installed configuration");
        QVERIFY(!school::FindConfig(folder + "/none", true));
        QVERIFY(!school::FindConfig("", true));
    }

    // Comments, blank and indented lines and a file saved with CRLF line ends give one
    // connection string.
    void readsOneConnectionStringFromItsLines()
    {
        QTemporaryDir dir;
        const std::string path = Write(dir.filePath("Lentavo.school"),
                                       "# the school's server\r\n\r\n   \r\n  host=db.example\r\n"
                                       "\t# port=1\r\ndbname=lentavo\r\n",
                                       0644);
        QCOMPARE(school::ReadConfig(path), "host=db.example dbname=lentavo");
        Write(dir.filePath("Lentavo.school"), "# nothing but a comment\n\n", 0644);
        QVERIFY_THROWS_EXCEPTION(Exception, school::ReadConfig(path));
        Write(dir.filePath("Lentavo.school"), "host='db.example\n", 0600);
        QVERIFY_THROWS_EXCEPTION(Exception, school::ReadConfig(path));
    }

    // Only a password (a non-empty one) must be kept from the PC's other users.
    void aPasswordMayBeReadByItsOwnerOnly_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("password, owner only") << QByteArray("host=h password=secret") << 0600 << true;
        QTest::newRow("password, group reads") << QByteArray("host=h password=secret") << 0640 << false;
        QTest::newRow("password, others read") << QByteArray("host=h password=secret") << 0604 << false;
        QTest::newRow("password, group writes") << QByteArray("host=h password=secret") << 0620 << false;
        QTest::newRow("password, others write") << QByteArray("password=secret host=h") << 0602 << false;
        QTest::newRow("no password, all read") << QByteArray("host=h user=pc sslmode=verify-full") << 0644 << true;
        QTest::newRow("empty password, all read") << QByteArray("host=h password=''") << 0644 << true;
    }

    void aPasswordMayBeReadByItsOwnerOnly()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, mode);
        QFETCH(bool, accepted);
        QTemporaryDir dir;
        const std::string path = Write(dir.filePath("Lentavo.school"), text + "\n", mode_t(mode));
        if (accepted)
            QCOMPARE(school::ReadConfig(path), text.toStdString());
        else
            QVERIFY_THROWS_EXCEPTION(Exception, school::ReadConfig(path));
    }

    // Every mark comes back as saved, the file for its owner only; a pending read-back's marks
    // hold once its record was renamed into place, and are dropped while it is still there.
    void anOutboxComesBackAsSaved()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        QVERIFY(!school::LoadOutbox(folder));
        school::Outbox b = school::LoadOrMakeOutbox(folder);
        QVERIFY(!b.folderId.empty());
        QVERIFY(school::LoadOrMakeOutbox(folder).folderId != b.folderId);   // new until saved
        b.token = "t1";
        b.countersToken = "t0";
        b.countersSeq = 4;
        b.countersSent = "0001\t1";
        b.testDateSent = "honmen|2027-01-05";
        b.answersDone = 12;
        b.sessionsDone = 3;
        b.sessionsSent = {{4, "a"}, {6, "b"}};
        b.readSessions = 2;
        b.readAnswers = 9;
        school::RecordMarks incoming;
        incoming.folderId = school::LoadOrMakeOutbox(folder).folderId;
        incoming.answersDone = 40;
        incoming.sessionsSent = {{7, "c"}};
        b.incoming = incoming;
        school::SaveOutbox(folder + "/", b);
        struct stat st {};
        QCOMPARE(::stat((folder + "/" + school::kOutboxFile).c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));

        Write(dir.filePath(school::kIncomingRecord), "", 0600);
        school::Outbox pending = *school::LoadOutbox(folder);
        QCOMPARE(pending.folderId, b.folderId);
        QCOMPARE(pending.answersDone, std::int64_t(12));
        QCOMPARE(pending.sessionsDone, std::int64_t(3));
        QCOMPARE(pending.sessionsSent, b.sessionsSent);
        QCOMPARE(pending.readSessions, std::int64_t(2));
        QCOMPARE(pending.readAnswers, std::int64_t(9));
        QCOMPARE(pending.token, "t1");
        QCOMPARE(pending.countersToken, "t0");
        QCOMPARE(pending.countersSeq, std::int64_t(4));
        QCOMPARE(pending.countersSent, "0001\t1");
        QCOMPARE(pending.testDateSent, "honmen|2027-01-05");

        QVERIFY(QFile::remove(dir.filePath(school::kIncomingRecord)));
        const school::Outbox settled = *school::LoadOutbox(folder);
        QCOMPARE(settled.folderId, incoming.folderId);
        QCOMPARE(settled.answersDone, std::int64_t(40));
        QCOMPARE(settled.sessionsSent, incoming.sessionsSent);
        QCOMPARE(settled.token, "t1");

        Write(dir.filePath(school::kOutboxFile), "{\"folder_id\": \"not an id\"}", 0600);
        QVERIFY_THROWS_EXCEPTION(Exception, school::LoadOutbox(folder));
    }

    // One delivery at a time per folder: a second lock waits until the first is let go; taken
    // even as descriptor 0, by a program started with its standard input closed.
    void aFolderLockWaitsForTheOther()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        std::atomic<bool> taken{false};
        std::thread second;
        {
            school::FolderLock first(folder);
            second = std::thread([&] {
                school::FolderLock again(folder);
                taken = true;
            });
            QTest::qWait(300);
            QVERIFY(!taken);
        }
        second.join();
        QVERIFY(taken);

        const int saved = ::dup(0);
        ::close(0);
        bool locked = true;
        try {
            school::FolderLock zero(folder);
        } catch (const Exception&) {
            locked = false;
        }
        ::dup2(saved, 0);
        ::close(saved);
        QVERIFY(locked);
    }

    void aFolderEndsInOneSlash()
    {
        QCOMPARE(school::Dir("pupils/1001"), "pupils/1001/");
        QCOMPARE(school::Dir("pupils/1001/"), "pupils/1001/");
        QCOMPARE(school::Dir(""), "");   // the current folder, as a bare file name
    }

    // A test date is delivered when it differs from the one last delivered; a record that never
    // had one needs no delivery.
    void aTestDateIsSentWhenItChanged()
    {
        record::PupilProfile none, dated, undated;
        dated.test = "honmen";
        dated.testDate = "2027-01-05";
        undated.test = "honmen";
        QCOMPARE(school::TestDatePrint(none), "|");
        QCOMPARE(school::TestDatePrint(undated), "|");
        QCOMPARE(school::TestDatePrint(dated), "honmen|2027-01-05");
        school::Outbox b;
        QVERIFY(!school::TestDateToSend("|", b));
        QVERIFY(school::TestDateToSend("honmen|2027-01-05", b));
        b.testDateSent = "honmen|2027-01-05";
        QVERIFY(!school::TestDateToSend("honmen|2027-01-05", b));
        QVERIFY(school::TestDateToSend("|", b));   // the date was taken away
        b.testDateSent = "|";
        QVERIFY(!school::TestDateToSend("|", b));
    }

    // After a read-back, every final session is behind the mark and only the open last one is
    // kept by its print: it is sent again once it ends, and nothing else is.
    void aReadBackRecordCountsAsDelivered()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        record::LearningRecord rec;
        rec.Open(folder + record::kFileName);
        record::Answer a;
        a.bango = "0001";
        const std::int64_t ended = rec.BeginSession({record::kDrill, 1, std::nullopt});
        rec.AddAnswer(ended, a);
        rec.EndSession(ended);
        const std::int64_t left = rec.BeginSession({record::kDrill, 1, std::nullopt});   // never ended, but a later one began
        rec.AddAnswer(left, a);
        const std::int64_t open = rec.BeginSession({record::kDrill, 1, std::nullopt});
        rec.AddAnswer(open, a);

        school::Outbox b = school::LoadOrMakeOutbox(folder);
        b.sessionsSent = {{99, "stale"}};
        school::MarkDelivered(rec, b);
        QCOMPARE(b.sessionsDone, left);
        QCOMPARE(b.sessionsSent.size(), std::size_t(1));
        QCOMPARE(b.sessionsSent.count(open), std::size_t(1));
        QCOMPARE(b.answersDone, std::int64_t(3));
        QCOMPARE(school::PendingRecordRows(folder, b), 0);
        rec.AddAnswer(open, a);
        rec.EndSession(open);
        QCOMPARE(school::PendingRecordRows(folder, b), 2);   // the answer, and the session's end
    }

    // A folder never bound has nothing to deliver: the round ends at once, without the server.
    void anUnboundFolderDeliversNothing()
    {
        QTemporaryDir dir;
        school::Client nowhere("host=" + dir.path().toStdString() + "/none connect_timeout=1");
        std::atomic<bool> done{false};
        std::thread t([&] {
            school::DeliverNow(nowhere, dir.path().toStdString());
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
        if (!done)
            t.detach();   // endless: the test has failed; let the program end
        else
            t.join();
    }

    // A worker does nothing until given a folder; a folder whose round fails (the server away,
    // or its outbox damaged) is tried again after 1 s, then 2 s: neither given up nor hammered.
    void aFailingRoundIsRetriedWithAGrowingPause()
    {
        QTemporaryDir away, damaged;
        school::BindFolder(away.path().toStdString(), "token");
        {
            record::LearningRecord rec;
            rec.Open(away.path().toStdString() + "/" + record::kFileName);
            record::Answer a;
            a.bango = "0001";
            rec.AddAnswer(rec.BeginSession({record::kDrill, 1, std::nullopt}), a);
        }
        Write(damaged.filePath(school::kOutboxFile), "{", 0600);
        school::Delivery unreachable("host=" + away.path().toStdString() + "/none connect_timeout=1");
        school::Delivery damagedOne("host=" + away.path().toStdString() + "/none connect_timeout=1");
        QSignalSpy rounds(&unreachable, &school::Delivery::pendingChanged);
        QSignalSpy failedAway(&unreachable, &school::Delivery::deliveryFailed);
        QSignalSpy failedDamaged(&damagedOne, &school::Delivery::deliveryFailed);
        QTest::qWait(200);
        QCOMPARE(rounds.count(), 0);
        unreachable.AddFolder(away.path().toStdString());
        damagedOne.AddFolder(damaged.path().toStdString());
        QTest::qWait(3500);   // rounds at 0, 1 and 3 s
        for (const QSignalSpy* failed : {&failedAway, &failedDamaged})
            QVERIFY2(failed->count() >= 2 && failed->count() <= 4, qPrintable(QString::number(failed->count())));
        QCOMPARE(unreachable.Pending(), 2);   // the session and its answer
        QCOMPARE(rounds.count(), 1);   // told once: the count did not change after the first round
        QCOMPARE(rounds.at(0).at(0).toInt(), 2);
    }
    // The uuid list a read-back leaves is read whole: a session's origin comes from it up to the
    // marks, and a list that does not hold what the marks say is refused, not half believed.
    void aFoldersUuidListIsReadWhole()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        school::Outbox b = school::LoadOrMakeOutbox(folder);
        b.readSessions = 2;
        b.readAnswers = 1;
        school::SaveOutbox(folder, b);
        const QString list = dir.filePath(QString::fromStdString("school-uuids-" + b.folderId + ".tsv"));
        const QByteArray head = "lentavo-uuids 1\n2\n0b7c1f4e-4f1d-4a53-9a44-5a0f6f4a2c11 0\n"
                                "1d5e2a60-8c3b-4e0f-a1b2-c3d4e5f60718 1\n1\n";
        Write(list, head + "2f6e3b71-9d4c-4f10-b2c3-d4e5f6071829\n", 0600);
        QVERIFY(!school::IsOwnSession(folder, 1));   // read back from another PC
        QVERIFY(school::IsOwnSession(folder, 2));
        QVERIFY(school::IsOwnSession(folder, 3));    // begun here after the read-back
        // Read once for all the names a round asks for: not again per row.
        school::RowNames names(folder, b);
        QCOMPARE(names.Answer(1), std::string("2f6e3b71-9d4c-4f10-b2c3-d4e5f6071829"));
        Write(list, "", 0600);
        QCOMPARE(names.Session(2), std::string("1d5e2a60-8c3b-4e0f-a1b2-c3d4e5f60718"));
        for (const QByteArray& damaged : {QByteArray(head + "2f6e3b71-9d4c\n"), head, QByteArray(head + "x 1\n"),
                                          QByteArray("lentavo-uuids 1\n1\n0b7c1f4e-4f1d-4a53-9a44-5a0f6f4a2c11 0\n")}) {
            Write(list, damaged, 0600);
            QVERIFY_THROWS_EXCEPTION(Exception, school::IsOwnSession(folder, 1));
        }
        // A folder never bound to a sign-in begins every session itself.
        QTemporaryDir unbound;
        QVERIFY(school::IsOwnSession(unbound.path().toStdString(), 1));
    }

    // A record the read-back cannot read is left as it was, and the report says so: nothing was
    // rebuilt. The server is never asked.
    void aRecordThatCannotBeReadIsLeftAsItWas()
    {
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        school::SaveOutbox(folder, school::LoadOrMakeOutbox(folder));
        const QByteArray garbage(4096, 'x');
        Write(dir.filePath(record::kFileName), garbage, 0600);
        school::Client nowhere("host=" + folder + "none connect_timeout=1");
        const school::ReadBackReport report = school::ReadBack(nowhere, folder, "token");
        QVERIFY(!report.skipped.empty());
        QVERIFY(!report.rebuilt);
        QFile f(dir.filePath(record::kFileName));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), garbage);
    }

    // A roster as a spreadsheet saves it: a byte-order mark, headings in any order with spaces
    // around them, blank lines, a row cut short. A row without a number is refused, not skipped,
    // and so is a header without 氏名.
    void aRosterIsReadByItsHeadings()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("roster.csv");
        Write(path, "\xEF\xBB\xBF" "氏名 ,PIN, 教習生番号 ,ふりがな\n"
                    "山田 花子 ,1234, 1001,やまだ\n\n"
                    "佐藤 健,,1002\n",
              0600);
        const std::vector<school::Pupil> pupils = school::ReadRoster(path.toStdString());
        QCOMPARE(pupils.size(), std::size_t(2));
        QCOMPARE(pupils[0].number, "1001");
        QCOMPARE(pupils[0].name, "山田 花子");
        QCOMPARE(pupils[0].pin, "1234");
        QCOMPARE(pupils[0].furigana, "やまだ");
        QCOMPARE(pupils[1].number, "1002");
        QCOMPARE(pupils[1].furigana, "");
        QVERIFY(pupils[1].pin.empty());
        for (const QByteArray& refused : {QByteArray("教習生番号,氏名\n1001,山田\n,佐藤\n"),
                                          QByteArray("教習生番号,氏名\n1001,山田\n1001,佐藤\n")}) {
            Write(path, refused, 0600);
            QVERIFY_THROWS_EXCEPTION(Exception, school::ReadRoster(path.toStdString()));
        }
        // A header without 氏名 is said as such, even with no row to stumble on.
        Write(path, "教習生番号,ふりがな\n", 0600);
        try {
            school::ReadRoster(path.toStdString());
            QFAIL("a roster without names was taken");
        } catch (const Exception& e) {
            QVERIFY2(e.Message().find("氏名 の列") != std::string::npos, e.what());
        }
    }

    // A server that cannot be reached is said in the connection library's own words, without the
    // line break it ends them with.
    void anUnreachableServerIsSaidInTheLibrarysWords()
    {
        QTemporaryDir dir;
        const std::string conninfo = "host=" + dir.path().toStdString() + " connect_timeout=1";
        PGconn* raw = PQconnectdb(conninfo.c_str());
        std::string words = PQerrorMessage(raw);
        PQfinish(raw);
        while (!words.empty() && (words.back() == '\n' || words.back() == ' '))
            words.pop_back();
        QVERIFY(words.size() > 10);
        try {
            school::Connection c(conninfo);
            QFAIL("connected to nothing");
        } catch (const school::Unreachable& e) {
            const std::string what = e.what();
            QVERIFY2(what.size() > words.size() && what.compare(what.size() - words.size(), words.size(), words) == 0,
                     e.what());
        }
    }
};

QTEST_GUILESS_MAIN(TestSchoolFiles)
#include "tst_school_files.moc"
