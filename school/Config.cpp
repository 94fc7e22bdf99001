#include "Config.h"

#include "Exception.h"

#include <libpq-fe.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace school {

namespace {

bool IsFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether CONNINFO carries a password (libpq's own reading of it). Throws for one it cannot read.
bool HoldsPassword(const std::string& conninfo, const std::string& path)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        const std::string why = error ? error : "";
        PQfreemem(error);
        throw Exception(path + ": 接続文字列が正しくありません / not a valid connection string: " + why);
    }
    bool password = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::string(o->keyword) == "password" && o->val && *o->val)
            password = true;
    PQconninfoFree(options);
    return password;
}

}  // namespace

std::optional<std::string> FindConfig(const std::string& programDir, bool installed)
{
    std::string beside = programDir;
    if (!beside.empty() && beside.back() != '/')
        beside += '/';
    beside += kConfigFileName;
    if (IsFile(beside))
        return beside;
    if (installed && IsFile(kInstalledConfig))
        return std::string(kInstalledConfig);
    return std::nullopt;
}

std::string ReadConfig(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Exception(path + " を読めません / cannot read " + path);
    std::string line, conninfo;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        conninfo += (conninfo.empty() ? "" : " ") + line.substr(first);
    }
    if (conninfo.empty())
        throw Exception(path + " に接続文字列がありません / " + path + " holds no connection string");
    if (HoldsPassword(conninfo, path)) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IROTH | S_IWGRP | S_IWOTH)) != 0)
            throw Exception(path + " にはパスワードがありますが、他のユーザーも読めます。chmod 600 " + path +
                            " としてください / " + path + " holds a password that group or others can read: chmod 600 it");
    }
    return conninfo;
}

}  // namespace school
