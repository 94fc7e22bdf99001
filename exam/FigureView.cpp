#include "FigureView.h"

#include "DBImage.h"
#include "Placement.h"

#include <QPainter>

namespace exam {

FigureView::FigureView(QWidget* parent) : QWidget(parent) {}

void FigureView::SetFigure(const QByteArray& bytes)
{
    picture_ = bytes.isEmpty() ? QImage() : DBImage::Decode(bytes);
    update();
}

QRect FigureView::Placement(QSize picture, QSize view)
{
    return placement::Fitted(picture, QRect(QPoint(0, 0), view));
}

void FigureView::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(Placement(picture_.size(), size()), picture_);
}

}  // namespace exam
