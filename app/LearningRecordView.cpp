#include "LearningRecordView.h"

#include "DataDirectory.h"
#include "Directory.h"
#include "Exception.h"
#include "ProgressWindow.h"
#include "ShowOrRaise.h"

#include <QCoreApplication>
#include <QScreen>

void ShowLearningRecord(ProgressWindow* window, QWidget* parent)
{
    if (!window)
        return;
    const DataDirectory dir = FindDataDirectory(parent, DataFileDialog());
    if (dir.cancelled || dir.directory.empty())
        return;
    progress::Snapshot snapshot;
    try {
        snapshot = progress::LoadSnapshot(data::Directory(dir.directory));
    } catch (const Exception& e) {
        dialogs::ShowMessage(parent, QCoreApplication::translate("LearningRecordView", "学習記録を開けませんでした。\n") +
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
