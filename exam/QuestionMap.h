#pragma once
// The panel of question numbers: answered ones filled, unanswered ones white, flagged ones marked,
// the current one framed. A click on a number asks to go there.

#include <QWidget>

#include <vector>

namespace exam {

class QuestionMap : public QWidget {
    Q_OBJECT
public:
    enum State : unsigned { Unanswered = 0, Answered = 1, Flagged = 2, Right = 4, Wrong = 8 };
    static constexpr int kColumns = 10;

    explicit QuestionMap(QWidget* parent = nullptr);
    void SetCount(int count);
    int Count() const { return int(states_.size()); }
    void SetState(int index, unsigned state);
    unsigned StateOf(int index) const { return states_.at(std::size_t(index)); }
    void SetCurrent(int index);
    int Current() const { return current_; }
    // The cell of question INDEX, in the widget's coordinates.
    QRect CellRect(int index) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void jumpRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The panel's size against its design, from its font.
    double Scale() const;
    struct Cells { int w, h, gap; };
    Cells CellSizes() const;

    std::vector<unsigned> states_;
    int current_ = -1;
};

}  // namespace exam
