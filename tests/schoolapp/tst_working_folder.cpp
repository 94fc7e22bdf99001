// The pupil's working folder on a school PC: a bank version kept once and copied in, the
// server's counters laid over it, and the counters the PC has not delivered yet never replaced.

#include "WorkingFolder.h"

#include "Counters.h"
#include "Delivery.h"
#include "Exception.h"
#include "Layouts.h"
#include "Outbox.h"
#include "SafeFile.h"
#include "TableFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

using school::Counter;

namespace {

// A bank row by field name; the other fields as a fresh statement has them.
Row BankRow(const std::string& bango, std::map<std::string, Value> set = {})
{
    Row row;
    for (const FieldDef& f : layouts::Bank()) {
        if (f.name == layouts::field::Bango)
            row.push_back(Value(bango));
        else if (set.count(f.name))
            row.push_back(set[f.name]);
        else if (f.type == FieldType::Integer)
            row.push_back(Value(f.name == layouts::field::KariHon ? 1 : 0));
        else if (f.type == FieldType::Text)
            row.push_back(Value("文"));
        else
            row.push_back(Value::Null());
    }
    return row;
}

// The bytes of a table file made from FIELDS and ROWS.
std::string TableBytes(const QTemporaryDir& scratch, const std::vector<FieldDef>& fields, const std::vector<Row>& rows)
{
    const std::string path = scratch.filePath("made.cds").toStdString();
    std::filesystem::remove(path);
    tablefile::Create(path, fields, rows);
    return safefile::Read(path, 1 << 20);
}

int Mode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

Counter Count(const std::string& bango, int kaisu, int seikaisu, int nkaisu, int nani)
{
    return Counter{bango, kaisu, seikaisu, nkaisu, nani};
}

}  // namespace

class TestWorkingFolder : public QObject {
    Q_OBJECT

    QTemporaryDir scratch;

    school::BankFiles Bank(int version, bool hazard, const std::string& advice = "よい")
    {
        school::BankFiles b;
        b.version = version;
        b.mondai = TableBytes(scratch, layouts::Bank(), {BankRow("0001"), BankRow("0002")});
        b.advice = TableBytes(scratch, layouts::Advice(), {{Value(-1), Value(advice), Value("わるい")}});
        if (hazard)
            b.kiken = b.advice;   // any table file: the folder only copies it
        return b;
    }

private slots:
    void aNewPupilGetsTheBankWithTheirCounters()
    {
        QTemporaryDir root;
        const school::SchoolFolders folders(root.filePath("school").toStdString());
        QVERIFY(!folders.HasBank(1));
        // What a killed keeping of the same version by this process left is not taken along.
        const std::string leftover = root.filePath("school/banks/.incoming-1-" + QString::number(::getpid())).toStdString();
        std::filesystem::create_directories(leftover);
        std::ofstream(leftover + "/stray") << "left";
        folders.KeepBank(Bank(1, true));
        QVERIFY(folders.HasBank(1));
        QVERIFY(!std::filesystem::exists(folders.BankFolder(1) + "stray"));
        QCOMPARE(Mode(root.filePath("school/banks").toStdString()), 0700);
        folders.KeepBank(Bank(1, true));   // kept already (by another copy of the program): nothing left beside
        QCOMPARE(QDir(root.filePath("school/banks")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"1"});
        // A version without its advice is not had.
        std::filesystem::create_directories(folders.BankFolder(2));
        std::filesystem::copy_file(folders.BankFolder(1) + layouts::kBankFile, folders.BankFolder(2) + layouts::kBankFile);
        QVERIFY(!folders.HasBank(2));

        const std::string folder = folders.PrepareWorkingFolder("1001", 1, std::vector{Count("0002", 5, 3, 1, 40)});
        QCOMPARE(folder, folders.PupilFolder("1001"));
        // The pupil's files are the user's alone, and so is the folder of every pupil.
        QCOMPARE(Mode(folder), 0700);
        QCOMPARE(Mode(root.filePath("school/pupils").toStdString()), 0700);
        QCOMPARE(Mode(root.filePath("school").toStdString()), 0700);
        for (const char* name : {layouts::kBankFile, layouts::kAdviceFile, layouts::kHazardFile})
            QCOMPARE(Mode(folder + name), 0600);
        // Only folders named by a pupil's number are pupils' folders.
        std::ofstream(root.filePath("school/pupils/1002").toStdString()) << "a file";
        std::filesystem::create_directory(root.filePath("school/pupils/notes").toStdString());
        QCOMPARE(folders.PupilFolders(), std::vector<std::string>{folder});
        QCOMPARE(school::ReadCounters(folder + layouts::kBankFile),
                 (std::vector{Count("0001", 0, 0, 0, 0), Count("0002", 5, 3, 1, 40)}));
        QVERIFY(tablefile::Read(folder + layouts::kHistoryFile).rows.empty());
        QVERIFY(std::filesystem::exists(folder + layouts::kAdviceFile));
        QVERIFY(std::filesystem::exists(folder + layouts::kHazardFile));
        QCOMPARE(folders.FolderVersion(folder), std::optional<int>(1));
        // The kept version is untouched by the pupil's counters.
        QCOMPARE(school::ReadCounters(folders.BankFolder(1) + layouts::kBankFile)[1], Count("0002", 0, 0, 0, 0));

        // A copy of a new version cut short leaves no version note: the next sign-in copies again.
        folders.KeepBank(Bank(3, true));
        std::filesystem::remove(folder + layouts::kAdviceFile);
        std::filesystem::create_directory(folder + layouts::kAdviceFile);
        QVERIFY_THROWS_EXCEPTION(Exception, folders.PrepareWorkingFolder("1001", 3, std::vector<Counter>{}));
        QCOMPARE(folders.FolderVersion(folder), std::nullopt);
    }

    void countersNotYetDeliveredAreNeverReplaced()
    {
        QTemporaryDir root;
        const school::SchoolFolders folders(root.filePath("school").toStdString());
        folders.KeepBank(Bank(1, true));
        const std::string folder = folders.PrepareWorkingFolder("1001", 1, std::vector<Counter>{});
        // A drill on this PC: counters in the folder's bank, an answer in its history.
        const std::vector<Counter> drilled{Count("0001", 1, 1, 1, 0), Count("0002", 0, 0, 0, 0)};
        school::LayOver(folder, drilled);
        tablefile::Create(folder + layouts::kHistoryFile, layouts::History(),
                          {{Value("0001"), Value(1), Value("文")}});

        // Signed in again before they went out, with a new version at the school: the folder
        // keeps its bank, its version and its history.
        folders.KeepBank(Bank(2, false, "新しい助言"));
        folders.PrepareWorkingFolder("1001", 2, std::nullopt);
        QCOMPARE(school::ReadCounters(folder + layouts::kBankFile), drilled);
        QCOMPARE(folders.FolderVersion(folder), std::optional<int>(1));
        QCOMPARE(tablefile::Read(folder + layouts::kHistoryFile).rows.size(), std::size_t(1));

        // Delivered, signed in again: the new version with the server's counters, and no hazard
        // items where the new version has none.
        folders.PrepareWorkingFolder("1001", 2, std::vector{Count("0001", 1, 1, 1, 0)});
        QCOMPARE(folders.FolderVersion(folder), std::optional<int>(2));
        QCOMPARE(school::ReadCounters(folder + layouts::kBankFile)[0], Count("0001", 1, 1, 1, 0));
        QCOMPARE(tablefile::Read(folder + layouts::kAdviceFile).rows[0][1], Value("新しい助言"));
        QVERIFY(!std::filesystem::exists(folder + layouts::kHazardFile));
        QCOMPARE(tablefile::Read(folder + layouts::kHistoryFile).rows.size(), std::size_t(1));
    }

    // A change of any one counter from the server is laid over; what the folder adds after that
    // (measured from the base kept with it) is its contribution, Nani as it now stands.
    void countersLaidOverAndTheFoldersContribution()
    {
        QTemporaryDir root;
        const school::SchoolFolders folders(root.filePath("school").toStdString());
        folders.KeepBank(Bank(1, false));
        const std::string folder =
            folders.PrepareWorkingFolder("1001", 1, std::vector{Count("0001", 5, 3, 1, 40), Count("0002", 2, 2, 0, 0)});
        QVERIFY(school::Contribution(folder).empty());
        for (const Counter& next : {Count("0001", 5, 3, 1, 41), Count("0001", 5, 3, 2, 41), Count("0001", 5, 4, 2, 41),
                                    Count("0001", 6, 4, 2, 41)}) {
            school::LayOver(folder, {next});
            QCOMPARE(school::ReadCounters(folder + layouts::kBankFile), (std::vector{next, Count("0002", 0, 0, 0, 0)}));
            QVERIFY(school::Contribution(folder).empty());
        }
        // A new base starts a new contribution, bound to the next sign-in.
        school::Outbox b = school::LoadOrMakeOutbox(folder);
        b.countersToken = "earlier sign-in";
        b.countersSeq = 3;
        b.countersSent = "0001\t1";
        school::SaveOutbox(folder, b);
        school::LayOver(folder, {Count("0001", 6, 4, 2, 41)});
        const school::Outbox renewed = *school::LoadOutbox(folder);
        QCOMPARE(renewed.folderId, b.folderId);
        QCOMPARE(renewed.countersToken, "");
        QCOMPARE(renewed.countersSeq, std::int64_t(0));
        QCOMPARE(renewed.countersSent, "");
        // As if drilled since: the bank moved on from the base.
        safefile::Write(folder + school::kCounterBaseFile, "0001\t5\t3\t1\t40\n0002\t0\t0\t0\t0\n");
        QCOMPARE(school::Contribution(folder), (std::vector{Count("0001", 1, 1, 1, 41)}));
    }

    // The base goes before the counters it measures: a lay-over cut off after the bank was
    // written leaves no base behind, never the old one under the server's new counters.
    void aLayOverCutOffLeavesNoOldBase()
    {
        QTemporaryDir root;
        const school::SchoolFolders folders(root.filePath("school").toStdString());
        folders.KeepBank(Bank(1, false));
        const std::string folder = folders.PrepareWorkingFolder("1001", 1, std::vector{Count("0001", 1, 1, 0, 0)});
        QVERIFY(std::filesystem::exists(folder + school::kCounterBaseFile));
        // The outbox cannot be saved: the lay-over fails after the bank took the new counters.
        QVERIFY(std::filesystem::remove(folder + school::kOutboxFile));
        QVERIFY(std::filesystem::create_directory(folder + school::kOutboxFile));
        QVERIFY_THROWS_EXCEPTION(Exception, school::LayOver(folder, {Count("0001", 9, 9, 9, 9)}));
        QCOMPARE(school::ReadCounters(folder + layouts::kBankFile)[0], Count("0001", 9, 9, 9, 9));
        QVERIFY(!std::filesystem::exists(folder + school::kCounterBaseFile));
    }

    // A bank without one of the counters' fields is refused by name.
    void aBankWithoutACounterFieldIsRefused()
    {
        std::vector<FieldDef> fields;
        for (const FieldDef& f : layouts::Bank())
            if (f.name != layouts::field::Nani)
                fields.push_back(f);
        const std::string path = scratch.filePath("no-nani.cds").toStdString();
        std::filesystem::remove(path);
        tablefile::Create(path, fields, {});
        try {
            school::ReadCounters(path);
            QFAIL("a bank without Nani was read");
        } catch (const Exception& e) {
            QVERIFY2(std::string(e.what()).find(layouts::field::Nani) != std::string::npos, e.what());
        }
    }

    void aNumberIsNeverAPath()
    {
        const school::SchoolFolders folders("/nowhere");
        for (const char* bad : {"../1001", "1001/..", "", "123", "123456789", "12 4"})
            QVERIFY_THROWS_EXCEPTION(Exception, folders.PupilFolder(bad));
        QCOMPARE(folders.PupilFolder("00001234"), std::string("/nowhere/pupils/00001234/"));
    }

    void eachServerHasItsOwnFolder()
    {
        QVERIFY(school::SchoolFolders::DefaultRoot("host=a dbname=lentavo") !=
                school::SchoolFolders::DefaultRoot("host=b dbname=lentavo"));
    }
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_working_folder.moc"
