// The settings files from arbitrary bytes. The data directory read must be exactly the
// file's first line as it stands, and the table paths built from it must name the files that the
// table store then opens, never another one; written back, it reads the same. The zoom file
// gives a number only for a short file that holds one, and a zoom written reads back as the
// number written.
//
// Table files are opened only for relative directories, taken relative to this run's scratch
// folder as the program takes them relative to its working directory, so a fuzzed path never
// reaches a real file.

#include "Exception.h"
#include "Layouts.h"
#include "Settings.h"
#include "Table.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"

namespace {

// A scratch folder holding a sound question bank under each name the table paths may end in,
// so that a path cut short at a NUL byte would find a file and open it.
void Prepare()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const std::string dir = fuzz::ScratchDir() + "/";
    Row row{Value(0), Value(0), Value(0), Value("0001"), Value(0), Value(1),
            Value("k"), Value(1), Value(), Value("m")};
    for (const char* name : {layouts::kBankFile, layouts::kHistoryFile, layouts::kAdviceFile, "data"})
        Table::CreateFile(dir + name, layouts::Bank(), {row});
    std::filesystem::create_directory(dir + "sub");
    Table::CreateFile(dir + "sub/mondai.cds", layouts::Bank(), {row});
}

bool InsideScratch(const std::string& directory)
{
    if (directory.empty())
        return true;
    if (directory[0] == '/' || directory[0] == '~')
        return false;
    // No parent steps: split on "/" and refuse any "..".
    std::size_t start = 0;
    while (start <= directory.size()) {
        const std::size_t end = std::min(directory.find('/', start), directory.size());
        if (directory.compare(start, end - start, "..") == 0 && end - start == 2)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Prepare();
    const std::string settingsPath = fuzz::ScratchDir() + "/" + settings::kFileName;
    fuzz::WriteFile(settingsPath, data, size);
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The zoom file: a number, whatever surrounds it, only from a file of at most kMaxZoomBytes.
    const std::string zoomPath = fuzz::ScratchDir() + "/" + settings::kZoomFileName;
    fuzz::WriteFile(zoomPath, data, size);
    if (const auto zoom = settings::ReadZoom(zoomPath)) {
        FUZZ_CHECK(size <= settings::kMaxZoomBytes);
        if (std::isfinite(*zoom) && std::fabs(*zoom) < 1e6 && std::fabs(*zoom) > 1e-3) {
            settings::WriteZoom(zoomPath, *zoom);
            const auto again = settings::ReadZoom(zoomPath);
            FUZZ_CHECK(again && std::fabs(*again - *zoom) <= std::fabs(*zoom) * 0.01);   // three digits
        }
    }

    const auto directory = settings::ReadDataDirectory(settingsPath);
    // The first line as it stands, its line feed included; nothing for an empty file.
    const std::size_t lf = bytes.find('\n');
    const std::string firstLine = lf == std::string::npos ? bytes : bytes.substr(0, lf + 1);
    if (firstLine.empty()) {
        FUZZ_CHECK(!directory);
        return 0;
    }
    FUZZ_CHECK(directory && *directory == firstLine);
    // Written as the program writes a chosen folder (no line feed, up to a NUL), it reads the same.
    const std::string written = firstLine.substr(0, std::min(firstLine.find('\0'), firstLine.find('\n')));
    FUZZ_CHECK(settings::WriteDataDirectory(settingsPath + ".again", written));
    const auto reread = settings::ReadDataDirectory(settingsPath + ".again");
    FUZZ_CHECK(written.empty() ? !reread : (reread && *reread == written));

    if (!InsideScratch(*directory))
        return 0;
    for (const char* name : {layouts::kBankFile, layouts::kHistoryFile, layouts::kAdviceFile}) {
        const std::string path = fuzz::ScratchDir() + "/" + *directory + name;
        FUZZ_CHECK(path.size() == fuzz::ScratchDir().size() + 1 + directory->size() + std::strlen(name));
        Table t;
        t.SetFileName(path);
        t.SetRequiredFields(layouts::Bank());
        bool opened = false;
        try {
            t.Open();
            opened = true;
        } catch (const Exception&) {
        }
        // Opened only when the path, as text, is a file: a NUL byte inside the directory must
        // not let the store open the file named by the text before it.
        if (opened) {
            FUZZ_CHECK(path.find('\0') == std::string::npos);
            FUZZ_CHECK(std::filesystem::is_regular_file(path));
            FUZZ_CHECK(t.RecordCount() == 1);
        }
        t.Close();
    }
    return 0;
}
