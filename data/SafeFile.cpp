#include "SafeFile.h"

#include "Exception.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace safefile {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

[[noreturn]] void Fail(const std::string& ja, const std::string& en, const std::string& path)
{
    throw Exception(ja + ": " + path + " / " + en + ": " + path);
}

[[noreturn]] void LinkRefused(const std::string& path)
{
    Fail("リンク (シンボリックリンク) なので使いません", "a symbolic link, not used", path);
}

// Refuses what a stat of PATH found when it is not a regular file.
void NeedRegular(const struct stat& st, const std::string& path)
{
    if (S_ISLNK(st.st_mode))
        LinkRefused(path);
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISSOCK(st.st_mode))
        Fail("ふつうのファイルではなく、パイプや装置なので使いません", "a pipe or a device, not a plain file; not used",
             path);
    if (!S_ISREG(st.st_mode))
        Fail("ふつうのファイルではないので使いません", "not a plain file; not used", path);
}

[[noreturn]] void SystemFail(const std::string& ja, const std::string& en, const std::string& path, int err)
{
    throw Exception(ja + ": " + path + " (" + std::strerror(err) + ") / " + en + ": " + path);
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

void WriteInPlace(int dirFd, const std::string& name, const std::string& bytes, const std::string& path)
{
    Fd out(::openat(dirFd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (out.get() < 0) {
        if (errno == ELOOP)
            LinkRefused(path);
        SystemFail("書き込めません", "cannot write", path, errno);
    }
    struct stat st {};
    if (::fstat(out.get(), &st) != 0)
        SystemFail("書き込めません", "cannot write", path, errno);
    NeedRegular(st, path);
    if (::ftruncate(out.get(), 0) != 0 || !WriteAll(out.get(), bytes) || ::fsync(out.get()) != 0 ||
        ::close(out.release()) != 0)
        SystemFail("書き込めません", "cannot write", path, errno ? errno : EIO);
}

}  // namespace

std::string Read(const std::string& path, std::size_t maxBytes, Links links)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        Fail("ファイルの名前が正しくありません", "not a usable file name", path);
    // A stat first, so that a device is not even opened (opening some has effects); then the
    // opened file is checked again, which is what a swap in between cannot get past.
    struct stat st {};
    if ((links == Links::Refuse ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) != 0)
        SystemFail("ファイルを読めません", "cannot read the file", path, errno);
    NeedRegular(st, path);
    // Non-blocking: a pipe swapped in after the stat opens at once instead of waiting for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0)));
    if (fd.get() < 0) {
        if (errno == ELOOP)
            LinkRefused(path);
        SystemFail("ファイルを読めません", "cannot read the file", path, errno);
    }
    if (::fstat(fd.get(), &st) != 0)
        SystemFail("ファイルを読めません", "cannot read the file", path, errno);
    NeedRegular(st, path);
    const auto tooLarge = [&] {
        Fail("ファイルが大きすぎます (上限 " + std::to_string(maxBytes) + " バイト)",
             "the file is larger than " + std::to_string(maxBytes) + " bytes", path);
    };
    if (std::uintmax_t(st.st_size) > maxBytes)
        tooLarge();
    // Up to one byte past the limit: the size the stat gave may be stale or, under /proc, zero.
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            SystemFail("ファイルを読めません", "cannot read the file", path, errno);
        if (n == 0)
            break;
        if (bytes.size() + std::size_t(n) > maxBytes)
            tooLarge();
        bytes.append(buffer, std::size_t(n));
    }
    return bytes;
}

void Write(const std::string& path, const std::string& bytes, Links folder)
{
    if (path.empty() || path.find('\0') != std::string::npos || path.back() == '/')
        Fail("ファイルの名前が正しくありません", "not a usable file name", path);
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

    // Everything below is relative to the opened folder, so that the folder cannot be swapped
    // for a link once it was checked.
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (folder == Links::Refuse ? O_NOFOLLOW : 0)));
    if (dirFd.get() < 0) {
        if (folder == Links::Refuse && (errno == ELOOP || errno == ENOTDIR)) {
            struct stat st {};
            if (::lstat(dir.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
                LinkRefused(dir);
        }
        SystemFail("書き込めません", "cannot write", path, errno);
    }
    struct stat st {};
    bool existed = false;
    if (::fstatat(dirFd.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        NeedRegular(st, path);
        // A file made read-only stays as it is, as when it were written in place.
        if (::faccessat(dirFd.get(), name.c_str(), W_OK, AT_EACCESS) != 0)
            SystemFail("書き込めません", "cannot write", path, errno);
        existed = true;
    } else if (errno != ENOENT) {
        SystemFail("書き込めません", "cannot write", path, errno);
    }

    const std::string tempPrefix = "." + name + ".new-", temp = tempPrefix + std::to_string(::getpid());
    RemoveLeftovers(dir, tempPrefix);
    ::unlinkat(dirFd.get(), temp.c_str(), 0);   // one left by a killed run of this process id
    Fd out(::openat(dirFd.get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (out.get() < 0 && errno == EACCES && existed) {
        // A writable file in a folder that is not (a settings file an administrator prepared):
        // written in place, as such files always were, still never through a link or into a pipe.
        WriteInPlace(dirFd.get(), name, bytes, path);
        return;
    }
    if (out.get() < 0)
        SystemFail("書き込めません", "cannot write", path, errno);
    const auto fail = [&](int err) {
        ::unlinkat(dirFd.get(), temp.c_str(), 0);
        SystemFail("書き込めません", "cannot write", path, err);
    };
    if (!WriteAll(out.get(), bytes))
        fail(errno ? errno : EIO);
    if (existed && ::fchmod(out.get(), st.st_mode & 07777) != 0)
        fail(errno);
    if (::fsync(out.get()) != 0)
        fail(errno);
    if (::close(out.release()) != 0)
        fail(errno);
    // A rename replaces a link planted at NAME in the meantime, never the link's target.
    if (::renameat(dirFd.get(), temp.c_str(), dirFd.get(), name.c_str()) != 0)
        fail(errno);
}

void RemoveLeftovers(const std::string& folder, const std::string& prefix)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string id = name.substr(prefix.size());
        if (id.size() > 8 && id.compare(id.size() - 8, 8, "-journal") == 0)
            id.resize(id.size() - 8);
        if (id.empty() || id.size() > 9 || id.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const pid_t pid = pid_t(std::stol(id));
        if (pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            ::unlinkat(fd, name.c_str(), 0);
    }
    ::closedir(dir);
}

void CheckPlainOrMissing(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return;
    NeedRegular(st, path);
}

}  // namespace safefile
