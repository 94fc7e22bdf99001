#pragma once
// The exam's view of a data directory: the bank and the hazard items as the draw needs them, and
// the texts and figures of a question when it is shown. The exam opens its own copies of the
// tables and never writes them, so a mock leaves the bank's drill counters alone.

#include "Paper.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class Table;

namespace exam {

class QuestionStore {
public:
    QuestionStore();
    ~QuestionStore();

    // Reads mondai.cds of DIRECTORY (which ends in "/"), and kiken.cds when there is one; throws
    // Exception when the bank cannot be read. A hazard file that is missing, empty or refused
    // leaves the pool without hazard items and says why in Pool::hazardProblem.
    void Open(const std::string& directory);
    const Pool& pool() const { return pool_; }

    // A statement's text, or a hazard item's sub-statement PART (0..2).
    QString Text(const Question& q, int part = 0) const;
    QString Explanation(const Question& q, int part = 0) const;
    // The hazard item's situation sentence; empty for a statement.
    QString Situation(const Question& q) const;
    // What the texts above pass through before they are shown: (source, Bango, field, Japanese)
    // to the text in the pupil's language. None: the Japanese as it is.
    using Presenter = std::function<QString(const std::string& source, const std::string& bango,
                                            const std::string& field, const QString& japanese)>;
    void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
    // The figure's file bytes, read from the file now; empty when there is none.
    QByteArray Figure(const Question& q) const;

private:
    Table& TableOf(const Question& q) const;
    QString TextField(const Question& q, const std::string& field) const;

    std::unique_ptr<Table> bank_;
    std::unique_ptr<Table> hazards_;
    Pool pool_;
    Presenter presenter_;
};

}  // namespace exam
