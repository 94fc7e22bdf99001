// A data directory as the windows, the benchmarks and the tools open it.
#include "Directory.h"
#include "Exception.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Settings.h"
#include "Table.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestDirectory : public QObject {
    Q_OBJECT
private slots:
    void fromTheSettingsFile()
    {
        QTemporaryDir tmp;
        const std::string settings = tmp.filePath("Lentavo.inf").toStdString();
        QVERIFY(!data::Directory::FromSettings(settings));   // no file
        QVERIFY(settings::CreateEmpty(settings));
        QVERIFY(!data::Directory::FromSettings(settings));   // an empty one names nothing
        const std::string dir = tmp.path().toStdString() + "/";
        QVERIFY(settings::WriteDataDirectory(settings, dir));
        const auto d = data::Directory::FromSettings(settings);
        QVERIFY(d);
        QCOMPARE(d->Path(), dir);
        QCOMPARE(d->FilePath(layouts::kHistoryFile), dir + "rireki.cds");
    }

    void opensItsFilesByLayout()
    {
        QTemporaryDir tmp;
        data::Directory d(tmp.path().toStdString() + "/");
        Table::CreateFile(d.FilePath(layouts::kHistoryFile), layouts::History(), {Row{Value("0001"), Value(1), Value("m")}});
        // The advice layout on a history file is refused: the layout is required, not assumed.
        Table::CreateFile(d.FilePath(layouts::kAdviceFile), layouts::History(), {});
        Table history, advice, hazard;
        d.OpenHistory(history);
        QCOMPARE(history.RecordCount(), 1);
        QVERIFY_THROWS_EXCEPTION(Exception, d.OpenAdvice(advice));
        QVERIFY(!d.HasHazard());
        QVERIFY_THROWS_EXCEPTION(Exception, d.OpenHazard(hazard));
        // A folder under the hazard file's name is no hazard file.
        QVERIFY(QDir().mkdir(QString::fromStdString(d.FilePath(layouts::kHazardFile))));
        QVERIFY(!d.HasHazard());
        QVERIFY(QDir().rmdir(QString::fromStdString(d.FilePath(layouts::kHazardFile))));
        Table::CreateFile(d.FilePath(layouts::kHazardFile), layouts::Hazard(), {});
        QVERIFY(d.HasHazard());
        d.OpenHazard(hazard);
        QVERIFY(hazard.Active());
        // Opening again reads the file again.
        d.OpenHistory(history);
        QVERIFY(history.Active());

        record::LearningRecord rec;
        d.OpenRecord(rec);
        QVERIFY(rec.IsOpen());
        QVERIFY(QFile::exists(QString::fromStdString(d.FilePath(record::kFileName))));
    }

    void oneLockPerDirectory()
    {
        QTemporaryDir tmp;
        data::Directory first(tmp.path().toStdString() + "/");
        data::Directory second(tmp.path().toStdString() + "/");
        QCOMPARE(first.Lock(), DirectoryLock::Result::Acquired);
        QVERIFY(first.Locked());
        QCOMPARE(second.Lock(), DirectoryLock::Result::InUse);
        QVERIFY(!second.Locked());
        // Moved, the lock goes with the object; released when it goes.
        data::Directory moved = std::move(first);
        QVERIFY(moved.Locked());
        QCOMPARE(second.Lock(), DirectoryLock::Result::InUse);
        moved = data::Directory();
        QCOMPARE(second.Lock(), DirectoryLock::Result::Acquired);
        second.Unlock();
        QVERIFY(!second.Locked());
    }
};

QTEST_MAIN(TestDirectory)
#include "tst_directory.moc"
