#pragma once
// Finding the data directory through the settings file, asking the pupil when it is missing:
// the first step of both the drill start and the review.

#include "Dialogs.h"

#include <string>

// The program's path as invoked (argv[0]); the settings file lives in its directory part.
void SetProgramPath(const std::string& argv0);
// The settings file's path for this run.
std::string SettingsFilePath();

struct DataDirectory {
    std::string directory;   // as read or picked; "" when cancelled
    bool cancelled = false;  // the pupil cancelled the file dialog
};

// Reads the settings file. When there is none (or it is empty), creates it empty, asks for a
// data file with DIALOG and writes the chosen file's directory, "/" included, with no line
// terminator. A settings file that cannot be written does not stop the drill: the picked
// directory is used all the same.
DataDirectory FindDataDirectory(QWidget* parent, const dialogs::OpenFileOptions& dialog);
