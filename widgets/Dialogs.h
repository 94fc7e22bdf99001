#pragma once
// The modal dialogs of the program, each behind one small function, so that tests can queue
// the next answer instead of blocking in exec().

#include <QString>
#include <QStringList>

class QWidget;

namespace dialogs {

// The application's title, which the main menu sets at start-up: the caption of the message
// boxes and of a window without a caption of its own (the review window). Kept as the toolkit's
// application name, not its display name, which would be appended to every window's caption
// ("問題画面 — ..."). Until it is set: the program's file name.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// A message box with an OK button, captioned with the application's title.
void ShowMessage(QWidget* parent, const QString& text);

// A question with two buttons; true when the pupil takes YES. DEFAULT_YES makes YES the button
// that Return presses. Only a fresh key press answers it: a held key's repeats and a key with
// Ctrl, Alt, Shift or Meta held (the chord that asked the question, pressed again) do nothing.
// In test mode the next queued answer is taken (none queued: NO).
bool Confirm(QWidget* parent, const QString& text, const QString& yes, const QString& no,
             bool defaultYes = true);
// Closes the questions of Confirm open over PARENT as their NO, when what they asked about is
// over (an exam the clock graded).
void CloseOpenQuestions(QWidget* parent);

struct OpenFileOptions {
    QString title;          // empty: the toolkit's default title
    QStringList filters;    // e.g. "データファイル(*.cds)"; empty: no filter
    bool fileMustExist = true;
    QString startDirectory; // in TakeFileDialogs' record only: the folder the dialog opened in
};
// The chosen file's path, or an empty string when the pupil cancels.
QString GetOpenFileName(QWidget* parent, const OpenFileOptions& options,
                        const QString& startDirectory = QString());

// The chosen folder, or an empty string when the pupil cancels. Tests answer it like a file
// dialog (a queued answer; the title is recorded with the file dialogs).
QString GetExistingDirectory(QWidget* parent, const QString& title,
                             const QString& startDirectory = QString());

// Test hooks. In test mode no dialog is shown: messages and questions are recorded, and each file dialog
// takes the next queued answer (an empty answer, or none queued, means cancel).
void SetTestMode(bool on);
void QueueFileAnswer(const QString& path);
void QueueConfirmAnswer(bool yes);
QStringList TakeMessages();
// The options and start folder of the file dialogs asked since the last call.
QList<OpenFileOptions> TakeFileDialogs();

}  // namespace dialogs
