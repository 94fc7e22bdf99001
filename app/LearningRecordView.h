#pragma once
// Opening the learning-record window from the menu: the data directory's record and bank, read
// afresh at every opening.

class ProgressWindow;
class QWidget;

// Finds the data directory (asking for it when the settings file names none), reads the record
// and the bank's statements and shows WINDOW on them. A record or bank that cannot be read is
// reported to the pupil and the window stays closed; a data directory without a record yet
// shows the window's empty state and creates no file.
void ShowLearningRecord(ProgressWindow* window, QWidget* parent);
