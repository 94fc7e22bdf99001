#pragma once
// The application object: a failure that escapes an event handler is shown in a message box
// and the event loop goes on.

#include <QApplication>

class ShellApplication : public QApplication {
    Q_OBJECT
public:
    ShellApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
