#pragma once
// The results of a graded mock: the score against the pass mark, the time used, the score per
// syllabus item, and every question with the pupil's answer, the right one and the explanation.
// Hazard items are one row each, scored as a unit, with the missed sub-statements named.

#include "Paper.h"

#include <QScopedPointer>
#include <QWidget>

#include <chrono>
#include <memory>

namespace Ui { class ResultsWindow; }

namespace exam {

class QuestionStore;

class ResultsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ResultsWindow(QWidget* parent = nullptr);
    ~ResultsWindow() override;

    void ShowResult(std::shared_ptr<const QuestionStore> store, const Paper& paper, const Answers& answers,
                    const Result& result, std::chrono::milliseconds used, bool timeRanOut);
    const Paper& paper() const { return paper_; }
    const Result& result() const { return result_; }

    // The texts of the list's cells, for the pupil's answer and the right one.
    static QString AnswerText(const Question& q, const std::array<int, 3>& answers);
    static QString MissedParts(const Question& q, const QuestionResult& r);

signals:
    // "間違えた問題を練習する": a practice set of the questions this result scored wrong.
    void practiceMissedRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void FillCategories();
    void FillQuestions();
    void ShowDetail(int row);

    const QScopedPointer<Ui::ResultsWindow> ui;
    std::shared_ptr<const QuestionStore> store_;
    Paper paper_;
    Answers answers_;
    Result result_;
};

}  // namespace exam
