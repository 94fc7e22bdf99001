#include "LearningRecordView.h"

#include "DataDirectory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "ProgressWindow.h"
#include "Windows.h"

#include <QFileInfo>
#include <QScreen>

void ShowLearningRecord(ProgressWindow* window, QWidget* parent)
{
    if (!window)
        return;
    const DataDirectory dir = FindDataDirectory(parent, dialogs::OpenFileOptions{});
    if (dir.cancelled || dir.directory.empty())
        return;
    progress::Snapshot snapshot;
    try {
        auto statements = progress::BankStatements(dir.directory);
        const std::string path = dir.directory + record::kFileName;
        if (QFileInfo::exists(QString::fromStdString(path))) {
            snapshot = progress::LoadRecord(path, std::move(statements));
        } else {
            snapshot.statements = std::move(statements);
        }
    } catch (const Exception& e) {
        dialogs::ShowMessage(parent, QStringLiteral("学習記録を開けませんでした。\n") +
                                         QString::fromUtf8(e.what()));
        return;
    }
    window->SetSnapshot(snapshot);
    // The window's layout gives way; on a screen smaller than its design size it opens at the
    // screen's size instead of running off it.
    if (!window->isVisible())
        if (const QScreen* screen = parent ? parent->screen() : window->screen())
            window->resize(window->size().boundedTo(screen->availableSize()));
    ShowOrRaise(window);
}
