#include "ShellApplication.h"

#include "Dialogs.h"
#include "Exception.h"

ShellApplication::ShellApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ShellApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Exception& e) {
        dialogs::ShowMessage(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs::ShowMessage(activeWindow(), QString());
    }
    return false;
}
