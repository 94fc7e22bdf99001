#pragma once
// The settings file "Lentavo.inf": one line naming the data directory (ending in "/").

#include <optional>
#include <string>

namespace settings {

inline constexpr const char* kFileName = "Lentavo.inf";

// The settings file's path: the directory part of ARGV0 (up to and including its last "/";
// empty when it holds none) followed by "Lentavo.inf".
std::string PathFor(const std::string& argv0);

// The data directory: the whole first line of the file as it stands, a line feed that ends it
// included. Nothing when the file cannot be opened or holds nothing (an empty file counts as a
// missing one, so the pupil is asked again).
std::optional<std::string> ReadDataDirectory(const std::string& path);

// Writes DIRECTORY with no line terminator. False when the file cannot be written.
bool WriteDataDirectory(const std::string& path, const std::string& directory);

// Removes the settings file; nothing happens when there is none.
void Remove(const std::string& path);

// The directory part of a chosen file's path, with its closing "/" ("" when it has none).
std::string DirectoryPart(const std::string& path);

}  // namespace settings

namespace settings {
// Creates the settings file empty (before the pupil is asked). False when it cannot be created.
bool CreateEmpty(const std::string& path);
}  // namespace settings
