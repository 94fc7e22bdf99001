#pragma once
// Start-up without main(): the window set, its wiring and the guarded region, so tests can run
// them.

#include "TestDefinition.h"

#include <functional>
#include <optional>
#include <string>

class QWidget;

// Creates the windows once, in their fixed order: main menu Form1 (the main window), question
// window Form4, information dialog Form7, review window Form6, learning record Progress (and the
// mock exams' launcher, which makes its windows when asked), and connects what each window asks
// for to the window that answers it. None is shown. CREATED, when given, is told of each window
// as it is made.
void CreateWindows(const std::function<void(QWidget*)>& created = {});

// Destroys the windows in the reverse order of creation; the question window writes its
// tables back as it goes. Windows never created are skipped.
void DestroyWindows();

// Runs BODY in the start-up's guarded region: a failure of the system's exception type is
// shown with its message, any other failure with an empty text. True when BODY completed.
bool RunGuarded(const std::function<void()>& body);

// Makes the toolkit's own texts (the file dialog's buttons and labels, the message box's OK)
// Japanese like the rest of the program, whatever the desktop's language. False, and the texts
// stay as the toolkit has them, when the Japanese translation is not installed.
bool InstallToolkitTranslation();

// The school configuration (Lentavo.school) this program uses: beside the program, or for the
// installed program /etc/lentavo/; nothing for the single-pupil program.
std::optional<std::string> SchoolConfigFile();

// Before the windows are built, so that they are built in the chosen language: the one remembered
// beside the settings, or LANGUAGE (the command line's, for this run only).
void ChooseLanguage(const std::optional<std::string>& language);

// The whole program after the application object exists: fonts, windows, the event loop that
// first shows the main menu (and MOCK's exam over it, when given), and the windows' destruction.
// With a school configuration the sign-in comes first and each pupil gets the windows anew.
// Returns the exit status, always 0.
int RunProgram(std::optional<exam::Test> mock = std::nullopt, std::optional<std::string> language = std::nullopt);
