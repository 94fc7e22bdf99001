#pragma once
// Where a school's server is: Lentavo.school, a libpq connection string ("service=lentavo", or
// "host=... dbname=... user=... sslmode=verify-full"). No such file: the single-pupil program.

#include <optional>
#include <string>

namespace school {

inline constexpr const char* kConfigFileName = "Lentavo.school";
inline constexpr const char* kInstalledConfig = "/etc/lentavo/Lentavo.school";

// The configuration file the program uses: PROGRAM_DIR/Lentavo.school, else (an installed
// program) /etc/lentavo/Lentavo.school; none: single-pupil mode.
std::optional<std::string> FindConfig(const std::string& programDir, bool installed);

// The connection string in PATH (comment lines starting with # and blank lines skipped, the rest
// joined by spaces). Throws Exception when the file cannot be read, holds no connection string,
// is not a valid connection string, or holds a password while group or others may read it.
std::string ReadConfig(const std::string& path);

}  // namespace school
