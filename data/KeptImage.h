#pragma once
// The image of a table file kept on disk between runs of the program: what opening the file read
// (every value but the pictures, which stay in the file as they do in memory), with the version
// of the file it was read from. The first opening after start-up takes it up instead of reading a
// bank whose pictures sit between its texts. It is only a cache, trusted while the file's version
// is the one it names; one that is missing, damaged or of another version is passed over and the
// file read.

#include "TableFile.h"

#include <optional>
#include <string>

namespace tablefile {

struct KeptImage {
    Contents contents;
    bool checked = false;   // the file's structure was checked at this version (see CheckStructure)
};

// The kept image of the table file PATH at VERSION; none when there is none, it is of another
// version or file, or it does not hold a table that reading the file could have given.
std::optional<KeptImage> ReadKeptImage(const std::string& path, const Version& version);

// Keeps CONTENTS as the image of PATH at VERSION, replacing the one kept before. Failing to write
// it is no error. The oldest images go once there are more than a handful.
void WriteKeptImage(const std::string& path, const Version& version, const Contents& contents, bool checked);

// Removes every kept image of table files.
void RemoveKeptImages();

}  // namespace tablefile
