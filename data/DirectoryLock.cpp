#include "DirectoryLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

DirectoryLock::~DirectoryLock() { Release(); }

DirectoryLock::Result DirectoryLock::Acquire(const std::string& directory)
{
    Release();
    const std::string path = directory + kFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return Result::Unavailable;
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
