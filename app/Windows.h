#pragma once
// The program's windows, one pointer each, and the ending of the program. Only app/ knows them:
// the windows tell what happened by signals, and app/ wires those signals to one another.

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

// The window whose closing ends the event loop: the main menu.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();
// Asks the main window to close; the program ends once control is back in the event loop.
void CloseMainWindow();
