#pragma once
// Opening the learning-record window from the menu: the data directory's record and bank, read
// afresh at every opening.

#include <functional>

class ProgressWindow;
class QWidget;
namespace record { class LearningRecord; }

// Finds the data directory (asking for it when the settings file names none), reads the record
// and the bank's statements and shows WINDOW on them. A record or bank that cannot be read is
// reported to the pupil and the window stays closed; a data directory without a record yet
// shows the window's empty state and creates no file.
void ShowLearningRecord(ProgressWindow* window, QWidget* parent);

// Fits WINDOW to the screen as every window of the program is (before it is first shown).
void FitLearningRecord(ProgressWindow* window);

// Reads WINDOW's record again when it is open (a practice set or a mock it led to has ended),
// without bringing it forward or asking for anything. A record that cannot be read leaves the
// window as it was.
void RefreshLearningRecord(ProgressWindow* window);

// Writes what the pupil set in WINDOW (the name, the test date) into the record of the data
// directory the settings file names, creating or upgrading the record as an answer would, and
// shows the window again on it. A record that cannot be written is reported over WINDOW.
void StoreInLearningRecord(ProgressWindow* window, const std::function<void(record::LearningRecord&)>& write);
