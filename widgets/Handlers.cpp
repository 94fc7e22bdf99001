#include "Handlers.h"

#include "Dialogs.h"
#include "Exception.h"

#include <QApplication>

bool RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const Exception& e) {
        dialogs::ShowMessage(QApplication::activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs::ShowMessage(QApplication::activeWindow(), QString());
    }
    return false;
}
