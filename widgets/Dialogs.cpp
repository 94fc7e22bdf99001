#include "Dialogs.h"

#include "Layouts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QQueue>

namespace dialogs {
namespace {
bool testMode = false;
QQueue<QString> fileAnswers;
QStringList messages;
QList<OpenFileOptions> fileDialogs;

// A file or folder dialog in test mode: recorded, and answered from the queue.
QString QueuedAnswer(const OpenFileOptions& asked)
{
    fileDialogs << asked;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}
}  // namespace

void SetApplicationTitle(const QString& title) { QCoreApplication::setApplicationName(title); }

QString ApplicationTitle() { return QCoreApplication::applicationName(); }

void ShowMessage(QWidget* parent, const QString& text)
{
    if (testMode) {
        messages << text;
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

QString GetOpenFileName(QWidget* parent, const OpenFileOptions& options, const QString& startDirectory)
{
    if (testMode)
        return QueuedAnswer(options);
    // A start folder that holds a question bank has it selected, so that 開く is all it takes.
    const QString bank = startDirectory.isEmpty() ? QString() : startDirectory + "/" + layouts::kBankFile;
    QFileDialog dialog(parent, options.title, startDirectory);
    dialog.setFileMode(options.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    // The toolkit's own dialog: it behaves the same on every desktop and can be driven by tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setSizeGripEnabled(true);
    if (!options.filters.isEmpty())
        dialog.setNameFilters(options.filters);
    if (!bank.isEmpty() && QFileInfo::exists(bank))
        dialog.selectFile(bank);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& startDirectory)
{
    if (testMode) {
        OpenFileOptions asked;
        asked.title = title;
        return QueuedAnswer(asked);
    }
    QFileDialog dialog(parent, title, startDirectory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void SetTestMode(bool on) { testMode = on; }
void QueueFileAnswer(const QString& path) { fileAnswers.enqueue(path); }
QStringList TakeMessages() { return std::exchange(messages, {}); }
QList<OpenFileOptions> TakeFileDialogs() { return std::exchange(fileDialogs, {}); }

}  // namespace dialogs
