#include "FuzzSupport.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fuzz {
namespace {
struct Scratch {
    std::string path;
    Scratch()
    {
        std::string base = std::filesystem::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0
                               ? "/dev/shm"
                               : std::filesystem::temp_directory_path().string();
        std::string templ = base + "/lentavo-fuzz-XXXXXX";
        if (!::mkdtemp(templ.data()))
            Fail("mkdtemp", __FILE__, __LINE__);
        path = templ;
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};
}  // namespace

const std::string& ScratchDir()
{
    static Scratch scratch;
    return scratch.path;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out)
        Fail(("cannot write " + path).c_str(), __FILE__, __LINE__);
}

}  // namespace fuzz
