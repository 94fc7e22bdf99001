#pragma once
// The modal dialogs of the program, each behind one small function, so that tests can queue
// the next answer instead of blocking in exec().

#include <QString>
#include <QStringList>

class QWidget;

namespace dialogs {

// A message box with an OK button.
void ShowMessage(QWidget* parent, const QString& text);

struct OpenFileOptions {
    QString title;          // empty: the toolkit's default title
    QStringList filters;    // e.g. "データファイル(*.cds)"; empty: no filter
    bool fileMustExist = true;
};
// The chosen file's path, or an empty string when the pupil cancels.
QString GetOpenFileName(QWidget* parent, const OpenFileOptions& options,
                        const QString& startDirectory = QString());

// Test hooks. In test mode no dialog is shown: messages are recorded, and each file dialog
// takes the next queued answer (an empty answer, or none queued, means cancel).
void SetTestMode(bool on);
void QueueFileAnswer(const QString& path);
QStringList TakeMessages();
// The options and start folder of the file dialogs asked since the last call.
QList<OpenFileOptions> TakeFileDialogs();

}  // namespace dialogs
