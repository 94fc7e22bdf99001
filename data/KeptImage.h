#pragma once
// The image of a table file kept on disk between runs of the program: what opening the file read
// (every value but the pictures, which stay in the file as they do in memory), with the version
// of the file it was read from. The first opening after start-up takes it up instead of reading a
// bank whose pictures sit between its texts. It is only a cache, trusted while the file's version
// is the one it names; one that is missing, damaged or of another version is passed over and the
// file read.

#include "TableContents.h"

#include <memory>
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

// Keeps CONTENTS as the image of PATH at VERSION, replacing the one kept before. It is written by
// a thread of its own, so that neither the opening nor the write-back that made it waits for it
// (writing a bank's image takes longer than the write-back itself); a newer image of the same
// file replaces one not yet written. Failing to write it is no error. The oldest images go once
// there are more than a handful. What is still to write at exit is written before the process
// ends.
void WriteKeptImage(const std::string& path, const Version& version,
                    std::shared_ptr<const Contents> contents, bool checked);

// Waits until every image handed to WriteKeptImage is on disk.
void WaitForKeptImages();

// Removes every kept image of table files, waiting for those still to write first.
void RemoveKeptImages();

}  // namespace tablefile
