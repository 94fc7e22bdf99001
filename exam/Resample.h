#pragma once
// A picture drawn larger than it is stored, at the size it is shown in device pixels, through a
// cubic (Catmull-Rom) filter: edges and the labels in a hazard picture stay sharper than the
// painter's bilinear scaling leaves them. Pure image arithmetic, checked without a window.

#include <QImage>
#include <QSize>

namespace exam {

// SOURCE resampled to TARGET pixels (both sides at least the source's: for enlarging only).
// A null image for a null source or an empty target.
QImage Enlarged(const QImage& source, QSize target);

}  // namespace exam
