#include "LearningRecordView.h"

#include "DataDirectory.h"
#include "Exception.h"
#include "LearningRecord.h"
#include "ProgressWindow.h"
#include "Windows.h"

#include <QFileInfo>

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
            record::LearningRecord rec;
            rec.Open(path);
            snapshot = progress::Load(rec, std::move(statements));
        } else {
            snapshot.statements = std::move(statements);
        }
    } catch (const Exception& e) {
        dialogs::ShowMessage(parent, QStringLiteral("学習記録を開けませんでした。\n") +
                                         QString::fromUtf8(e.what()));
        return;
    }
    window->SetSnapshot(snapshot);
    ShowOrRaise(window);
}
