#include "Settings.h"

#include <cstdio>
#include <memory>

namespace settings {
namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

std::string DirectoryPart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string PathFor(const std::string& argv0) { return DirectoryPart(argv0) + kFileName; }

std::optional<std::string> ReadDataDirectory(const std::string& path)
{
    File f(std::fopen(path.c_str(), "r"));
    if (!f)
        return std::nullopt;
    // The whole first line, with the line feed that ends it: the text is taken as it stands.
    std::string line;
    int c;
    while ((c = std::fgetc(f.get())) != EOF) {
        line.push_back(char(c));
        if (c == '\n')
            break;
    }
    if (line.empty())
        return std::nullopt;
    return line;
}

bool CreateEmpty(const std::string& path)
{
    File f(std::fopen(path.c_str(), "w"));
    return bool(f);
}

bool WriteDataDirectory(const std::string& path, const std::string& directory)
{
    File f(std::fopen(path.c_str(), "w"));
    if (!f)
        return false;
    const bool written = std::fputs(directory.c_str(), f.get()) >= 0;
    return std::fclose(f.release()) == 0 && written;
}

void Remove(const std::string& path) { std::remove(path.c_str()); }

}  // namespace settings
