#include "Directory.h"

#include "Layouts.h"
#include "LearningRecord.h"
#include "Settings.h"
#include "Table.h"

#include <sys/stat.h>

namespace data {

Directory::Directory() : lock_(std::make_unique<DirectoryLock>()) {}
Directory::Directory(std::string path) : path_(std::move(path)), lock_(std::make_unique<DirectoryLock>()) {}
Directory::~Directory() = default;
Directory::Directory(Directory&&) noexcept = default;
Directory& Directory::operator=(Directory&&) noexcept = default;

std::optional<Directory> Directory::FromSettings(const std::string& settingsFile)
{
    if (auto path = settings::ReadDataDirectory(settingsFile))
        return Directory(*path);
    return std::nullopt;
}

std::string Directory::FilePath(const std::string& name) const { return path_ + name; }

DirectoryLock::Result Directory::Lock()
{
    if (!lock_)
        lock_ = std::make_unique<DirectoryLock>();
    return lock_->Acquire(path_);
}

void Directory::Unlock()
{
    if (lock_)
        lock_->Release();
}

bool Directory::Locked() const { return lock_ && lock_->Held(); }

void Directory::Open(Table& table, const char* name, const std::vector<FieldDef>& layout) const
{
    table.Close();
    table.SetRequiredFields(layout);
    table.SetFileName(FilePath(name));
    table.Open();
}

void Directory::OpenBank(Table& table) const { Open(table, layouts::kBankFile, layouts::Bank()); }
void Directory::OpenHistory(Table& table) const { Open(table, layouts::kHistoryFile, layouts::History()); }
void Directory::OpenAdvice(Table& table) const { Open(table, layouts::kAdviceFile, layouts::Advice()); }
void Directory::OpenHazard(Table& table) const { Open(table, layouts::kHazardFile, layouts::Hazard()); }

bool Directory::HasHazard() const
{
    struct stat st {};
    return ::stat(FilePath(layouts::kHazardFile).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void Directory::OpenRecord(record::LearningRecord& record) const { record.Open(FilePath(record::kFileName)); }

}  // namespace data
