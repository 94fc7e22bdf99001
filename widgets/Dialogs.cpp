#include "Dialogs.h"

#include "Layouts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace dialogs {
namespace {
bool testMode = false;
QQueue<QString> fileAnswers;
QQueue<bool> confirmAnswers;
QStringList messages;
QList<OpenFileOptions> fileDialogs;

// A file or folder dialog in test mode: recorded, and answered from the queue.
QString QueuedAnswer(const OpenFileOptions& asked)
{
    fileDialogs << asked;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

// Lets through only key presses the pupil made for this question: the repeats of a key held
// since before it opened, and a modified key (Ctrl+Return again), would otherwise press the
// default button unseen.
class FreshKeysOnly : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers held =
                key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
            const bool moves = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (key->isAutoRepeat() || (held != Qt::NoModifier && !moves))
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

const char* const kQuestionProperty = "lentavoQuestion";
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

bool Confirm(QWidget* parent, const QString& text, const QString& yes, const QString& no,
             bool defaultYes)
{
    if (testMode) {
        messages << text;
        return !confirmAnswers.isEmpty() && confirmAnswers.dequeue();
    }
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::NoButton, parent);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::YesRole);
    QPushButton* noButton = box.addButton(no, QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yesButton : noButton);
    box.setEscapeButton(noButton);
    box.setProperty(kQuestionProperty, true);
    FreshKeysOnly filter;
    box.installEventFilter(&filter);
    for (QWidget* child : box.findChildren<QWidget*>())
        child->installEventFilter(&filter);
    box.exec();
    return box.clickedButton() == yesButton;
}

void CloseOpenQuestions(QWidget* parent)
{
    if (!parent)
        return;
    for (QMessageBox* box : parent->findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly))
        if (box->property(kQuestionProperty).toBool() && box->isVisible())
            box->done(QDialog::Rejected);
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
        asked.startDirectory = startDirectory;
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
void QueueConfirmAnswer(bool yes) { confirmAnswers.enqueue(yes); }
QStringList TakeMessages() { return std::exchange(messages, {}); }
QList<OpenFileOptions> TakeFileDialogs() { return std::exchange(fileDialogs, {}); }

}  // namespace dialogs
