#include "FigureView.h"

#include "DBImage.h"

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
    if (picture.isEmpty() || view.isEmpty())
        return QRect();
    const QSize fitted = picture.scaled(view, Qt::KeepAspectRatio);
    return QRect(QPoint((view.width() - fitted.width()) / 2, (view.height() - fitted.height()) / 2),
                 fitted);
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
