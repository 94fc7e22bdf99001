#include "QuestionMap.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace exam {
namespace {
// At the design's 13-pixel font; the panel grows and shrinks with its font, as the window's
// texts do when the window is fitted to the screen.
constexpr int kDesignPixels = 13;
constexpr int kCellW = 34, kCellH = 28, kGap = 3;
}

QuestionMap::QuestionMap(QWidget* parent) : QWidget(parent)
{
    // Reached by Tab, so that a pupil on the keyboard can jump ten questions at a time.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

double QuestionMap::Scale() const
{
    return std::max(0.3, QFontInfo(font()).pixelSize() / double(kDesignPixels));
}

void QuestionMap::SetCount(int count)
{
    states_.assign(std::size_t(count), Unanswered);
    current_ = count > 0 ? 0 : -1;
    updateGeometry();
    update();
}

void QuestionMap::SetState(int index, unsigned state)
{
    if (index < 0 || index >= Count() || states_[std::size_t(index)] == state)
        return;
    states_[std::size_t(index)] = state;
    update(CellRect(index));
}

void QuestionMap::SetCurrent(int index)
{
    if (index == current_)
        return;
    const int before = current_;
    current_ = index;
    if (before >= 0)
        update(CellRect(before).adjusted(-2, -2, 2, 2));
    update(CellRect(index).adjusted(-2, -2, 2, 2));
}

QRect QuestionMap::CellRect(int index) const
{
    const Cells c = CellSizes();
    return QRect(c.gap + (index % kColumns) * (c.w + c.gap), c.gap + (index / kColumns) * (c.h + c.gap), c.w, c.h);
}

QuestionMap::Cells QuestionMap::CellSizes() const
{
    const double s = Scale();
    return {int(std::lround(kCellW * s)), int(std::lround(kCellH * s)), std::max(1, int(std::lround(kGap * s)))};
}

QSize QuestionMap::sizeHint() const
{
    const Cells c = CellSizes();
    const int rows = (Count() + kColumns - 1) / kColumns;
    return QSize(c.gap + kColumns * (c.w + c.gap), c.gap + rows * (c.h + c.gap));
}

QSize QuestionMap::minimumSizeHint() const
{
    return sizeHint();
}

void QuestionMap::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}

void QuestionMap::keyPressEvent(QKeyEvent* event)
{
    // Up and down a row of the panel; every other key is the window's.
    const int step = event->key() == Qt::Key_Up ? -kColumns : event->key() == Qt::Key_Down ? kColumns : 0;
    if (step == 0 || Count() == 0) {
        event->ignore();
        return;
    }
    const int target = current_ + step;
    if (target >= 0 && target < Count())
        emit jumpRequested(target);
    event->accept();
}

void QuestionMap::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (hasFocus()) {
        // The panel's own focus mark: the style's is too faint to find across a room.
        p.setPen(QPen(QColor(0, 0, 128), 2, Qt::DashLine));
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    const int corner = int(std::lround(10 * Scale()));
    for (int i = 0; i < Count(); ++i) {
        const QRect r = CellRect(i);
        const unsigned s = states_[std::size_t(i)];
        QColor fill = Qt::white;
        if (s & Right)
            fill = QColor(0xc8, 0xf0, 0xc8);
        else if (s & Wrong)
            fill = QColor(0xf8, 0xc8, 0xc8);
        else if (s & Answered)
            fill = QColor(0x9c, 0xc4, 0xf0);
        p.fillRect(r, fill);
        p.setPen(QPen(i == current_ ? QColor(0x10, 0x30, 0x90) : QColor(0x90, 0x90, 0x90),
                      i == current_ ? 3 : 1));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, QString::number(i + 1));
        if (s & Flagged) {
            // A corner triangle: visible whatever the fill.
            const QPolygon mark({r.topRight() + QPoint(-corner, 0), r.topRight(), r.topRight() + QPoint(0, corner)});
            p.setBrush(QColor(0xe0, 0x70, 0x00));
            p.setPen(Qt::NoPen);
            p.drawPolygon(mark);
            p.setBrush(Qt::NoBrush);
        }
    }
}

void QuestionMap::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < Count(); ++i)
        if (CellRect(i).contains(at)) {
            emit jumpRequested(i);
            return;
        }
}

}  // namespace exam
