#include "DataDirectory.h"
#include "ShellApplication.h"
#include "Startup.h"

#include <QFile>

#include <cstdio>
#include <cstring>

namespace {
const char* const kHelp =
    "使い方: lentavo [--help]\n"
    "\n"
    "学科練習システム: 仮免・本免の学科試験の練習をするプログラムです。\n"
    "Trainer for the written part of the Japanese driving-licence examinations.\n"
    "\n"
    "設定ファイル Lentavo.inf (プログラムと同じフォルダ、書けないときは\n"
    "~/.config/lentavo/) に、問題データのフォルダを記録します。\n"
    "The settings file Lentavo.inf names the data directory; it lives beside the program,\n"
    "or in ~/.config/lentavo/ when that folder cannot be written.\n"
    "\n"
    "  --help   この説明を表示して終了します / show this text and exit\n";
}  // namespace

int main(int argc, char* argv[])
{
    // Answered before any window system is needed, so it works on a text console too.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    ShellApplication app(argc, argv);
    // The program's own folder is where its executable is, however it was started: a bare
    // "lentavo" typed in a terminal has no folder in argv[0], and the settings file would
    // otherwise be looked for in whatever directory the terminal is in.
    SetProgramPath(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    return RunProgram();
}
