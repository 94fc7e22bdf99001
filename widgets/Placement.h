#pragma once
// Where a picture goes in its frame, for every view that shows one (the drill's and the review's
// figure, the exam's figure). Pure geometry, so that it is checked without a window.

#include <QRect>
#include <QSize>

namespace placement {

// PICTURE at its own size, centred in FRAME; larger than FRAME, it sticks out evenly on both
// sides and the view clips it.
QRect Centred(QSize picture, const QRect& frame);

// PICTURE as large as FRAME allows in its own proportions, centred; empty when either is empty.
QRect Fitted(QSize picture, const QRect& frame);

}  // namespace placement
