#pragma once
// Reading and writing the files the program and tabletool take from, or leave in, folders that
// others can plant things in: only regular files are read, and only up to a size; nothing is
// written through a symbolic link; a named pipe or a device never blocks or floods a reader.
// Every refusal is an Exception whose message says, in Japanese and English, what the file is.

#include <cstddef>
#include <string>

namespace safefile {

enum class Links { Follow, Refuse };

// The bytes of the regular file PATH. Refused at once, without reading anything: a named pipe, a
// device, a folder or a socket; a file larger than MAX_BYTES (also one that grows past it while
// it is read); with LINKS Refuse, PATH being a symbolic link.
std::string Read(const std::string& path, std::size_t maxBytes, Links links = Links::Follow);

// Replaces PATH whole with BYTES: written to a new file in the same folder, then renamed over
// PATH, so a crash leaves the old file or the new one. Refused when PATH is a symbolic link (a
// dangling one too) or anything but a regular file; with FOLDER Refuse also when the folder
// holding PATH is itself a symbolic link, and when PATH is read-only. A replaced file keeps its
// permissions. The leftovers of killed writes of PATH go (see RemoveLeftovers). A writable PATH
// in a folder where no new file can be made is written in place (not whole on a crash), with the
// same refusals.
void Write(const std::string& path, const std::string& bytes, Links folder = Links::Follow);

// Removes the files in FOLDER named PREFIX, a process id and perhaps "-journal" (what Write and
// the table store build a file under) whose process no longer runs: the leftovers of a run that
// was killed. Those of running processes stay.
void RemoveLeftovers(const std::string& folder, const std::string& prefix);

// For a file that a library opens by its name (SQLite): refused when PATH is a symbolic link or
// exists as anything but a regular file. Nothing happens for a path that does not exist.
void CheckPlainOrMissing(const std::string& path);

}  // namespace safefile
