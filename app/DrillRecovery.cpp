#include "DrillRecovery.h"

#include "Dialogs.h"
#include "Directory.h"
#include "Exception.h"
#include "Recovery.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <filesystem>

namespace {
QString When(const std::string& startedAt)
{
    // "2026-12-08T09:54:51Z" read as the pupil's local time, to the minute.
    QDateTime t = QDateTime::fromString(QString::fromStdString(startedAt), Qt::ISODate);
    return t.isValid() ? t.toLocalTime().toString(QCoreApplication::translate("DrillRecovery", "M月d日 H:mm")) : QString::fromStdString(startedAt);
}
}  // namespace

void OfferToStoreUnstoredDrill(QWidget* parent, const std::string& settingsFile, bool resetSettled,
                               const std::function<bool(std::int64_t session)>& mayStore)
{
    std::optional<data::Directory> data;
    try {
        data = data::Directory::FromSettings(settingsFile);
    } catch (const std::exception&) {
        return;   // the drill start deals with a settings file it cannot read
    }
    std::error_code ec;
    if (!data || !std::filesystem::is_regular_file(data->FilePath(record::kFileName), ec))
        return;
    // Another copy drilling on the same data owns its files now.
    if (data->Lock() == DirectoryLock::Result::InUse)
        return;
    record::LearningRecord record;
    std::optional<record::UnfinishedDrill> drill;
    try {
        data->OpenRecord(record);
        drill = drill::FindUnstoredDrill(*data, record);
    } catch (const std::exception&) {
        return;   // the drill start tells of a record or a table it cannot use
    }
    if (!drill || (mayStore && !mayStore(drill->session)))
        return;
    const QString question =
        QCoreApplication::translate("DrillRecovery",
                                    "前回の練習 (%1 開始、%2問) は、結果を問題データと履歴に保存しないまま終わりました。\n"
                                    "学習記録に残っている答えから、いま保存しますか？")
            .arg(When(drill->startedAt))
            .arg(drill->answers.size());
    if (!dialogs::Confirm(parent, question, QCoreApplication::translate("DrillRecovery", "保存する"), QCoreApplication::translate("DrillRecovery", "保存しない"), true))
        return;
    try {
        drill::StoreUnstoredDrill(*data, record, *drill, resetSettled);
        dialogs::ShowMessage(parent, QCoreApplication::translate("DrillRecovery", "前回の練習の結果を保存しました。"));
    } catch (const std::exception& e) {
        dialogs::ShowMessage(parent, QCoreApplication::translate("DrillRecovery", "前回の練習の結果を保存できませんでした。問題データと履歴は前のままです。\n") +
                                         QString::fromUtf8(e.what()));
    }
}
