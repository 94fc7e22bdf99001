#pragma once
// Finding the data directory through the settings file, asking the pupil when it is missing:
// the first step of both the drill start and the review.

#include "Dialogs.h"

#include <exception>
#include <optional>
#include <string>

// The program's own path (its executable, not argv[0]); the settings file lives in its directory part.
void SetProgramPath(const std::string& argv0);

// The settings file's path for this run: "Lentavo.inf" beside the program, as invoked. An
// installed program lives in a folder the pupil cannot write to; when that folder holds no
// settings file and cannot be written, the file lives in the user's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config, in "lentavo/") instead. A file beside the program always
// wins, so a copy run from a USB stick keeps its settings. School mode has its own (see
// UseDataDirectory).
std::string SettingsFilePath();

// Where the data-file dialog opens when the settings file lives in the user's configuration
// folder: the user's data folder ($XDG_DATA_HOME, else ~/.local/share, in "lentavo/"), given a
// writable copy of the bundled sample data when it has no question bank yet. Empty otherwise
// (the dialog's own default).
std::string DialogStartDirectory();

// Copies every table file of the bundled sample folder SAMPLE that DATA does not hold yet into
// DATA, writable by its owner (an installed sample is read-only). Never replaces a file, so a
// pupil's own bank and history survive.
void CopyBundledSample(const QString& sample, const QString& data);

// The dialog that asks for the data directory by its question bank. Every window that may be the
// first to need the data directory asks with it, so the pupil meets the same dialog whichever
// button was pressed first; only the review keeps its own plainer dialog of the first edition.
dialogs::OpenFileOptions DataFileDialog();

struct DataDirectory {
    std::string directory;   // as read or picked; "" when cancelled
    bool cancelled = false;  // the pupil cancelled the file dialog
};

// School mode: every window works on DIRECTORY ("/" at the end), the signed-in pupil's working
// folder, and never asks for a folder; the settings file is the one in DIRECTORY, written to name
// it. Nothing: the settings file as usual (and before school mode's sign-in: no directory at
// all, see below).
void UseDataDirectory(const std::optional<std::string>& directory);
// School mode with no pupil signed in: FindDataDirectory finds nothing, as if cancelled, and
// there is no settings file, so no window can reach another pupil's data or the single pupil's.
void UseNoDataDirectory();

// Reads the settings file. When there is none (or it is empty), creates it empty, asks for a
// data file with DIALOG and writes the chosen file's directory, "/" included, with no line
// terminator. A settings file that cannot be written does not stop the drill: the picked
// directory is used all the same.
DataDirectory FindDataDirectory(QWidget* parent, const dialogs::OpenFileOptions& dialog);

// A table file of the data directory could not be opened, failing with ERROR (by default the
// exception being handled: call it from the catch block): forget the directory (the next start
// asks for it again) and say "データファイルが、見付かりません。"; the caller then ends the
// program. A file another program holds for the moment (FileInUse) is not missing: the settings
// are kept and the message says it is in use.
void ReportDataFilesMissing(QWidget* parent, const std::exception_ptr& error = std::current_exception());
