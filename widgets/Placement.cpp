#include "Placement.h"

namespace placement {

QRect Centred(QSize picture, const QRect& frame)
{
    return QRect(QPoint(frame.x() + (frame.width() - picture.width()) / 2,
                        frame.y() + (frame.height() - picture.height()) / 2),
                 picture);
}

QRect Fitted(QSize picture, const QRect& frame)
{
    if (picture.isEmpty() || frame.isEmpty())
        return QRect();
    return Centred(picture.scaled(frame.size(), Qt::KeepAspectRatio), frame);
}

}  // namespace placement
