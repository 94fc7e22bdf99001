#pragma once
// Group-box captions placed as the layouts expect: the layouts put a box's first child right
// under a caption of a given pixel height, which assumes the characters fill the top of the
// caption line. The Japanese faces we map to have a taller ascent than that, so their captions
// would be cut by the child; this style lifts the caption by the difference.

#include <QProxyStyle>

class CaptionStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl sub, const QWidget* widget) const override;
};
