#pragma once
// The exam window: a mock exam or a practice set, one question per screen.
//
// A mock runs against the clock, answers never move on by themselves, and nothing is judged until
// it is graded (by the pupil, with a confirmation, or by the clock at 0:00). A practice set judges
// each answer at once and shows the explanation, with no clock. Every key works whatever was
// clicked last: the window keeps the focus and its buttons never take it.

#include "ExamClock.h"
#include "Paper.h"

#include <QScopedPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui { class ExamWindow; }
namespace record { class LearningRecord; }

namespace exam {

class QuestionStore;

class ExamWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExamWindow(QWidget* parent = nullptr);
    ~ExamWindow() override;

    // The clock the next Start uses; tests give their own.
    void SetClockSource(ExamClock::Source source) { clockSource_ = std::move(source); }

    // Starts PAPER over STORE's questions, recorded in RECORD (none: not recorded). A mock's
    // session is begun at once, so an exam that is never graded stays in the record unfinished.
    void Start(std::shared_ptr<const QuestionStore> store, Paper paper, record::LearningRecord* record);
    bool Running() const { return running_; }
    bool IsPractice() const { return paper_.IsPractice(); }

    // The pupil's actions, as the buttons and keys do them.
    void Answer(int value);          // 1 正, 0 誤: the current question (or hazard part)
    void Go(int index);
    void SelectPart(int part);       // a hazard item's sub-statement the keys answer
    void ToggleFlag();
    void RequestGrade();             // asks first; grades on yes (a practice set: finishes)
    void Tick();                     // the clock's timer

    const Paper& paper() const { return paper_; }
    const Answers& answers() const { return answers_; }
    int Current() const { return current_; }
    int CurrentPart() const { return part_; }
    bool Flagged(int index) const { return flags_.at(std::size_t(index)); }
    const Result& result() const { return result_; }
    std::chrono::milliseconds TimeUsed() const;
    bool TimeRanOut() const { return timeRanOut_; }
    // What the grading question adds about UNANSWERED questions and FLAGGED ones.
    static QString GradeWarning(int unanswered, int flagged);

signals:
    // A mock was graded: paper(), answers(), result() and TimeUsed() hold it.
    void graded();
    // A practice set was finished or a mock given up; the window has closed.
    void ended();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The title, the grade button and the keys' line, as the paper's kind says.
    void ShowCaptions();
    void KeyPress(QKeyEvent* event);
    void Close(QCloseEvent* event);
    void Show(int index);
    void ShowAnswerState();
    void ShowJudgement();
    void ShowClock();
    void Grade();
    void FinishPractice();
    void EnlargeFigure();
    // LOST says what the record will not hold when WRITE fails.
    void Record(const std::function<void(record::LearningRecord&)>& write, const QString& lost);
    unsigned MapState(int index) const;

    const QScopedPointer<Ui::ExamWindow> ui;
    std::shared_ptr<const QuestionStore> store_;
    Paper paper_;
    Answers answers_;
    std::vector<bool> flags_;
    Result result_;
    int current_ = 0;
    int part_ = 0;
    bool running_ = false;
    bool timeRanOut_ = false;
    ExamClock::Source clockSource_;
    std::unique_ptr<ExamClock> clock_;
    QTimer timer_;
    record::LearningRecord* record_ = nullptr;
    std::optional<std::int64_t> session_;
    std::chrono::milliseconds practiceUsed_{0};
};

}  // namespace exam
