#include "DirectoryLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The lock file inside DIRECTORY, whether its text ends in "/" or not: a malformed settings line
// must not leave a lock file beside the folder under a made-up name.
std::string LockPath(const std::string& directory)
{
    if (directory.empty())
        return DirectoryLock::kFileName;
    return directory + (directory.back() == '/' ? "" : "/") + DirectoryLock::kFileName;
}

// A shared data folder is used by several pupils' accounts: every one of them must be able to
// open the lock file. Read access is enough for flock; write access is given to whoever may
// write into the folder. Set with fchmod, as the umask would take it away again at creation.
void ShareWithFolderUsers(int fd, const std::string& directory)
{
    struct stat folder {};
    const mode_t writers = ::stat(directory.empty() ? "." : directory.c_str(), &folder) == 0
                               ? (folder.st_mode & (S_IWGRP | S_IWOTH)) : 0;
    ::fchmod(fd, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH | writers);
}

int OpenLockFile(const std::string& directory)
{
    const std::string path = LockPath(directory);
    // O_NONBLOCK: a named pipe planted under that name must not hang the drill start.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | flags, 0644);
    if (fd >= 0) {
        ShareWithFolderUsers(fd, directory);
        return fd;
    }
    fd = ::open(path.c_str(), O_RDWR | flags);
    // Made by another user without write access for us: flock works on a read-only descriptor.
    if (fd < 0 && errno != ENOENT && errno != ENOTDIR)
        fd = ::open(path.c_str(), O_RDONLY | flags);
    return fd;
}

}  // namespace

DirectoryLock::~DirectoryLock() { Release(); }

DirectoryLock::Result DirectoryLock::Acquire(const std::string& directory)
{
    Release();
    const int fd = OpenLockFile(directory);
    if (fd < 0) {
        // No lock file, and none can be made (no such folder, or one where nothing can be
        // written: nothing of a drill could be stored there either). A lock file that exists
        // but cannot be opened may be held by someone: never go on without the lock then.
        struct stat st {};
        return ::lstat(LockPath(directory).c_str(), &st) == 0 ? Result::InUse : Result::Unavailable;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool inUse = errno == EWOULDBLOCK;
        ::close(fd);
        return inUse ? Result::InUse : Result::Unavailable;
    }
    // The file stays behind on release: removing it would let two copies lock two different
    // files of the same name.
    fd_ = fd;
    return Result::Acquired;
}

void DirectoryLock::Release()
{
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}
