#include "WorkingFolder.h"

#include "Counters.h"
#include "Exception.h"
#include "Layouts.h"
#include "SafeFile.h"
#include "TableFile.h"

#include <QCryptographicHash>
#include <QStandardPaths>

#include <filesystem>
#include <regex>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace school {
namespace {

// The bank version a working folder was filled from, a decimal number.
constexpr const char* kVersionFile = "school-bank";
constexpr std::size_t kMaxVersionBytes = 32;

const char* const kBankFiles[] = {layouts::kBankFile, layouts::kAdviceFile, layouts::kHazardFile};

// Makes PATH and the folders above it up to ROOT's parent, each the user's alone.
void MakePrivateFolder(const fs::path& path)
{
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path))
        throw Exception("フォルダを作れません: " + path.string() + " (" + ec.message() + ")");
    if (::chmod(path.c_str(), 0700) != 0)
        throw Exception("フォルダの権限を設定できません: " + path.string());
}

std::string WithSlash(const fs::path& path)
{
    std::string s = path.string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

bool IsPupilNumber(const std::string& number)
{
    static const std::regex digits("[0-9]{4,8}");
    return std::regex_match(number, digits);
}

void CopyReplacing(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw Exception("問題データをコピーできません: " + to.string() + " (" + ec.message() + ")");
    fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write, ec);
}

}  // namespace

SchoolFolders::SchoolFolders(std::string root) : root_(std::move(root)) {}

std::string SchoolFolders::DefaultRoot(const std::string& conninfo)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(conninfo), QCryptographicHash::Sha256).toHex().left(16);
    return (base + QStringLiteral("/lentavo/school/") + QString::fromLatin1(digest)).toStdString();
}

std::string SchoolFolders::BankFolder(int version) const
{
    return WithSlash(fs::path(root_) / "banks" / std::to_string(version));
}

std::string SchoolFolders::PupilFolder(const std::string& number) const
{
    if (!IsPupilNumber(number))
        throw Exception("教習生番号は4～8桁の数字です: " + number);
    return WithSlash(fs::path(root_) / "pupils" / number);
}

std::vector<std::string> SchoolFolders::PupilFolders() const
{
    std::vector<std::string> folders;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(root_) / "pupils", ec))
        if (entry.is_directory(ec) && IsPupilNumber(entry.path().filename().string()))
            folders.push_back(WithSlash(entry.path()));
    return folders;
}

bool SchoolFolders::HasBank(int version) const
{
    std::error_code ec;
    return fs::is_regular_file(fs::path(BankFolder(version)) / layouts::kBankFile, ec) &&
           fs::is_regular_file(fs::path(BankFolder(version)) / layouts::kAdviceFile, ec);
}

void SchoolFolders::KeepBank(const BankFiles& bank) const
{
    const fs::path banks = fs::path(root_) / "banks";
    MakePrivateFolder(banks);
    // Written beside, then renamed into place: a version folder is whole or absent.
    const fs::path incoming = banks / (".incoming-" + std::to_string(bank.version) + "-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(incoming, ec);
    MakePrivateFolder(incoming);
    const std::pair<const char*, const std::string*> files[] = {
        {layouts::kBankFile, &bank.mondai}, {layouts::kAdviceFile, &bank.advice}, {layouts::kHazardFile, &bank.kiken}};
    for (const auto& [name, bytes] : files)
        if (!bytes->empty())
            safefile::Write((incoming / name).string(), *bytes);
    const fs::path target = fs::path(BankFolder(bank.version));
    fs::rename(incoming, target, ec);
    if (ec) {
        fs::remove_all(incoming);
        // Another copy of the program kept the same version meanwhile.
        if (!HasBank(bank.version))
            throw Exception("問題データを保存できません: " + target.string() + " (" + ec.message() + ")");
    }
}

std::optional<int> SchoolFolders::FolderVersion(const std::string& folder) const
{
    try {
        const std::string text = safefile::Read(folder + kVersionFile, kMaxVersionBytes);
        return std::stoi(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string SchoolFolders::PrepareWorkingFolder(const std::string& number, int version,
                                                const std::optional<std::vector<Counter>>& counters) const
{
    const std::string folder = PupilFolder(number);
    MakePrivateFolder(fs::path(root_));
    MakePrivateFolder(fs::path(root_) / "pupils");
    MakePrivateFolder(folder);
    const std::string bank = BankFolder(version);
    std::error_code ec;
    const bool hasBank = fs::is_regular_file(folder + layouts::kBankFile, ec);
    // Undelivered counters live in the folder's own bank: it stays until they are delivered.
    const bool takeBank = counters ? FolderVersion(folder) != version || !hasBank : !hasBank;
    if (takeBank) {
        // The version note goes first, so a copy cut short is made again at the next sign-in.
        fs::remove(folder + kVersionFile, ec);
        for (const char* name : kBankFiles) {
            if (fs::is_regular_file(bank + name, ec))
                CopyReplacing(bank + name, folder + name);
            else
                fs::remove(folder + name, ec);
        }
    }
    if (counters)
        LayOver(folder, *counters);
    if (!fs::exists(folder + layouts::kHistoryFile, ec))
        tablefile::Create(folder + layouts::kHistoryFile, layouts::History(), {});
    if (takeBank)
        safefile::Write(folder + kVersionFile, std::to_string(version));
    return folder;
}

}  // namespace school
