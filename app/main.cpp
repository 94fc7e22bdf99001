#include "DataDirectory.h"
#include "ShellApplication.h"
#include "Startup.h"

int main(int argc, char* argv[])
{
    // The settings file lives beside the program as it was invoked.
    SetProgramPath(argc > 0 ? argv[0] : "");
    ShellApplication app(argc, argv);
    return RunProgram();
}
