#include "CommandLine.h"
#include "DataDirectory.h"
#include "ShellApplication.h"
#include "Startup.h"
#include "TeacherMode.h"

#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Answered before any window system is needed, so it works on a text console too.
    const CommandLine line = ParseCommandLine(argc, argv);
    if (!line.error.empty()) {
        std::fputs(line.error.c_str(), stderr);
        return 2;
    }
    if (line.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    ShellApplication app(argc, argv);
    // The program's own folder is where its executable is, however it was started: a bare
    // "lentavo" typed in a terminal has no folder in argv[0], and the settings file would
    // otherwise be looked for in whatever directory the terminal is in.
    SetProgramPath(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    if (line.teacher)
        return RunTeacher(line.db, line.language);
    return RunProgram(line.mock, line.language);
}
