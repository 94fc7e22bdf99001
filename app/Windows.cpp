#include "Windows.h"

#include <QPointer>
#include <QWidget>

TForm1* Form1 = nullptr;
TForm4* Form4 = nullptr;
TForm6* Form6 = nullptr;
TForm7* Form7 = nullptr;
ProgressWindow* Progress = nullptr;

namespace {
QPointer<QWidget> mainWindow;
}

void SetMainWindow(QWidget* window) { mainWindow = window; }
QWidget* MainWindow() { return mainWindow; }
void CloseMainWindow()
{
    if (mainWindow)
        mainWindow->close();
}
