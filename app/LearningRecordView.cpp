#include "LearningRecordView.h"

#include "DataDirectory.h"
#include "Directory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "ProgressWindow.h"
#include "ScreenFit.h"
#include "ShowOrRaise.h"

#include <QCoreApplication>
#include <QScreen>

namespace {
// The snapshot of DIRECTORY shown in WINDOW; false, with the reason in ERROR, when it cannot be read.
bool Load(ProgressWindow* window, const std::string& directory, QString& error)
{
    try {
        window->SetSnapshot(progress::LoadSnapshot(data::Directory(directory)));
        return true;
    } catch (const Exception& e) {
        error = QString::fromUtf8(e.what());
        return false;
    }
}
}  // namespace

void ShowLearningRecord(ProgressWindow* window, QWidget* parent)
{
    if (!window)
        return;
    const DataDirectory dir = FindDataDirectory(parent, DataFileDialog());
    if (dir.cancelled || dir.directory.empty())
        return;
    QString error;
    if (!Load(window, dir.directory, error)) {
        dialogs::ShowMessage(parent, QCoreApplication::translate("LearningRecordView", "学習記録を開けませんでした。\n") + error);
        return;
    }
    if (!window->isVisible())
        FitLearningRecord(window);
    ShowOrRaise(window);
}

void FitLearningRecord(ProgressWindow* window)
{
    // Fitted as every window of the program: scaled down on a small or scaled screen, its
    // frame on the screen.
    screenfit::FitLayout(window, QSize(1016, 720));
}

void RefreshLearningRecord(ProgressWindow* window)
{
    if (!window || !window->isVisible())
        return;
    if (const auto directory = data::Directory::FromSettings(SettingsFilePath())) {
        QString ignored;
        Load(window, directory->Path(), ignored);
    }
}

void StoreInLearningRecord(ProgressWindow* window, const std::function<void(record::LearningRecord&)>& write)
{
    const auto directory = data::Directory::FromSettings(SettingsFilePath());
    if (!window || !directory)
        return;
    try {
        record::LearningRecord record;
        directory->OpenRecord(record);
        write(record);
    } catch (const Exception& e) {
        dialogs::ShowMessage(window, QCoreApplication::translate("LearningRecordView", "学習記録に書き込めませんでした。\n") + QString::fromUtf8(e.what()));
    }
    RefreshLearningRecord(window);
}
