// The drill's session on data files the tests write, without a window: what each step does to
// the tables and what the drill stores.
#include "Directory.h"
#include "DrillData.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "Recovery.h"
#include "Session.h"

#include <QDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace drilltest;

namespace {
// The three tables of a data directory and a session on them, as the window holds them.
struct Drill {
    Table bank;
    Table history;
    Table advice;
    drill::Session session{bank, history, advice};
};

// How a drill on DIR ends when it is run by an ordinary user: root writes any file whatever its
// mode, so when the tests run as root the drill runs in a child process as "nobody". ANSWERS
// questions are answered before the end. Gives "" when the end went through, else the message.
std::string EndAsPupil(const std::string& dir, int answers)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "(no pipe)";
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        std::string said;
        const passwd* pupil = geteuid() == 0 ? getpwnam("nobody") : nullptr;
        if (geteuid() == 0 && (!pupil || setgid(pupil->pw_gid) != 0 || setuid(pupil->pw_uid) != 0)) {
            said = "(cannot act as an ordinary user)";
        } else {
            try {
                Drill d;
                const data::Directory data(dir);
                data.OpenBank(d.bank);
                data.OpenHistory(d.history);
                data.OpenAdvice(d.advice);
                if (!d.session.Start())
                    throw std::runtime_error("(no question)");
                for (int i = 0; i < answers; ++i) {
                    d.session.Judge(1);
                    if (i + 1 < answers && !d.session.Next())
                        throw std::runtime_error("(no next question)");
                }
                d.session.End();
            } catch (const std::exception& e) {
                said = e.what();
                if (said.empty())
                    said = "(an empty message)";
            }
        }
        [[maybe_unused]] auto w = write(pipeFds[1], said.data(), said.size());
        _exit(0);
    }
    close(pipeFds[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, std::size_t(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "(the drill crashed)";
    return said;
}

bool SetMode(const std::string& path, mode_t mode) { return ::chmod(path.c_str(), mode) == 0; }
}  // namespace

class TestSession : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp_;
    std::unique_ptr<Drill> d_;
    std::string dir_;

    std::string Path(const char* file) const { return dir_ + file; }

    drill::Session& Open(int level, bool resetSettled = false)
    {
        d_ = std::make_unique<Drill>();
        const data::Directory data(dir_);
        data.OpenBank(d_->bank);
        data.OpenHistory(d_->history);
        data.OpenAdvice(d_->advice);
        d_->session.DrillLevel = level;
        d_->session.ResetSettledCounts = resetSettled;
        return d_->session;
    }
    drill::Session& Start(int level, bool resetSettled = false)
    {
        drill::Session& s = Open(level, resetSettled);
        if (!s.Start())
            qFatal("no question");
        return s;
    }
    std::string Current() { return d_->bank.FieldByName("Bango").AsString(); }

private slots:
    void init()
    {
        tmp_ = std::make_unique<QTemporaryDir>();
        dir_ = tmp_->filePath("data/").toStdString();
        QDir().mkpath(QString::fromStdString(dir_));
    }
    void cleanup()
    {
        d_.reset();
        tmp_.reset();
    }

    void startShowsTheFirstQuestionAtOrBelowTheLevel()
    {
        WriteData(dir_, {{"0001", 20}, {"0002", 15, 0, 0, 0, 1, 0}, {"0003", 10, 0, 9, 7, 1}, {"0004", 10}, {"0005", 105}}, 3);
        drill::Session& s = Start(15);
        // 15 down to 11 find nothing (0002 is outside the stage): the first stored at 10.
        QCOMPARE(d_->bank.Filter(), std::string("Bango = 0003"));
        QCOMPARE(d_->bank.RecordCount(), 1);
        QCOMPARE(s.LKaisu, 0);
        QCOMPARE(s.Total, 1);
        QVERIFY(!s.Answered());
        QCOMPARE(d_->history.RecordCount(), 0);
        QVERIFY(!d_->advice.Filtered());
        QCOMPARE(d_->advice.Filter(), std::string("Nani = -1"));
        QCOMPARE(s.DrillLevel, 15);

        // Every question at 5 settled once: the second pass finds the first of them.
        WriteData(dir_, {{"0001", 5, 1}, {"0002", 5, 1}, {"0003", 9, 0}});
        QCOMPARE(Start(5).LKaisu, 1);
        QCOMPARE(Current(), std::string("0001"));
        // With the settled counts reset at the start, the first pass finds them, and the reset
        // is stored.
        drill::Session& reset = Start(5, true);
        QCOMPARE(reset.LKaisu, 0);
        reset.End();
        for (const Row& r : ReadAll(Path(layouts::kBankFile)))
            QCOMPARE(Bank(r, "NKaisu"), 0);
    }

    void startWithoutAQuestionChangesNothing()
    {
        // Nothing at or below the level (one question above it, one outside the stage), and an
        // empty bank; the settled counts would be reset.
        for (const auto& qs : {std::vector<Q>{{"0001", 1, 3}, {"0002", 0, 2, 0, 0, 1, 0}}, std::vector<Q>{}}) {
            WriteData(dir_, qs, 2);
            const QByteArray bank = FileBytes(Path(layouts::kBankFile));
            const QByteArray history = FileBytes(Path(layouts::kHistoryFile));
            drill::Session& s = Open(0, true);
            QVERIFY(!s.Start());
            QCOMPARE(d_->history.RecordCount(), 2);
            s.End();
            QCOMPARE(FileBytes(Path(layouts::kHistoryFile)), history);
            QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);
        }
    }

    // Whatever record the advice table was left on, a started drill shows the table's first
    // record (its general advice) until the first answer narrows it to a level.
    void startShowsTheAdviceTablesFirstRecord()
    {
        WriteData(dir_, Fresh(3));
        drill::Session& s = Open(0);
        d_->advice.Next();
        d_->advice.Next();
        QCOMPARE(d_->advice.FieldByName("Nani").AsInteger(), 1);
        QVERIFY(s.Start());
        QVERIFY(!d_->advice.Filtered());
        QCOMPARE(d_->advice.FieldByName("Nani").AsInteger(), 50);
        QCOMPARE(d_->advice.FieldByName("Seikai").AsText(), QStringLiteral("先頭の助言"));
    }

    void judging_data()
    {
        QTest::addColumn<QList<int>>("before");   // Kaisu, Seikaisu, NKaisu, Nani, Seikai
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("after");    // Kaisu, Seikaisu, NKaisu, Nani, Seihi, level
        QTest::addColumn<int>("shown");           // the right answer as stated
        QTest::newRow("new, right") << QList<int>{0, 0, 0, 0, 1} << 5 << 1 << QList<int>{1, 1, 1, 0, 1, 5} << 1;
        QTest::newRow("new, wrong") << QList<int>{0, 0, 0, 0, 1} << 5 << 0 << QList<int>{1, 0, 1, 100, 0, 4} << 1;
        QTest::newRow("wrong at 100") << QList<int>{0, 0, 0, 100, 0} << 100 << 1 << QList<int>{1, 0, 0, 105, 0, 99} << 0;
        QTest::newRow("60 to 55") << QList<int>{3, 2, 1, 60, 1} << 60 << 0 << QList<int>{4, 2, 1, 55, 0, 59} << 1;
        QTest::newRow("3 of 5") << QList<int>{4, 2, 1, 50, 0} << 50 << 0 << QList<int>{5, 3, 2, 39, 1, 50} << 0;
        QTest::newRow("Seikai 2, 正") << QList<int>{0, 0, 0, 0, 2} << 0 << 1 << QList<int>{1, 0, 1, 100, 0, -1} << 0;
        QTest::newRow("Seikai 2, 誤") << QList<int>{0, 0, 0, 0, 2} << 0 << 0 << QList<int>{1, 0, 1, 100, 0, -1} << 1;
    }
    void judging()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, level);
        QFETCH(int, answer);
        QFETCH(QList<int>, after);
        WriteData(dir_, {{"0042", before[3], before[2], before[0], before[1], before[4]}});
        drill::Session& s = Start(level);
        QCOMPARE(s.RightAnswer(), before[4]);
        const drill::Verdict v = s.Judge(answer);

        QCOMPARE(v.right, after[4] == 1);
        QTEST(v.shownAnswer, "shown");
        QCOMPARE(QString(v.adviceField), after[4] ? QStringLiteral("Seikai") : QStringLiteral("Fuseikai"));
        QCOMPARE(QString(s.AdviceField()), QString(v.adviceField));
        QVERIFY(s.Answered());
        QCOMPARE(s.DrillLevel, after[5]);
        QCOMPARE(s.Stats().right, after[4]);
        QCOMPARE(s.Stats().answers, 1);
        QVERIFY(!d_->bank.Editing());

        s.End();
        QVERIFY(!d_->bank.Active() && !d_->history.Active() && !d_->advice.Active());
        const Row q = ReadAll(Path(layouts::kBankFile)).at(0);
        QCOMPARE((QList<int>{Bank(q, "Kaisu"), Bank(q, "Seikaisu"), Bank(q, "NKaisu"), Bank(q, "Nani")}), after.mid(0, 4));
        const auto history = ReadAll(Path(layouts::kHistoryFile));
        QCOMPARE(history.size(), std::size_t(1));
        QVERIFY(history[0] == (Row{Value("0042"), Value(after[4]), Value(Euc("問題文0042"))}));
    }

    void statisticsAndAdvice()
    {
        WriteData(dir_, Fresh(30));
        drill::Session& s = Start(0);
        // Wrong, wrong, right (1 of 3), wrong up to the tenth, which is right.
        const bool pattern[] = {false, false, true, false, false, false, false, false, false, true};
        for (int i = 0; i < 10; ++i) {
            s.Judge(pattern[i] ? s.RightAnswer() : 1 - s.RightAnswer());
            QVERIFY(!d_->advice.Filtered());   // the advice table's first record until the 11th
            if (i == 8)
                QCOMPARE(s.DrillLevel, -1);    // not clamped before the 11th question
            if (i == 2) {
                const drill::Statistics st = s.Stats();
                QCOMPARE(st.right, 1);
                QCOMPARE(st.answers, 3);
                QCOMPARE(st.percentText, std::string("33.3333333333333"));
                QCOMPARE(st.percent, 33);
            }
            if (i < 9)
                QVERIFY(s.Next());
        }
        QVERIFY(s.Next());
        QCOMPARE(s.Total, 11);
        QCOMPARE(s.DrillLevel, 0);
        s.Judge(1 - s.RightAnswer());
        QCOMPARE(s.DrillLevel, 0);    // put back to 0 at once
        QVERIFY(d_->advice.Filtered());
        QCOMPARE(d_->advice.Filter(), std::string("Nani = 0"));
        QCOMPARE(d_->advice.FieldByName("Fuseikai").AsText(), QStringLiteral("注意0"));
        QVERIFY(s.Next());
        s.DrillLevel = 7;
        s.Judge(s.RightAnswer());
        QCOMPARE(d_->advice.Filter(), std::string("Nani = 7"));   // a right answer narrows too
        QCOMPARE(s.Stats().percentText, std::string("25"));   // 3 of 12
        QCOMPARE(s.Stats().percent, 25);
    }

    void levelMoves()
    {
        WriteData(dir_, Fresh(40));
        drill::Session& s = Start(5);
        s.Judge(s.RightAnswer());
        QVERIFY(s.Next());   // one right: +1, not +2
        QCOMPARE(s.DrillLevel, 6);
        QCOMPARE(s.Total, 2);
        QVERIFY(!s.Answered());
        s.End();

        // Five wrong, then twenty right: the last twenty only count once there are 25.
        drill::Session& t = Start(60);
        for (int i = 1; i <= 25; ++i) {
            t.Judge(i > 5 ? t.RightAnswer() : 1 - t.RightAnswer());
            const int level = t.DrillLevel;
            QVERIFY(t.Next());
            const int change = t.DrillLevel - level;
            if (i == 1)
                QCOMPARE(t.DrillLevel, 57);  // -1 from the answer, then -2
            if (i == 20)
                QCOMPARE(change, -3);         // 15 of 20
            if (i == 24)
                QCOMPARE(change, 1);          // 19 of 20
            if (i == 25)
                QCOMPARE(change, 2);          // 20 of 20, the five wrong ones out of the window
        }
    }

    void nextWithoutAQuestion()
    {
        // The only question went up to 100 by a wrong answer.
        WriteData(dir_, {{"0001", 0}});
        drill::Session& s = Start(0);
        s.Judge(0);
        QVERIFY(!s.Next());
        s.End();
        QCOMPARE(Bank(ReadAll(Path(layouts::kBankFile)).at(0), "Nani"), 100);
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
    }

    // The bank and the history are written as one unit, and a failed end leaves the drill as it
    // was: every table open, the bank on the question shown, ready to end again.
    void endWritesBothFilesOrNeither()
    {
        WriteData(dir_, Fresh(3), 2);
        drill::Session& s = Start(0);
        s.Judge(1);
        const QByteArray bank = FileBytes(Path(layouts::kBankFile));
        const QString history = QString::fromStdString(Path(layouts::kHistoryFile));
        QVERIFY(QFile::rename(history, history + ".away"));
        QVERIFY_THROWS_EXCEPTION(Exception, s.End());
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);   // checked before writing
        QVERIFY(d_->bank.Active() && d_->history.Active() && d_->advice.Active());
        QVERIFY(d_->bank.Filtered());
        QCOMPARE(Current(), std::string("0001"));
        QVERIFY(s.Next());   // still usable
        QVERIFY(QFile::rename(history + ".away", history));
        s.End();
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
        QCOMPARE(Bank(ReadAll(Path(layouts::kBankFile)).at(0), "Kaisu"), 1);

        // The bank gone: refused naming it, the history untouched.
        WriteData(dir_, Fresh(3), 2);
        drill::Session& t = Start(0);
        t.Judge(1);
        const QString bankFile = QString::fromStdString(Path(layouts::kBankFile));
        QVERIFY(QFile::rename(bankFile, bankFile + ".away"));
        const QByteArray before = FileBytes(Path(layouts::kHistoryFile));
        try {
            t.End();
            QFAIL("the end went through without the bank");
        } catch (const Exception& e) {
            QVERIFY2(std::string(e.what()).find("mondai.cds") != std::string::npos, e.what());
        }
        QCOMPARE(FileBytes(Path(layouts::kHistoryFile)), before);
        QVERIFY(d_->bank.Active() && d_->history.Active());
    }

    // Before anything is written, the end checks each table it will write, and only those: a
    // table that is not changed may be read-only (a school may make the bank so) and the drill
    // still stores the rest; a changed one that cannot be written is refused with a message
    // naming its file, and neither file is written.
    void endChecksOnlyTheTablesItWrites()
    {
        // The temporary folders are made for root alone; the pupil must reach and write them.
        QVERIFY(SetMode(tmp_->path().toStdString(), 0755));
        const std::string bank = Path(layouts::kBankFile), history = Path(layouts::kHistoryFile),
                          advice = Path(layouts::kAdviceFile);
        const auto fresh = [&](mode_t bankMode, mode_t folderMode) {
            WriteData(dir_, Fresh(3), 2);
            QVERIFY(SetMode(bank, bankMode) && SetMode(history, 0666) && SetMode(advice, 0444));
            QVERIFY(SetMode(dir_, folderMode));
        };
        const auto refusedNaming = [](const std::string& said, const char* file) {
            return said.find(std::string("「") + file + "」に書き込めない") != std::string::npos;
        };

        // Read-only and unchanged (ended before the first answer): the emptied history is stored.
        fresh(0444, 0777);
        const QByteArray before = FileBytes(bank);
        std::string said = EndAsPupil(dir_, 0);
        QVERIFY2(said.empty(), said.c_str());
        QCOMPARE(ReadAll(history).size(), std::size_t(0));
        QCOMPARE(FileBytes(bank), before);

        // Read-only and changed by an answer: refused, before the history is written.
        const auto nothingStored = [&] {
            for (const Row& r : ReadAll(bank))
                if (Bank(r, "Kaisu") != 0)
                    return false;
            return ReadAll(history).size() == 2;   // the earlier drill's answers
        };
        fresh(0444, 0777);
        said = EndAsPupil(dir_, 2);
        QVERIFY2(refusedNaming(said, layouts::kBankFile), said.c_str());
        QVERIFY(nothingStored());

        // Writable files in a folder that takes no new file (the write-back's journal).
        fresh(0666, 0555);
        said = EndAsPupil(dir_, 2);
        QVERIFY(SetMode(dir_, 0777));
        QVERIFY2(refusedNaming(said, layouts::kBankFile), said.c_str());
        QVERIFY(nothingStored());

        // Everything writable: stored, so the refusals above came from the modes alone.
        fresh(0666, 0777);
        said = EndAsPupil(dir_, 2);
        QVERIFY2(said.empty(), said.c_str());
        QCOMPARE(ReadAll(history).size(), std::size_t(2));
        QCOMPARE(Bank(ReadAll(bank).at(0), "Kaisu"), 1);
    }

    // A folder where the history file was: refused naming the history, the bank not written.
    void endRefusesAHistoryThatIsNoFile()
    {
        WriteData(dir_, Fresh(3), 2);
        drill::Session& s = Start(0);
        s.Judge(1);
        const QByteArray bank = FileBytes(Path(layouts::kBankFile));
        const QString history = QString::fromStdString(Path(layouts::kHistoryFile));
        QVERIFY(QFile::rename(history, history + ".away"));
        QVERIFY(QDir().mkdir(history));
        try {
            s.End();
            QFAIL("the end went through with a folder for the history");
        } catch (const Exception& e) {
            QVERIFY2(std::string(e.what()).find(std::string("「") + layouts::kHistoryFile + "」") != std::string::npos,
                     e.what());
        }
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);
        QVERIFY(QDir().rmdir(history) && QFile::rename(history + ".away", history));
        s.End();
        QCOMPARE(ReadAll(Path(layouts::kHistoryFile)).size(), std::size_t(1));
    }

    void failedWriteBackKeepsTheQuestionOnScreen()
    {
        // The history changed by another program: neither file is written, and the bank stays
        // on the question.
        WriteData(dir_, Fresh(3), 2);
        drill::Session& s = Start(0);
        s.Judge(1);
        QVERIFY(s.Next());
        QCOMPARE(Current(), std::string("0002"));
        {
            Table other;
            other.SetFileName(Path(layouts::kHistoryFile));
            other.Open();
            other.AppendRecord(Row{Value("8888"), Value(0), Value("x")});
            other.Close();
        }
        QVERIFY_THROWS_EXCEPTION(Exception, s.End());
        QVERIFY(d_->bank.Active() && d_->history.Active() && d_->advice.Active());
        QVERIFY(d_->bank.Filtered());
        QCOMPARE(d_->bank.RecordCount(), 1);
        QCOMPARE(Current(), std::string("0002"));
        QCOMPARE(Bank(ReadAll(Path(layouts::kBankFile)).at(0), "Kaisu"), 0);
        QCOMPARE(d_->history.RecordCount(), 1);
        s.Judge(1);   // the drill goes on
        QCOMPARE(d_->bank.FieldByName("Kaisu").AsInteger(), 1);
        d_.reset();

        // The bank changed by another program: refused before the history; the bank stays on
        // the question shown, not on its first record.
        WriteData(dir_, Fresh(3), 2);
        drill::Session& t = Start(0);
        t.Judge(1);
        QVERIFY(t.Next());
        {
            Table other;
            other.SetFileName(Path(layouts::kBankFile));
            other.Open();
            other.AppendRecord(ByName(other.Fields(), {{"Bango", "0100"}}));
            other.Close();
        }
        const QByteArray history = FileBytes(Path(layouts::kHistoryFile));
        QVERIFY_THROWS_EXCEPTION(Exception, t.End());
        QCOMPARE(FileBytes(Path(layouts::kHistoryFile)), history);
        QVERIFY(d_->bank.Active() && d_->history.Active());
        QVERIFY(d_->bank.Filtered());
        QCOMPARE(Current(), std::string("0002"));
    }

    // Every answer also goes to the learning record, beside the history, with the question's
    // Bunrui when the bank has one; the session ends with the drill.
    void recordsEveryAnswer()
    {
        WriteData(dir_, {});
        WriteBank(Path(layouts::kBankFile), {{"0001", 0, 0, 0, 0, 1, 1, 103}, {"0002", 0, 0, 0, 0, 0, 1, 0}}, true);
        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        drill::Session& s = Open(5);
        s.UseRecord(&rec);
        QVERIFY(s.Start());
        s.Judge(1);        // 0001, right
        QVERIFY(s.Next());
        s.Judge(1);        // 0002, wrong (Seikai 0)
        auto sessions = rec.Sessions();
        QCOMPARE(sessions.size(), std::size_t(1));
        QCOMPARE(sessions[0].kind, std::string("drill"));
        QCOMPARE(sessions[0].level.value_or(-1), 5);
        QVERIFY(!sessions[0].endedAt);   // the drill is still on
        QCOMPARE(sessions[0].answers, 2);
        QCOMPARE(sessions[0].correct, 1);
        s.End();
        QVERIFY(rec.Sessions().at(0).endedAt);
        QCOMPARE(s.TakeRecordFailure(), std::string());

        std::map<std::string, record::LatestResult> latest;
        for (const auto& r : rec.LatestResults())
            latest[r.bango] = r;
        QCOMPARE(latest.size(), std::size_t(2));
        QVERIFY(latest["0001"].correct && !latest["0002"].correct);
        QCOMPARE(latest["0001"].bunrui.value_or(-1), 103);
        QCOMPARE(latest["0001"].source, std::string("bank"));
        QCOMPARE(latest["0001"].item, 0);
        const auto rates = rec.RateByCategory(10);
        QVERIFY(!rates.empty());
        QCOMPARE(rates[0].bunrui, 0);   // 0002's code is stored as it stands

        // A bank without the field: no Bunrui.
        WriteData(dir_, Fresh(2));
        drill::Session& t = Open(0);
        t.UseRecord(&rec);
        QVERIFY(t.Start());
        t.Judge(1);
        t.End();
        QCOMPARE(rec.Sessions().size(), std::size_t(2));
        for (const auto& r : rec.LatestResults())
            if (r.bango == "0001")
                QVERIFY(!r.bunrui);

        // Bunrui as the bank's first field, ahead of the layout's own: still recorded.
        std::vector<FieldDef> bunruiFirst{{"Bunrui", FieldType::Integer, 0}};
        bunruiFirst.insert(bunruiFirst.end(), layouts::Bank().begin(), layouts::Bank().end());
        Row row{Value(107)};
        for (Value& v : ByName(layouts::Bank(), {{"NKaisu", 0}, {"Nani", 0}, {"Kaisu", 0}, {"Bango", "0001"},
                                                 {"Seikaisu", 0}, {"KariHon", 1}, {"Kaisetsu", Euc("解説")},
                                                 {"Seikai", 1}, {"Zu", Png()}, {"Mondai", Euc("問題文")}}))
            row.push_back(std::move(v));
        Table::CreateFile(Path(layouts::kBankFile), bunruiFirst, {row});
        drill::Session& u = Open(0);
        u.UseRecord(&rec);
        QVERIFY(u.Start());
        u.Judge(1);
        u.End();
        for (const auto& r : rec.LatestResults())
            if (r.bango == "0001")
                QCOMPARE(r.bunrui.value_or(-1), 107);
    }

    // A record that fails mid-drill is let go: its failure is told once, the drill and its
    // files go on exactly as without a record.
    void aFailingRecordNeverStopsTheDrill()
    {
        WriteData(dir_, Fresh(3));
        const std::string plain = tmp_->filePath("plain/").toStdString();
        QDir().mkpath(QString::fromStdString(plain));
        WriteData(plain, Fresh(3));

        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        drill::Session& s = Open(0);
        s.UseRecord(&rec);
        QVERIFY(s.Start());
        rec.Close();       // gone from under the drill
        s.Judge(1);
        QVERIFY(!s.TakeRecordFailure().empty());
        QVERIFY(s.Next());
        s.Judge(0);
        QCOMPARE(s.TakeRecordFailure(), std::string());   // let go: not tried again
        s.End();
        QCOMPARE(s.TakeRecordFailure(), std::string());

        // The same drill with no record at all stores the same bytes.
        Drill other;
        const data::Directory data(plain);
        data.OpenBank(other.bank);
        data.OpenHistory(other.history);
        data.OpenAdvice(other.advice);
        QVERIFY(other.session.Start());
        other.session.Judge(1);
        QVERIFY(other.session.Next());
        other.session.Judge(0);
        other.session.End();
        for (const char* file : {layouts::kBankFile, layouts::kHistoryFile})
            QCOMPARE(FileBytes(Path(file)), FileBytes(plain + file));
    }

    // A drill killed mid-way (SIGKILL: no end, no exit hook) left its answers in the record
    // only. Stored from the record at the next start, the bank and the history are byte for byte
    // those of the same drill ended by 終了; stored once, it is not offered again. Also with
    // the settled counts reset at the start (the professional build's drill), and a drill
    // killed after its write-back but before its end reached the record is not applied twice.
    void killedDrillIsStoredFromTheRecordAsItsEndWouldHave()
    {
        for (const bool resetSettled : {false, true}) {
            std::vector<Q> bank = Fresh(24, 5);
            for (std::size_t i = 0; i < bank.size(); i += 3) {   // counters and answers of all kinds
                bank[i].nani = int(i % 9);
                bank[i].nkaisu = int(i % 4);
                bank[i].kaisu = int(i);
                bank[i].seikaisu = int(i / 2);
                bank[i].seikai = int(i % 2);
            }
            const std::string ended = tmp_->filePath(resetSettled ? "ended-r/" : "ended/").toStdString();
            const std::string killed = tmp_->filePath(resetSettled ? "killed-r/" : "killed/").toStdString();
            for (const std::string& d : {ended, killed}) {
                QDir().mkpath(QString::fromStdString(d));
                WriteData(d, bank, 4);
            }
            const QByteArray bankBefore = FileBytes(killed + layouts::kBankFile);
            const QByteArray historyBefore = FileBytes(killed + layouts::kHistoryFile);
            constexpr int kAnswers = 9;
            // The same drill in both folders: every third answer wrong, so the level moves.
            auto runDrill = [resetSettled](const std::string& dir, bool kill) {
                Drill d;
                const data::Directory data(dir);
                data.OpenBank(d.bank);
                data.OpenHistory(d.history);
                data.OpenAdvice(d.advice);
                record::LearningRecord rec;
                data.OpenRecord(rec);
                d.session.DrillLevel = 5;
                d.session.ResetSettledCounts = resetSettled;
                d.session.UseRecord(&rec);
                if (!d.session.Start())
                    qFatal("no question");
                for (int i = 0; i < kAnswers; ++i) {
                    const int right = d.session.RightAnswer();
                    d.session.Judge(i % 3 == 2 ? 1 - right : right);
                    if (i + 1 < kAnswers && !d.session.Next())
                        qFatal("no next question");
                }
                if (kill)
                    ::raise(SIGKILL);
                d.session.End();
            };
            runDrill(ended, false);
            const pid_t child = ::fork();
            if (child == 0) {
                runDrill(killed, true);
                ::_exit(3);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            QCOMPARE(FileBytes(killed + layouts::kBankFile), bankBefore);
            QCOMPARE(FileBytes(killed + layouts::kHistoryFile), historyBefore);

            const data::Directory data(killed);
            record::LearningRecord rec;
            data.OpenRecord(rec);
            const auto unstored = drill::FindUnstoredDrill(data, rec);
            QVERIFY(unstored);
            QCOMPARE(unstored->answers.size(), std::size_t(kAnswers));
            QCOMPARE(unstored->level.value_or(-1), 5);
            drill::StoreUnstoredDrill(data, rec, *unstored, resetSettled);
            for (const char* file : {layouts::kBankFile, layouts::kHistoryFile})
                QCOMPARE(FileBytes(killed + file), FileBytes(ended + file));
            QVERIFY(rec.Sessions().back().endedAt);
            QVERIFY(!drill::FindUnstoredDrill(data, rec));
        }

        // Written back, then killed before the record heard of the end: nothing to store again.
        WriteData(dir_, Fresh(8));
        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        drill::Session& s = Open(0);
        s.UseRecord(&rec);
        QVERIFY(s.Start());
        s.Judge(1);
        QVERIFY(s.Next());
        s.Judge(0);
        s.UseRecord(nullptr);   // the end never reaches the record
        s.End();
        QVERIFY(!rec.Sessions().back().endedAt);
        const QByteArray stored = FileBytes(Path(layouts::kBankFile));
        QVERIFY(!drill::FindUnstoredDrill(data::Directory(dir_), rec));
        drill::StoreUnstoredDrill(data::Directory(dir_), rec, *rec.LatestUnfinishedDrill(), false);
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), stored);
        QVERIFY(rec.Sessions().back().endedAt);

        // The record let go after the first answer (it failed), the drill ended normally with
        // three: the files hold more than the record, and nothing is offered.
        drill::Session& t = Open(0);
        t.UseRecord(&rec);
        QVERIFY(t.Start());
        t.Judge(1);
        rec.Close();
        for (int answer : {0, 1}) {
            QVERIFY(t.Next());
            t.Judge(answer);
        }
        QVERIFY(!t.TakeRecordFailure().empty());
        t.End();
        data::Directory(dir_).OpenRecord(rec);
        QCOMPARE(rec.LatestUnfinishedDrill()->answers.size(), std::size_t(1));
        QVERIFY(!drill::FindUnstoredDrill(data::Directory(dir_), rec));
    }

    // The history holds a drill when it begins with the drill's statements, each in its place,
    // wherever the table was left; a second statement that differs is a drill not stored.
    void historyHoldsComparesEveryAnswerFromTheFirstRecord()
    {
        const std::string path = Path(layouts::kHistoryFile);
        std::vector<Row> rows;
        for (const char* bango : {"0001", "0002", "0003"})
            rows.push_back({Value(bango), Value(1), Value("")});
        Table::CreateFile(path, layouts::History(), rows);
        Table history;
        data::Directory(dir_).OpenHistory(history);
        const auto answers = [](std::vector<std::string> bangos) {
            std::vector<record::Answer> out;
            for (std::string& b : bangos)
                out.push_back({record::kSourceBank, std::move(b)});
            return out;
        };
        history.Last();
        QVERIFY(drill::HistoryHolds(history, answers({"0001", "0002"})));
        history.Last();
        QVERIFY(drill::HistoryHolds(history, answers({"0001", "0002", "0003"})));
        QVERIFY(!drill::HistoryHolds(history, answers({"0001", "0003"})));
        QVERIFY(!drill::HistoryHolds(history, answers({"0002"})));
        QVERIFY(!drill::HistoryHolds(history, answers({"0001", "0002", "0003", "0004"})));
    }

    // A record answer whose statement is no longer in the bank cannot be stored as the drill
    // would have: refused, and neither file is touched (the history emptied in memory by the
    // replay is not written either).
    void unstoredDrillThatNoLongerFitsTheBankChangesNothing()
    {
        UnstoredDrillIsRefusedUntouched({"0002", "0077"});   // 0077: not in the bank
    }

    // The record is a file like any other: a number in it that reads as a second condition when
    // pasted into a filter ("0002 AND Nani >= 0" selects question 0002) is no question of the
    // bank, and is refused like one, the files untouched.
    void unstoredDrillWithANumberThatIsNotOneWordChangesNothing()
    {
        UnstoredDrillIsRefusedUntouched({"0002 AND Nani >= 0"});
    }

    // A wrong answer to the tenth question is still before the advice's narrowing: the advice
    // stays on its first record; the eleventh wrong answer narrows it to the level.
    void theTenthWrongAnswerLeavesTheAdviceAsItWas()
    {
        WriteData(dir_, Fresh(30));
        drill::Session& s = Start(0);
        for (int i = 1; i < 10; ++i) {
            s.Judge(s.RightAnswer());
            QVERIFY(s.Next());
        }
        QCOMPARE(s.Total, 10);
        s.Judge(1 - s.RightAnswer());
        QVERIFY(!d_->advice.Filtered());
        QVERIFY(s.Next());
        s.Judge(1 - s.RightAnswer());
        QVERIFY(d_->advice.Filtered());
        QCOMPARE(d_->advice.Filter(), "Nani = " + std::to_string(s.DrillLevel));
    }

    // The search a session runs may be another than the one the start asks first (a benchmark
    // measures its own): when it finds nothing the start says so and begins no record session.
    void startEndsWhenItsSearchFindsNothing()
    {
        WriteData(dir_, Fresh(3));
        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        drill::Session& s = Open(0);
        s.UseRecord(&rec);
        s.search = [](Table&, int, int&) { return false; };
        QVERIFY(!s.Start());
        QVERIFY(rec.Sessions().empty());
    }

    // A record given only after the start has no session of this drill: none of the drill's
    // answers goes into it, and that is no failure.
    void aRecordGivenAfterTheStartGetsNoAnswers()
    {
        WriteData(dir_, Fresh(3));
        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        drill::Session& s = Start(0);
        s.UseRecord(&rec);
        s.Judge(1);
        QCOMPARE(s.TakeRecordFailure(), std::string());
        QVERIFY(rec.LatestResults().empty());
        QVERIFY(rec.Sessions().empty());
    }

    // Replayed, a drill stands where the drill stood: the number of the question after the last
    // answer, and from the eleventh answer on the advice narrowed to the level.
    void aReplayedDrillCountsItsQuestions()
    {
        WriteData(dir_, Fresh(12));
        std::vector<record::Answer> answers(11);
        for (std::size_t i = 0; i < answers.size(); ++i)
            answers[i].bango = QString::asprintf("%04d", int(i + 1)).toStdString();
        drill::Session& s = Open(0);
        s.Replay(answers);
        QCOMPARE(s.Total, 12);
        QCOMPARE(s.Stats().answers, 11);
        QVERIFY(d_->advice.Filtered());
    }

    // Only the drill's own answers are replayed: a bank statement's answer that was left
    // unanswered or names a hazard part is refused before anything is judged.
    void aReplayTakesOnlyDrillAnswers()
    {
        WriteData(dir_, Fresh(2));
        for (const auto& [item, answer] : {std::pair(0, -1), std::pair(0, 2), std::pair(1, 1)}) {
            record::Answer a;
            a.bango = "0001";
            a.item = item;
            a.answer = answer;
            drill::Session& s = Open(0);
            QVERIFY_EXCEPTION_THROWN(s.Replay({a}), Exception);
            QCOMPARE(s.Stats().answers, 0);
        }
    }

    // A search may leave the candidates in the bank's whole view (every record qualifies): the
    // start still narrows the bank to the one question found.
    void startNarrowsTheBankWhateverViewTheSearchLeft()
    {
        WriteData(dir_, Fresh(3));
        drill::Session& s = Open(0);
        s.search = [](Table& bank, int, int&) {
            bank.SetFiltered(false);
            return true;
        };
        QVERIFY(s.Start());
        QVERIFY(d_->bank.Filtered());
        QCOMPARE(d_->bank.RecordCount(), 1);
        QCOMPARE(d_->bank.Filter(), std::string("Bango = 0001"));
    }

private:
    // A drill recorded with right answers to BANGOS, never stored: storing it now is refused,
    // the bank and the history keep their bytes and the session stays open.
    void UnstoredDrillIsRefusedUntouched(const std::vector<std::string>& bangos)
    {
        WriteData(dir_, Fresh(3), 2);
        record::LearningRecord rec;
        data::Directory(dir_).OpenRecord(rec);
        const std::int64_t id = rec.BeginSession({record::kDrill, 0, std::nullopt});
        for (const std::string& bango : bangos) {
            record::Answer a;
            a.bango = bango;
            a.answer = 1;
            a.correct = true;
            rec.AddAnswer(id, a);
        }
        const QByteArray bank = FileBytes(Path(layouts::kBankFile));
        const QByteArray history = FileBytes(Path(layouts::kHistoryFile));
        const auto unstored = drill::FindUnstoredDrill(data::Directory(dir_), rec);
        QVERIFY(unstored);
        QVERIFY_EXCEPTION_THROWN(drill::StoreUnstoredDrill(data::Directory(dir_), rec, *unstored, false), Exception);
        QCOMPARE(FileBytes(Path(layouts::kBankFile)), bank);
        QCOMPARE(FileBytes(Path(layouts::kHistoryFile)), history);
        QVERIFY(!rec.Sessions().back().endedAt);
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
