#include "ShellApplication.h"

#include "ExceptionBoundary.h"

ShellApplication::ShellApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ShellApplication::notify(QObject* receiver, QEvent* event)
{
    // The last line of defence for an event handler that runs outside RunHandler.
    bool handled = false;
    RunHandler(activeWindow(), [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
