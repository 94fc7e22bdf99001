#pragma once
// Starts mock exams and practice sets on the data directory and shows their windows: the exam
// window, then the results of a graded mock. The main menu and the progress window ask for them
// through signals that app/ connects to the slots here.

#include "Paper.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>

class QWidget;
namespace record { class LearningRecord; }

namespace exam {

class ExamWindow;
class QuestionStore;
class ResultsWindow;

class ExamLauncher : public QObject {
    Q_OBJECT
public:
    explicit ExamLauncher(QObject* parent = nullptr);
    ~ExamLauncher() override;

    // The data directory to use ("/" at the end); without one it is found as the drill finds it.
    void SetDataDirectory(const std::string& directory) { directory_ = directory; }
    // The seed of the next draw; by default a random one.
    void SetNextSeed(std::int64_t seed) { nextSeed_ = seed; }

    ExamWindow* examWindow() const { return exam_; }
    ResultsWindow* resultsWindow() const { return results_; }
    // The record the exams write to; null when it could not be opened.
    record::LearningRecord* learningRecord() const { return record_.get(); }

public slots:
    // Returns false when nothing was started (the pupil was told why).
    bool StartMock(exam::Test test);
    bool StartPractice(exam::PracticeKind kind, int bunrui = 0);
    // The questions the results window shows scored wrong.
    bool StartPracticeOfMissed();

private:
    bool OpenData();
    bool Run(const Paper& paper, bool fromResults = false);
    bool RunTodaysReview(std::int64_t seed);
    void BackToResults();
    std::int64_t TakeSeed();
    void ShowResults();

    std::optional<std::string> directory_;
    std::string directoryUsed_;   // the data directory of the latest OpenData
    std::optional<std::int64_t> nextSeed_;
    std::shared_ptr<QuestionStore> store_;
    std::string storeStamp_;   // the files store_ was read from, as they were then
    std::unique_ptr<record::LearningRecord> record_;
    ExamWindow* exam_ = nullptr;
    ResultsWindow* results_ = nullptr;
    bool returnToResults_ = false;
};

}  // namespace exam
