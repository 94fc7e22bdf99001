#pragma once
// What the program was asked on its command line, read before any window system is needed.
// Words it does not know are left alone: the toolkit reads its own (-platform, -geometry...).

#include "TestDefinition.h"

#include <optional>
#include <string>

struct CommandLine {
    bool help = false;
    std::optional<exam::Test> mock;   // --exam WORD: that mock opens over the menu
    std::optional<std::string> language;   // --lang en|vi|zh|ja: this run's language ("ja" Japanese)
    bool teacher = false;             // --teacher: 教官用 一覧 over the school's server
    std::string db;                   // --db CONNINFO: the server, instead of Lentavo.school
    std::string error;                // not empty: the line cannot be followed (UTF-8)
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The text --help prints.
std::string HelpText();
