#include "ShowOrRaise.h"

#include <QWidget>

void ShowOrRaise(QWidget* w)
{
    if (w->isVisible()) {
        if (w->isMinimized())
            w->showNormal();
        w->raise();
        w->activateWindow();
    } else {
        w->show();
    }
}
