#include "DirectoryLock.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

class TestLock : public QObject {
    Q_OBJECT
private slots:
    void anotherProcessHoldingTheDirectoryIsSeen()
    {
        QTemporaryDir dir;
        const std::string data = dir.path().toStdString() + "/";
        int ready[2];
        QVERIFY(pipe(ready) == 0);
        int release[2];
        QVERIFY(pipe(release) == 0);
        const pid_t pid = fork();
        if (pid == 0) {
            DirectoryLock lock;
            const char ok = lock.Acquire(data) == DirectoryLock::Result::Acquired ? 1 : 0;
            [[maybe_unused]] auto w = write(ready[1], &ok, 1);
            char c;
            [[maybe_unused]] auto r = read(release[0], &c, 1);   // hold until told
            _exit(0);
        }
        char ok = 0;
        QCOMPARE(read(ready[0], &ok, 1), ssize_t(1));
        QCOMPARE(ok, char(1));
        DirectoryLock mine;
        QCOMPARE(mine.Acquire(data), DirectoryLock::Result::InUse);
        QVERIFY(!mine.Held());

        // The other copy ends (or crashes): its lock goes with it.
        QCOMPARE(write(release[1], "x", 1), ssize_t(1));
        waitpid(pid, nullptr, 0);
        QCOMPARE(mine.Acquire(data), DirectoryLock::Result::Acquired);
        QVERIFY(mine.Held());
        mine.Release();
        QVERIFY(!mine.Held());
    }

    void missingDirectoryCannotBeLocked()
    {
        DirectoryLock lock;
        QCOMPARE(lock.Acquire("/nonexistent-data-dir/"), DirectoryLock::Result::Unavailable);
        QVERIFY(!lock.Held());
    }
};

QTEST_GUILESS_MAIN(TestLock)
#include "tst_lock.moc"
