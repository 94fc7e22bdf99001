#pragma once
// SIGTERM, SIGINT and SIGHUP end the program through its event loop, so the windows are
// destroyed as usual and the question window writes its tables back.

class QObject;

// Installs the handlers; the loop is asked to quit when one of the signals arrives.
void QuitOnTerminationSignals(QObject* parent);
