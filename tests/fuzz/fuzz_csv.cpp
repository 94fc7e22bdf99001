// tabletool's CSV import from arbitrary text, with each record layout. "file:" cells are read by
// tabletool's own reader from a scratch CSV folder that holds two pictures (one reached through
// a link that stays inside), a text file, a named pipe, a link to /dev/zero and a link to a
// picture outside the folder: only the two pictures may ever be read (a pipe would hang the run,
// the device exhaust its memory). Rows that import must fit their layout, hold no control
// character in their texts, and exporting them, for any reader and for a spreadsheet, and
// importing the export must give the same rows back.

#include "CsvTable.h"
#include "Exception.h"
#include "Layouts.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "FuzzSupport.h"

namespace {

// Bytes no base64 cell the fuzzer writes will spell out by chance.
const std::string kOutside = std::string("\x89PNG\r\n\x1a\n", 8) + "outside the CSV folder: 7f3a9c1e5b2d4f60 a8e1";
const std::string kText = "a text file, not a picture: 0c4b7d2e9f1a3b5c 6d8e";

void Put(const std::string& path, const std::string& bytes)
{
    fuzz::WriteFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The CSV's folder, made once: csv/ with pic.png, sub/pic.gif, in.png (a link to pic.png),
// text.txt, pipe.png, zero.png (a link to /dev/zero), out.png (a link to ../outside.png).
const std::string& CsvFolder()
{
    static const std::string folder = [] {
        const std::string root = fuzz::ScratchDir(), dir = root + "/csv";
        std::filesystem::create_directories(dir + "/sub");
        Put(root + "/outside.png", kOutside);
        Put(dir + "/pic.png", std::string("\x89PNG\r\n\x1a\n", 8) + "inside");
        Put(dir + "/sub/pic.gif", "GIF89a inside");
        Put(dir + "/text.txt", kText);
        if (::symlink("pic.png", (dir + "/in.png").c_str()) != 0 || ::symlink("/dev/zero", (dir + "/zero.png").c_str()) != 0 ||
            ::symlink("../outside.png", (dir + "/out.png").c_str()) != 0 || ::mkfifo((dir + "/pipe.png").c_str(), 0600) != 0)
            fuzz::Fail("cannot plant the CSV folder's files", __FILE__, __LINE__);
        return dir;
    }();
    return folder;
}

void Check(const std::vector<FieldDef>& layout, layouts::RowCheck check, const std::string& text)
{
    const csvtable::FileReader files = csvtable::PictureFiles(CsvFolder());
    std::vector<Row> rows;
    try {
        rows = csvtable::Import(layout, text, files);
    } catch (const Exception&) {
        return;
    }
    for (const Row& row : rows)
        for (std::size_t i = 0; i < layout.size(); ++i) {
            if (layout[i].type == FieldType::Blob && !row[i].null)
                FUZZ_CHECK(row[i].bytes.find(kOutside) == std::string::npos && row[i].bytes.find(kText) == std::string::npos);
            if (layout[i].type == FieldType::Text && !row[i].null)
                for (const unsigned char c : row[i].bytes)
                    FUZZ_CHECK((c >= 0x20 && c != 0x7f) || c == '\t' || c == '\n' || c == '\r');
        }
    for (const Row& row : rows) {
        FUZZ_CHECK(row.size() == layout.size());
        for (std::size_t i = 0; i < layout.size(); ++i)
            if (layout[i].type == FieldType::Text && !row[i].null)
                FUZZ_CHECK(int(row[i].bytes.size()) <= layout[i].size);
    }
    if (check) {   // what tabletool checks beyond the types
        try {
            check(layout, rows, nullptr);
        } catch (const Exception&) {
        }
    }

    for (const csvtable::Reader reader : {csvtable::Reader::Any, csvtable::Reader::Spreadsheet}) {
        const std::string exported = csvtable::Export(layout, rows, {}, {}, reader);
        std::vector<Row> again;
        try {
            again = csvtable::Import(layout, exported, files);
        } catch (const Exception& e) {
            fuzz::Fail(("the export does not import: " + std::string(e.what())).c_str(), __FILE__, __LINE__);
        }
        FUZZ_CHECK(again == rows);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const layouts::Layout& layout : layouts::All()) {
        Check(*layout.fields, layout.check, text);
        if (!layout.optional.empty())
            Check(layouts::FieldsFor(layout, {layout.optional.front().name}), layout.check, text);
    }
    return 0;
}
