#include "QuestionMap.h"

#include <QMouseEvent>
#include <QPainter>

namespace exam {
namespace {
constexpr int kCellW = 34, kCellH = 28, kGap = 3;
}

QuestionMap::QuestionMap(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
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
    return QRect(kGap + (index % kColumns) * (kCellW + kGap), kGap + (index / kColumns) * (kCellH + kGap),
                 kCellW, kCellH);
}

QSize QuestionMap::sizeHint() const
{
    const int rows = (Count() + kColumns - 1) / kColumns;
    return QSize(kGap + kColumns * (kCellW + kGap), kGap + rows * (kCellH + kGap));
}

void QuestionMap::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont f = font();
    f.setPixelSize(13);
    p.setFont(f);
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
            const QPolygon corner({r.topRight() + QPoint(-10, 0), r.topRight(), r.topRight() + QPoint(0, 10)});
            p.setBrush(QColor(0xe0, 0x70, 0x00));
            p.setPen(Qt::NoPen);
            p.drawPolygon(corner);
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
