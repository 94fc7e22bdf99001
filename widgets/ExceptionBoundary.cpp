#include "ExceptionBoundary.h"

#include "Dialogs.h"
#include "Exception.h"

#include <QApplication>

void ShowFailure(QWidget* parent, const std::exception_ptr& error)
{
    QString text;
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const Exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
    }
    dialogs::ShowMessage(parent, text);
}

bool RunHandler(const std::function<void()>& handler)
{
    return RunHandler(QApplication::activeWindow(), handler);
}

bool RunHandler(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ShowFailure(parent, std::current_exception());
    }
    return false;
}
