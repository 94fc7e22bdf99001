#pragma once
// The program-wide window pointers, one per window, and the main window whose closing ends the
// program. Nothing else is global.

class QWidget;
class TForm1;
class TForm4;
class TForm6;
class TForm7;
class ProgressWindow;

extern TForm1* Form1;
extern TForm4* Form4;
extern TForm6* Form6;
extern TForm7* Form7;
extern ProgressWindow* Progress;   // 学習記録

// The window whose closing ends the event loop (the main menu; a stand-in in tests).
void SetMainWindow(QWidget* window);
QWidget* MainWindow();
// Asks the main window to close; the program ends once control is back in the event loop.
void CloseMainWindow();

// Shows a window not modally; one that is already on screen is only brought to the front, so
// its show handler does not run again.
void ShowOrRaise(QWidget* window);
