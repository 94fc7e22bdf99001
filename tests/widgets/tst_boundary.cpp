// The exception boundary every slot runs in: a failure reaches the pupil as a message box and
// never the toolkit, so the signal's other receivers and the event loop go on.

#include "Dialogs.h"
#include "Exception.h"
#include "ExceptionBoundary.h"

#include <QTest>

#include <stdexcept>

class Emitter : public QObject {
    Q_OBJECT
signals:
    void fired(int value);
};

class TestBoundary : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        dialogs::SetTestMode(true);
        dialogs::TakeMessages();
    }

    // A failing slot is reported with its message, the receivers after it still run, and the
    // emitter gets control back.
    void failingSlotIsReportedAndTheNextReceiverRuns()
    {
        Emitter emitter;
        QObject context;
        int seen = 0;
        ConnectHandler(&emitter, &Emitter::fired, &context, [](int value) {
            throw Exception("読めません " + std::to_string(value));
        });
        ConnectHandler(&emitter, &Emitter::fired, &context, [&seen](int value) { seen = value; });
        emit emitter.fired(7);
        QCOMPARE(dialogs::TakeMessages(), QStringList{QStringLiteral("読めません 7")});
        QCOMPARE(seen, 7);
    }

    // Only the system's own failures carry a text a pupil can read; any other is shown empty.
    void foreignFailureIsShownWithoutItsText()
    {
        Emitter emitter;
        QObject context;
        ConnectHandler(&emitter, &Emitter::fired, &context, [] { throw std::runtime_error("internal detail"); });
        emit emitter.fired(1);
        QCOMPARE(dialogs::TakeMessages(), QStringList{QString()});
        ConnectHandler(&emitter, &Emitter::fired, &context, [] { throw 42; });
        emit emitter.fired(1);
        QCOMPARE(dialogs::TakeMessages(), (QStringList{QString(), QString()}));
    }

    // RunHandler says whether the handler completed; a handler that completes shows nothing.
    void runHandlerTellsSuccessFromFailure()
    {
        bool ran = false;
        QVERIFY(RunHandler([&] { ran = true; }));
        QVERIFY(ran);
        QVERIFY(dialogs::TakeMessages().isEmpty());
        QVERIFY(!RunHandler(nullptr, [] { throw FileInUse("使用中"); }));
        QCOMPARE(dialogs::TakeMessages(), QStringList{QStringLiteral("使用中")});
    }

    // The connection ends with its context: a handler of a destroyed window never runs.
    void handlerDiesWithItsContext()
    {
        Emitter emitter;
        int calls = 0;
        auto* context = new QObject;
        ConnectHandler(&emitter, &Emitter::fired, context, [&calls] { ++calls; });
        emit emitter.fired(1);
        delete context;
        emit emitter.fired(2);
        QCOMPARE(calls, 1);
    }
};

QTEST_MAIN(TestBoundary)
#include "tst_boundary.moc"
