#include "LearningRecordView.h"

#include "DataDirectory.h"
#include "Directory.h"
#include "Exception.h"
#include "ProgressWindow.h"
#include "ScreenFit.h"
#include "ShowOrRaise.h"

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
        dialogs::ShowMessage(parent, QStringLiteral("学習記録を開けませんでした。\n") +
                                         QString::fromUtf8(e.what()));
        return;
    }
    window->SetSnapshot(snapshot);
    // Fitted as every window of the program: scaled down on a small or scaled screen, its
    // frame on the screen.
    if (!window->isVisible())
        screenfit::FitLayout(window, QSize(1016, 720));
    ShowOrRaise(window);
}
