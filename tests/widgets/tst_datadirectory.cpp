// The first start of an installed program: the bundled sample data copied into the pupil's data
// folder.

#include "DataDirectory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestDataDirectory : public QObject {
    Q_OBJECT
private slots:
    // Every shipped table file arrives writable, the optional hazard items too; what the pupil
    // already has and what is not a table file stay as they are.
    void copiesTheSampleOnceAndNeverOverwrites()
    {
        QTemporaryDir sample, data;
        for (const char* name : {"mondai.cds", "advice.cds", "rireki.cds", "kiken.cds"})
            Write(sample.filePath(name), QByteArray("sample ") + name);
        Write(sample.filePath("hazard.csv"), "not a table file");
        for (const char* name : {"mondai.cds", "advice.cds", "rireki.cds", "kiken.cds"})
            QFile::setPermissions(sample.filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        Write(data.filePath("rireki.cds"), "the pupil's history");

        CopyBundledSample(sample.path(), data.path());

        for (const char* name : {"mondai.cds", "advice.cds", "kiken.cds"}) {
            QCOMPARE(Read(data.filePath(name)), QByteArray("sample ") + name);
            QCOMPARE(QFile::permissions(data.filePath(name)) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                     QFile::Permissions(QFile::WriteOwner));
        }
        QCOMPARE(Read(data.filePath("rireki.cds")), QByteArray("the pupil's history"));
        QVERIFY(!QFile::exists(data.filePath("hazard.csv")));

        // A newer sample (a program update) never replaces what the pupil's folder holds.
        QFile::setPermissions(sample.filePath("kiken.cds"), QFile::ReadOwner | QFile::WriteOwner);
        Write(sample.filePath("kiken.cds"), "a newer sample");
        CopyBundledSample(sample.path(), data.path());
        QCOMPARE(Read(data.filePath("kiken.cds")), QByteArray("sample kiken.cds"));
    }
};

QTEST_MAIN(TestDataDirectory)
#include "tst_datadirectory.moc"
