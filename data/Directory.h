#pragma once
// One data directory as a window (or a tool) uses it: its path, its lock, and the table files
// and learning record opened from it. Widget-free, so that the windows, the mock exams' question
// store and the benchmarks share it; finding the directory through the settings file or the file dialog is
// the windows' part (widgets/DataDirectory.h).

#include "DirectoryLock.h"
#include "Fields.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Table;

namespace record {
class LearningRecord;
}

namespace data {

class Directory {
public:
    Directory();
    // PATH as the settings file holds it, ending in "/" (or "" for the working directory).
    explicit Directory(std::string path);
    ~Directory();
    Directory(Directory&&) noexcept;
    Directory& operator=(Directory&&) noexcept;

    // The directory the settings file at SETTINGSFILE names; nothing when it names none.
    static std::optional<Directory> FromSettings(const std::string& settingsFile);

    const std::string& Path() const { return path_; }
    // PATH followed by NAME ("…/mondai.cds").
    std::string FilePath(const std::string& name) const;

    // The directory lock (DirectoryLock), held until Unlock or the object goes: a drill takes it
    // before its tables are opened, so that a second copy of the program cannot drill on the
    // same files. A window that only reads takes none.
    DirectoryLock::Result Lock();
    void Unlock();
    bool Locked() const;

    // Opens TABLE on file NAME of this directory, requiring LAYOUT's fields. A table still open
    // is closed first (written back when changed). Throws Exception, or FileInUse for a file that
    // another program holds for the moment.
    void Open(Table& table, const char* name, const std::vector<FieldDef>& layout) const;
    void OpenBank(Table& table) const;
    void OpenHistory(Table& table) const;
    void OpenAdvice(Table& table) const;
    // The hazard items (kiken.cds), which a directory need not have.
    void OpenHazard(Table& table) const;
    bool HasHazard() const;

    // The learning record of this directory (record::kFileName), created when missing. Throws
    // Exception when it cannot be opened; callers go on without it.
    void OpenRecord(record::LearningRecord& record) const;

private:
    std::string path_;
    std::unique_ptr<DirectoryLock> lock_;
};

}  // namespace data
