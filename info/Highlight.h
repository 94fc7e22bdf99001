#pragma once
// Caption colours for the hover highlighting of the menu and the information dialog.
// A button's caption is its ButtonText, a label's its WindowText.

#include <QAbstractButton>
#include <QColor>
#include <QPalette>
#include <QWidget>

namespace highlight {

inline const QColor Black{0, 0, 0};
inline const QColor Red{255, 0, 0};

inline QPalette::ColorRole CaptionRole(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) ? QPalette::ButtonText : QPalette::WindowText;
}

inline void SetCaptionColour(QWidget* w, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(CaptionRole(w), colour);
    w->setPalette(p);
}

inline QColor CaptionColour(const QWidget* w) { return w->palette().color(CaptionRole(w)); }

}  // namespace highlight
