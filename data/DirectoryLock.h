#pragma once
// An advisory lock (flock) on "lentavo.lock" in a data directory, held while a drill has the
// directory's tables open, so that a second copy of the program cannot start a drill on the
// same data and overwrite the first one's history when both close.

#include <string>

class DirectoryLock {
public:
    enum class Result {
        Acquired,     // this copy now holds the directory
        InUse,        // another process holds it, or its lock file cannot be opened
        Unavailable,  // there is no lock file and none can be made (the directory is missing or read-only)
    };

    DirectoryLock() = default;
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // DIRECTORY is the data directory text, as the settings file holds it (ending in "/" or not).
    // The lock file is made readable by everyone and writable by whoever may write into the
    // directory; a lock file of another user that we may only read is locked all the same.
    // Acquiring again releases what was held first.
    Result Acquire(const std::string& directory);
    void Release();
    bool Held() const { return fd_ >= 0; }

    static constexpr const char* kFileName = "lentavo.lock";

private:
    int fd_ = -1;
};
