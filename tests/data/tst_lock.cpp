#include "DirectoryLock.h"

#include <QTemporaryDir>
#include <QTest>

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs Acquire on DATA as another, ordinary user in a child process, and gives its result.
DirectoryLock::Result AcquireAs(const passwd& user, const std::string& data)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(user.pw_gid) != 0 || setuid(user.pw_uid) != 0)
            _exit(9);
        DirectoryLock lock;
        _exit(int(lock.Acquire(data)));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return DirectoryLock::Result(WIFEXITED(status) ? WEXITSTATUS(status) : 9);
}

mode_t Mode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

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

    // A shared data folder: the lock file that one pupil made is a lock for the next pupil too,
    // also when it is read-only for them, and one they cannot open at all is not passed over.
    void lockFileOfAnotherUserIsStillALock()
    {
        if (geteuid() != 0)
            QSKIP("needs root to act as two users");
        const passwd* pupil = getpwnam("lentavo-pupil");
        if (!pupil)
            pupil = getpwnam("nobody");
        QVERIFY(pupil);
        QTemporaryDir dir;
        QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0777) == 0);
        const std::string data = dir.path().toStdString() + "/";
        const std::string file = data + DirectoryLock::kFileName;

        DirectoryLock mine;
        QCOMPARE(mine.Acquire(data), DirectoryLock::Result::Acquired);
        QVERIFY(::chmod(file.c_str(), 0644) == 0);   // as another user's umask would leave it
        QCOMPARE(AcquireAs(*pupil, data), DirectoryLock::Result::InUse);
        QVERIFY(::chmod(file.c_str(), 0) == 0);
        QCOMPARE(AcquireAs(*pupil, data), DirectoryLock::Result::InUse);
        mine.Release();
        QCOMPARE(AcquireAs(*pupil, data), DirectoryLock::Result::InUse);   // still cannot tell
        QVERIFY(::chmod(file.c_str(), 0644) == 0);
        QCOMPARE(AcquireAs(*pupil, data), DirectoryLock::Result::Acquired);
    }

    // Made by this program, the lock file can be opened by every user of the folder whatever
    // the umask: readable by all, writable by those who may write into the folder.
    void lockFileIsMadeForTheFolderUsers()
    {
        QTemporaryDir dir;
        const std::string data = dir.path().toStdString();
        const mode_t before = umask(077);
        for (const mode_t folder : {mode_t(0770), mode_t(0755)}) {
            QFile::remove(QString::fromStdString(data + "/" + DirectoryLock::kFileName));
            QVERIFY(::chmod(data.c_str(), folder) == 0);
            DirectoryLock lock;
            QCOMPARE(lock.Acquire(data + "/"), DirectoryLock::Result::Acquired);
            QCOMPARE(Mode(data + "/" + DirectoryLock::kFileName), folder == 0770 ? mode_t(0664) : mode_t(0644));
        }
        umask(before);
    }

    // The settings line names the folder without its closing "/", or names a file: the lock
    // goes into that folder, or is not taken; no file named after the folder lands beside it.
    void directoryTextWithoutClosingSlashLocksThatFolder()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        QVERIFY(QDir().mkdir(data));
        DirectoryLock lock;
        QCOMPARE(lock.Acquire(data.toStdString()), DirectoryLock::Result::Acquired);
        QVERIFY(QFile::exists(data + "/" + DirectoryLock::kFileName));
        const QString bank = data + "/mondai.cds";
        QVERIFY(QFile(bank).open(QIODevice::WriteOnly));
        QCOMPARE(lock.Acquire(bank.toStdString()), DirectoryLock::Result::Unavailable);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(data).entryList(QDir::Files), (QStringList{DirectoryLock::kFileName, "mondai.cds"}));
    }

    // Started with its standard input closed, the program gets descriptor 0 for the lock file:
    // that is a descriptor like any other, shared with the folder's users and let go on release.
    void lockFileOnDescriptorZero()
    {
        QTemporaryDir dir;
        const std::string data = dir.path().toStdString() + "/";
        QVERIFY(::chmod(dir.path().toLocal8Bit().constData(), 0770) == 0);
        const std::string file = data + DirectoryLock::kFileName;
        const pid_t pid = fork();
        if (pid == 0) {
            ::umask(077);
            ::close(0);
            int code = 0;
            {
                DirectoryLock lock;   // makes the file on descriptor 0
                if (lock.Acquire(data) != DirectoryLock::Result::Acquired)
                    code |= 1;
                if (Mode(file) != 0664)
                    code |= 2;
            }
            if (::fcntl(0, F_GETFD) != -1)
                code |= 4;
            {
                DirectoryLock lock;   // opens the file made before on descriptor 0
                if (lock.Acquire(data) != DirectoryLock::Result::Acquired)
                    code |= 8;
            }
            if (::fcntl(0, F_GETFD) != -1)
                code |= 16;
            _exit(code);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // Acquiring again lets the lock held before go first: the same folder is locked again, and
    // after a move to another folder the first is free for others.
    void acquiringAgainLetsTheFirstLockGo()
    {
        QTemporaryDir dir;
        const std::string first = dir.filePath("a/").toStdString();
        const std::string second = dir.filePath("b/").toStdString();
        QVERIFY(QDir().mkdir(dir.filePath("a")) && QDir().mkdir(dir.filePath("b")));
        DirectoryLock lock;
        QCOMPARE(lock.Acquire(first), DirectoryLock::Result::Acquired);
        QCOMPARE(lock.Acquire(first), DirectoryLock::Result::Acquired);
        QCOMPARE(lock.Acquire(second), DirectoryLock::Result::Acquired);
        DirectoryLock other;
        QCOMPARE(other.Acquire(first), DirectoryLock::Result::Acquired);
        QCOMPARE(DirectoryLock().Acquire(second), DirectoryLock::Result::InUse);
    }

    // An interrupted call earlier in the program leaves errno at EINTR: a lock taken at once is
    // taken, not tried again and again.
    void aStaleInterruptionDoesNotHoldUpTheLock()
    {
        QTemporaryDir dir;
        const std::string data = dir.path().toStdString() + "/";
        const pid_t pid = fork();
        if (pid == 0) {
            ::alarm(10);
            DirectoryLock lock;
            errno = EINTR;
            _exit(lock.Acquire(data) == DirectoryLock::Result::Acquired ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
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
