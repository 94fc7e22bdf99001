#pragma once
// The settings file "Lentavo.inf": one line naming the data directory (ending in "/").

#include <cstddef>
#include <optional>
#include <string>

namespace settings {

inline constexpr const char* kFileName = "Lentavo.inf";

// The largest settings file read: a path is at most a few KiB.
inline constexpr std::size_t kMaxBytes = 64 * 1024;

// The settings file's path: the directory part of ARGV0 (up to and including its last "/";
// empty when it holds none) followed by "Lentavo.inf".
std::string PathFor(const std::string& argv0);

// The data directory: the whole first line of the file as it stands, a line feed that ends it
// included. Nothing when the file cannot be opened or holds nothing (an empty file counts as a
// missing one, so the pupil is asked again), and nothing at once for a pipe, a device or a file
// over kMaxBytes (see safefile::Read).
std::optional<std::string> ReadDataDirectory(const std::string& path);

// Writes DIRECTORY with no line terminator, replacing the file whole. False when the file cannot
// be written, or is a symbolic link, a pipe or a device (see safefile::Write).
bool WriteDataDirectory(const std::string& path, const std::string& directory);

// Removes the settings file; nothing happens when there is none.
void Remove(const std::string& path);

// The directory part of a chosen file's path, with its closing "/" ("" when it has none).
std::string DirectoryPart(const std::string& path);

}  // namespace settings

namespace settings {

// The pupil's zoom file, "Lentavo.zoom" beside the settings file: one number in C notation.
inline constexpr const char* kZoomFileName = "Lentavo.zoom";
inline constexpr std::size_t kMaxZoomBytes = 64;

// The number the zoom file holds (blanks around it allowed); nothing when there is no file, it is
// no regular file of at most kMaxZoomBytes (a pipe or a device is refused at once), or it holds
// no number. Throws nothing.
std::optional<double> ReadZoom(const std::string& path);

// Writes ZOOM with three significant digits, replacing the file whole; never through a link.
// Throws Exception saying why when it cannot.
void WriteZoom(const std::string& path, double zoom);

// Creates the settings file empty (before the pupil is asked). False when it cannot be created.
bool CreateEmpty(const std::string& path);
}  // namespace settings

namespace settings {

// The pupil's language, "Lentavo.lang" beside the settings file (which stays one line): one line,
// the language's short name (en, vi, zh; ja for Japanese) and the display mode's word
// (japanese | translation | both), separated by a blank.
inline constexpr const char* kLanguageFileName = "Lentavo.lang";
inline constexpr std::size_t kMaxLanguageBytes = 256;

struct LanguageSetting {
    std::string language;   // as written; the reader decides what it knows
    std::string mode;
};

// What the language file holds; nothing when there is none or it is no regular file of at most
// kMaxLanguageBytes. Throws nothing.
std::optional<LanguageSetting> ReadLanguage(const std::string& path);
// Replaces the file whole; never through a link. Throws Exception saying why when it cannot.
void WriteLanguage(const std::string& path, const LanguageSetting& setting);

}  // namespace settings
