#pragma once

class QWidget;

// Shows a window not modally; one that is already on screen is only brought to the front, so
// its show handler does not run again.
void ShowOrRaise(QWidget* window);
