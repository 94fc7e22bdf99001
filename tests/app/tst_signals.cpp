#include "Signals.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <csignal>

class TestSignals : public QObject {
    Q_OBJECT
private slots:
    void terminationSignalsLeaveTheEventLoopWithStatusZero_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void terminationSignalsLeaveTheEventLoopWithStatusZero()
    {
        QFETCH(int, sig);
        QuitOnTerminationSignals(qApp);
        // A safety net: without the handler the loop would run until this fires with 99
        // (and without any handler the signal would kill the test).
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QTimer::singleShot(0, qApp, [sig] { std::raise(sig); });
        QCOMPARE(QApplication::exec(), 0);
    }

    void aSignalEndsAModalLoopToo()
    {
        QuitOnTerminationSignals(qApp);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
        QEventLoop nested;   // as a message box's exec() runs one
        QTimer::singleShot(0, qApp, [] { std::raise(SIGTERM); });
        int nestedResult = -1;
        QTimer::singleShot(0, qApp, [&] { nestedResult = nested.exec(); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(nestedResult, 0);
    }
};

QTEST_MAIN(TestSignals)
#include "tst_signals.moc"
