#include "ExamLauncher.h"

#include "DataDirectory.h"
#include "Directory.h"
#include "Dialogs.h"
#include "ExamWindow.h"
#include "Exception.h"
#include "ExceptionBoundary.h"
#include "Layouts.h"
#include "LearningRecord.h"
#include "Load.h"
#include "LanguageChoice.h"
#include "QuestionStore.h"
#include "ResultsWindow.h"
#include "ScreenFit.h"

#include <QRandomGenerator>

#include <filesystem>

namespace exam {
namespace {

// What tells whether the bank or the hazard file changed since they were read: path, size and
// modification time of each. Reading a large bank with figures takes a few hundred milliseconds
// (the table store checks the whole file), so the launcher keeps what it read while the files
// stand as they were.
std::string FilesStamp(const std::string& directory)
{
    std::string stamp = directory;
    for (const char* name : {layouts::kBankFile, layouts::kHazardFile}) {
        std::error_code error;
        const std::filesystem::path path = directory + name;
        const auto size = std::filesystem::file_size(path, error);
        const auto time = std::filesystem::last_write_time(path, error);
        stamp += '|' + std::to_string(error ? -1 : std::int64_t(size)) + ':' +
                 std::to_string(time.time_since_epoch().count());
    }
    return stamp;
}

}  // namespace

ExamLauncher::ExamLauncher(QObject* parent)
    : QObject(parent), exam_(new ExamWindow), results_(new ResultsWindow)
{
    ConnectHandler(exam_, &ExamWindow::graded, this, &ExamLauncher::ShowResults);
    ConnectHandler(exam_, &ExamWindow::ended, this, &ExamLauncher::BackToResults);
    ConnectHandler(results_, &ResultsWindow::practiceMissedRequested, this, [this] { StartPracticeOfMissed(); });
    screenfit::InstallZoomKeys(exam_);
    screenfit::InstallZoomKeys(results_);
}

ExamLauncher::~ExamLauncher()
{
    delete results_;
    delete exam_;
}

std::int64_t ExamLauncher::TakeSeed()
{
    if (nextSeed_)
        return *std::exchange(nextSeed_, std::nullopt);
    // Positive, so that it reads the same in every tool that shows the record.
    return std::int64_t(QRandomGenerator::global()->generate64() >> 1);
}

bool ExamLauncher::OpenData()
{
    std::string directory;
    if (directory_) {
        directory = *directory_;
    } else {
        const DataDirectory found = FindDataDirectory(nullptr, DataFileDialog());
        if (found.cancelled || found.directory.empty())
            return false;
        directory = found.directory;
    }
    directoryUsed_ = directory;
    LanguageChoice::Instance().UseDataDirectory(directory);
    const std::string stamp = FilesStamp(directory);
    if (!store_ || stamp != storeStamp_) {
        auto store = std::make_shared<QuestionStore>();
        store->SetPresenter([](const std::string& source, const std::string& bango, const std::string& field,
                               const QString& japanese) {
            return LanguageChoice::Instance().Statement(source, bango, field, japanese);
        });
        try {
            store->Open(directory);
        } catch (const Exception& e) {
            dialogs::ShowMessage(nullptr, ExamLauncher::tr("問題データファイルを読めません。\n") +
                                              QString::fromStdString(e.Message()));
            return false;
        }
        store_ = std::move(store);
        storeStamp_ = stamp;
    }

    // Opened again for every exam, as for every drill: a record that was busy or broken for one
    // exam is used by the next once it is free. It never stops an exam: the pupil is told, and
    // that exam runs without it.
    record_ = std::make_unique<record::LearningRecord>();
    try {
        data::Directory(directory).OpenRecord(*record_);
    } catch (const Exception& e) {
        record_.reset();
        dialogs::ShowMessage(nullptr, ExamLauncher::tr("学習記録(kiroku.sqlite)を開けません。この回は記録を残さずに続けます。\n") +
                                          QString::fromStdString(e.Message()));
    }
    return true;
}

bool ExamLauncher::Run(const Paper& paper, bool fromResults)
{
    if (paper.questions.empty()) {
        dialogs::ShowMessage(fromResults ? static_cast<QWidget*>(results_) : nullptr,
                             ExamLauncher::tr("練習できる問題がありません。"));
        return false;
    }
    // A practice set of the results' missed questions comes back to those results when it
    // ends; anything else starts afresh.
    returnToResults_ = fromResults;
    if (!fromResults)
        results_->hide();
    exam_->Start(store_, paper, record_.get());
    screenfit::FitLayout(exam_);
    exam_->showMaximized();
    exam_->raise();
    exam_->activateWindow();
    return true;
}

bool ExamLauncher::StartMock(Test test)
{
    if (exam_->Running()) {
        exam_->raise();
        exam_->activateWindow();
        return false;
    }
    if (!OpenData())
        return false;
    try {
        return Run(DrawMock(test, store_->pool(), TakeSeed()));
    } catch (const Exception& e) {
        dialogs::ShowMessage(nullptr, QString::fromStdString(e.Message()));
        return false;
    }
}

bool ExamLauncher::StartPractice(PracticeKind kind, int bunrui)
{
    if (exam_->Running() || !OpenData())
        return false;
    const std::int64_t seed = TakeSeed();
    switch (kind) {
    case PracticeKind::SyllabusItem:
        return Run(PracticeCategory(store_->pool(), bunrui, seed));
    case PracticeKind::HazardItems:
        if (store_->pool().hazards.empty()) {
            dialogs::ShowMessage(nullptr, QString::fromStdString(store_->pool().hazardProblem));
            return false;
        }
        return Run(PracticeHazards(store_->pool(), seed));
    case PracticeKind::LatestWrong: {
        std::vector<record::LatestResult> latest;
        if (record_) {
            try {
                latest = record_->LatestWrong();
            } catch (const Exception& e) {
                dialogs::ShowMessage(nullptr, QString::fromStdString(e.Message()));
                return false;
            }
        }
        return Run(PracticeLatestWrong(store_->pool(), latest, seed));
    }
    case PracticeKind::TodaysReview:
        return RunTodaysReview(seed);
    }
    return false;
}

bool ExamLauncher::RunTodaysReview(std::int64_t seed)
{
    std::vector<QuestionKey> keys;
    try {
        const study::Outlook o = study::LoadOutlook(directoryUsed_, record_.get());
        for (const study::QueueEntry& e : study::TodaysQueue(o, QDateTime::currentDateTime()).entries)
            keys.push_back({e.key.source, e.key.bango});
    } catch (const Exception& e) {
        dialogs::ShowMessage(nullptr, QString::fromStdString(e.Message()));
        return false;
    }
    const Paper paper = PracticeInOrder(store_->pool(), keys, seed);
    if (paper.questions.empty()) {
        dialogs::ShowMessage(nullptr, ExamLauncher::tr("今日の復習はもうありません。明日また来てください。"));
        return false;
    }
    return Run(paper);
}

bool ExamLauncher::StartPracticeOfMissed()
{
    if (exam_->Running() || !store_)
        return false;
    return Run(PracticeMissed(results_->paper(), results_->result(), TakeSeed()), true);
}

void ExamLauncher::BackToResults()
{
    if (!std::exchange(returnToResults_, false))
        return;
    results_->show();
    results_->raise();
    results_->activateWindow();
}

void ExamLauncher::ShowResults()
{
    results_->ShowResult(store_, exam_->paper(), exam_->answers(), exam_->result(), exam_->TimeUsed(),
                         exam_->TimeRanOut());
    screenfit::FitLayout(results_);
    results_->showMaximized();
    results_->raise();
    results_->activateWindow();
}

}  // namespace exam
