#pragma once
// Files the program keeps only to be quicker next time (a replayed memory, the image of a table
// file), in the user's cache folder. Each is named by a digest of the absolute path of the file it
// stands for. Losing one costs time, never anything the pupil did.

#include <string>

namespace cachefolder {

// $XDG_CACHE_HOME/lentavo/KIND/<digest of SOURCE's absolute path>.SUFFIX (the user's cache folder
// where XDG_CACHE_HOME is not set); empty when there is no cache folder.
std::string FileFor(const std::string& kind, const std::string& source, const std::string& suffix);

// Makes the folder that holds FILE, the user's alone: what is kept says what a pupil answered.
// False when it cannot be made so.
bool MakeFolderFor(const std::string& file);

}  // namespace cachefolder
