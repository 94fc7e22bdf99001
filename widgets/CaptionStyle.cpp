#include "CaptionStyle.h"

#include <QFontMetrics>
#include <QWidget>

QRect CaptionStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                   SubControl sub, const QWidget* widget) const
{
    QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
    if (control == CC_GroupBox && sub == SC_GroupBoxLabel && widget) {
        // Ideographs stand about 0.88 em above the baseline; lift the rest of the ascent off.
        const QFont font = widget->font();
        const int em = font.pixelSize() > 0 ? font.pixelSize() : QFontMetrics(font).height();
        const int lift = QFontMetrics(font).ascent() - qRound(0.88 * em);
        if (lift > 0)
            r.translate(0, -lift);
    }
    return r;
}
